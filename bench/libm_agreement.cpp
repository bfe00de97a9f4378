// Where another platform's math library could change what the programs
// print. Every libm call whose input a user can reach is evaluated over all
// such inputs, and summarised so that two builds' summaries can be compared
// with diff (bench/libm_agreement.sh builds this with g++ on Linux and with
// MinGW-w64, and runs the second under wine):
//
//   chunk <quantity> <k> <hash>    a hash of the result bits of one chunk of
//                                  evaluations: a differing line says that
//                                  some result in it differs in its bits;
//   text <quantity> <k> <hash>     a hash of the same results' printed text
//                                  (six digits, as the programs print them),
//                                  or of the comparisons' outcomes: these
//                                  must not differ;
//   near <quantity> <i> <bits> <text>
//                                  an evaluation within one ulp of changing
//                                  what is printed (six digits) or how a
//                                  comparison comes out: only there can a
//                                  differing last bit show.
//
// The samplers start from state 1 of a generator of period 2^31 - 2, and
// random_boxmuller and random_reject draw two deviates a sample or a try, so
// the pairs at even offsets of one period are every pair any count can
// reach; random_expo draws one, so every state. The collision step takes
// cos and sin of 2 pi u for a 53-bit deviate u, too many to enumerate: a
// sample of them is taken instead.
//
// The expressions are the programs' own, operand for operand.
#include <charconv>
#include <cinttypes>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "pgaus.h"
#include "rand_lcg.h"

namespace {

std::uint64_t bits(double v) {
  std::uint64_t b;
  std::memcpy(&b, &v, sizeof b);
  return b;
}

// The six-digit text a default stream writes.
std::string text(double v) {
  char digits[32];
  return std::string(digits,
                     std::to_chars(digits, digits + sizeof digits, v, std::chars_format::general, 6).ptr);
}

// Whether a one-ulp change of v changes its six-digit text. Cheap test
// first: v scaled to [1e5, 1e6) in long double lies near a half.
bool near_text_tie(double v) {
  if (v == 0 || !std::isfinite(v)) return false;
  const long double a = std::fabs(static_cast<long double>(v));
  const int e = static_cast<int>(std::floor(std::log10(a)));
  const long double m = a * std::pow(10.0L, 5 - e);
  if (std::fabs(m - std::floor(m) - 0.5L) > 1e-6L) return false;
  const std::string t = text(v);
  return text(std::nextafter(v, INFINITY)) != t || text(std::nextafter(v, -INFINITY)) != t;
}

// Where every result's bits also go, one file a quantity, when set.
const char* dump_folder = nullptr;

class Summary {
 public:
  Summary(const char* name, std::uint64_t chunk) : name_(name), chunk_(chunk) {
    if (dump_folder != nullptr)
      dump_ = std::fopen((std::string(dump_folder) + "/" + name + ".bin").c_str(), "wb");
  }
  // The last chunk, however short, is summarised too.
  ~Summary() {
    if (count_ % chunk_ != 0) end_chunk();
    if (dump_ != nullptr) std::fclose(dump_);
  }
  Summary(const Summary&) = delete;
  Summary& operator=(const Summary&) = delete;

  void add(double v) {
    if (dump_ != nullptr) std::fwrite(&v, sizeof v, 1, dump_);
    hash_ = (hash_ ^ bits(v)) * 0x100000001b3ULL;
    if (++count_ % chunk_ == 0) end_chunk();
  }

  // What the program shows of a result: its text, or a comparison's outcome.
  void seen(const char* text, std::size_t size) {
    seen_ = true;
    for (std::size_t k = 0; k < size; k++) seen_hash_ = (seen_hash_ ^ static_cast<unsigned char>(text[k])) * 0x100000001b3ULL;
    seen_hash_ = (seen_hash_ ^ '\n') * 0x100000001b3ULL;
  }

  void end_chunk() {
    const std::uint64_t k = (count_ - 1) / chunk_;
    std::printf("chunk %s %" PRIu64 " %016" PRIx64 "\n", name_, k, hash_);
    hash_ = 0xcbf29ce484222325ULL;
    if (seen_) std::printf("text %s %" PRIu64 " %016" PRIx64 "\n", name_, k, seen_hash_);
    seen_hash_ = 0xcbf29ce484222325ULL;
  }

  void near(std::uint64_t i, double v) {
    std::printf("near %s %" PRIu64 " %016" PRIx64 " %s\n", name_, i, bits(v), text(v).c_str());
  }

  void printed(std::uint64_t i, double v) {
    const std::string shown = text(v);
    seen(shown.data(), shown.size());
    add(v);
    if (near_text_tie(v)) near(i, v);
  }

 private:
  const char* name_;
  std::uint64_t chunk_;
  std::uint64_t count_ = 0;
  std::uint64_t hash_ = 0xcbf29ce484222325ULL;
  bool seen_ = false;
  std::uint64_t seen_hash_ = 0xcbf29ce484222325ULL;
  std::FILE* dump_ = nullptr;
};

}  // namespace

int main(int argc, char** argv) {
  // Pairs of deviates: a whole period by default. A folder to write every
  // result's bits to, when given, so that two runs can be compared result
  // by result (cmp -l).
  // From the pair FIRST on (the generator is stepped past the others), when
  // given, so that a part of the period can be looked at again.
  const std::uint64_t pairs = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 1073741823;
  const std::uint64_t first = argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 0;
  if (argc > 3) dump_folder = argv[3];
  const std::uint64_t chunk = 1 << 24;

  // random_expo: scale 1, every state. random_boxmuller: mean 1, sigma 0.3.
  // random_reject: mean 1, sigma 0.3, on mean +- 6 sigma.
  Summary expo("random_expo", chunk), bm_log("boxmuller_log", chunk), bm_pow("boxmuller_pow", chunk),
      bm_cos("boxmuller_cos", chunk), bm_value("random_boxmuller", chunk),
      reject_ratio("random_reject_ratio", chunk);
  const double pi = 3.14159265, scale = 1.0, mean = 1.0, s = 0.3, sigma = 0.3;
  const double lower = sigma * (-6) + mean, upper = sigma * 6 + mean;
  const double peak = pgaus(mean, mean, sigma);
  long state = 1;
  for (std::uint64_t i = 0; i < first; i++) {
    rand_lcg(state);
    rand_lcg(state);
  }
  for (std::uint64_t i = first; i < pairs; i++) {
    const double u1 = rand_lcg(state);
    const double u2 = rand_lcg(state);
    expo.printed(2 * i, (-scale) * log(1.0 - u1));
    expo.printed(2 * i + 1, (-scale) * log(1.0 - u2));

    const double t = -log(1.0 - u1);
    const double radius = pow(((s * 2) * s) * t, 0.5);
    const double angle = (pi * 2) * u2;
    const double c = cos(angle);
    bm_log.add(t);
    bm_pow.add(radius);
    bm_cos.add(c);
    bm_value.printed(i, c * radius + mean);

    // A try is accepted unless y > ratio; y is u2.
    const double x = (upper - lower) * u1 + lower;
    const double ratio = pgaus(x, mean, sigma) / peak;
    reject_ratio.seen(u2 > ratio ? "r" : "a", 1);
    reject_ratio.add(ratio);
    const double ulp = std::nextafter(ratio, INFINITY) - ratio;
    if (std::fabs(u2 - ratio) <= 4 * ulp) reject_ratio.near(i, ratio);
  }

  // The collision step's azimuth: cos and sin of u * 6.283185308, for u a
  // 53-bit deviate (a splitmix64 stream here).
  Summary scatter_cos("colider_cos", 1 << 20), scatter_sin("colider_sin", 1 << 20);
  std::uint64_t x = 1;
  const std::uint64_t samples = pairs - first < (1u << 28) ? pairs - first : (1u << 28);
  for (std::uint64_t i = 0; i < samples; i++) {
    std::uint64_t z = (x += 0x9e3779b97f4a7c15ULL);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    z ^= z >> 31;
    const double phi = static_cast<double>(z >> 11) * 0x1p-53 * 6.283185308;
    scatter_cos.add(std::cos(phi));
    scatter_sin.add(std::sin(phi));
  }
  return 0;
}
