// Matrix: a fixed-size two-dimensional array of doubles, rows and columns
// numbered from 1, stored row-major, every access checked. The checks are
// the header's own and stay active in every build: NDEBUG does not reach
// them, and the header leaves NDEBUG as the includer set it. A failed check
// prints the standard assertion message (file, line, function, condition)
// on standard error and aborts.
#ifndef COLLIDE_MATRIX_H
#define COLLIDE_MATRIX_H

#include <cstddef>
#include <cstdio>
#include <cstdlib>

namespace collide_detail {

// The message assert() prints, then abort(): what a failed check of Matrix
// does, whether or not the includer defined NDEBUG.
[[noreturn]] inline void check_failed(const char* condition, const char* file, unsigned line,
                                      const char* function) {
  std::fprintf(stderr, "%s:%u: %s: Assertion `%s' failed.\n", file, line, function, condition);
  std::abort();
}

}  // namespace collide_detail

#if defined(__GNUC__) || defined(__clang__)
#define COLLIDE_MATRIX_FUNCTION __PRETTY_FUNCTION__
#else
#define COLLIDE_MATRIX_FUNCTION __func__
#endif
#define COLLIDE_MATRIX_CHECK(condition)                                   \
  ((condition) ? static_cast<void>(0)                                     \
               : collide_detail::check_failed(#condition, __FILE__, __LINE__, \
                                              COLLIDE_MATRIX_FUNCTION))

class Matrix {
 public:
  Matrix(int nR, int nC) {
    COLLIDE_MATRIX_CHECK(nR > 0 && nC > 0);
    nRow_ = nR, nCol_ = nC;
    data_ = new double[size()];  // throws std::bad_alloc rather than return null
    set(0.0);
  }

  ~Matrix() { delete[] data_; }

  // A copy owns its own elements; it never shares them with its source.
  Matrix(const Matrix& other) : Matrix(other.nRow_, other.nCol_) {
    for (std::size_t k = 0; k < size(); k++) data_[k] = other.data_[k];
  }
  Matrix& operator=(const Matrix& other) {
    Matrix copy(other);
    swap(copy);
    return *this;
  }

  int nRow() const { return nRow_; }
  int nCol() const { return nCol_; }

  void set(double x) {
    for (std::size_t k = 0; k < size(); k++) data_[k] = x;
  }

  void swap(Matrix& other) {
    int rows = nRow_, cols = nCol_;
    double* data = data_;
    nRow_ = other.nRow_, nCol_ = other.nCol_, data_ = other.data_;
    other.nRow_ = rows, other.nCol_ = cols, other.data_ = data;
  }

  // Element (i, j), 1-based, for reading and writing; (i, nCol_) is followed
  // in storage by (i + 1, 1).
  double& operator()(int i, int j) {
    COLLIDE_MATRIX_CHECK(i > 0 && i <= nRow_);
    COLLIDE_MATRIX_CHECK(j > 0 && j <= nCol_);
    return data_[static_cast<std::size_t>(nCol_) * (i - 1) + (j - 1)];
  }

  // Element (i, j) of a matrix that is only read, with the same checks.
  const double& operator()(int i, int j) const {
    COLLIDE_MATRIX_CHECK(i > 0 && i <= nRow_);
    COLLIDE_MATRIX_CHECK(j > 0 && j <= nCol_);
    return data_[static_cast<std::size_t>(nCol_) * (i - 1) + (j - 1)];
  }

 private:
  // Element count and positions are formed in size_t: a matrix too large
  // for 32-bit arithmetic fails in its allocation instead of overflowing.
  std::size_t size() const {
    return static_cast<std::size_t>(nRow_) * static_cast<std::size_t>(nCol_);
  }

  int nRow_;
  int nCol_;
  double* data_;
};

#undef COLLIDE_MATRIX_CHECK
#undef COLLIDE_MATRIX_FUNCTION

#endif
