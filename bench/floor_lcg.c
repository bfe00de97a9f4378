/* The floor a sampler's design sets: the same number of rand_lcg steps and
 * the same write(2) calls, with the same bytes, as the sampler itself, and
 * nothing else: no formatting, no streams. The bytes are the sampler's own
 * output from an earlier run, loaded before the writes start.
 *
 *   floor_lcg CONSOLE DATA DATA_NAME STEPS
 *
 * writes CONSOLE's first line (the prompt), then for each line of DATA: its
 * share of the STEPS generator steps, the next CONSOLE line to standard
 * output and the DATA line to DATA_NAME; then the rest of CONSOLE (a
 * summary), one write per line, as std::endl flushes them. */
#include <fcntl.h>
#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

static char* load(const char* path, size_t* size) {
  FILE* f = fopen(path, "rb");
  if (!f) { perror(path); exit(2); }
  fseek(f, 0, SEEK_END);
  *size = (size_t)ftell(f);
  fseek(f, 0, SEEK_SET);
  char* text = malloc(*size + 1);
  if (fread(text, 1, *size, f) != *size) { perror(path); exit(2); }
  fclose(f);
  return text;
}

/* Writes the line starting at *at (through its '\n') and moves past it. */
static void write_line(int fd, const char** at, const char* end) {
  const char* eol = memchr(*at, '\n', (size_t)(end - *at));
  size_t n = (size_t)(eol - *at) + 1;
  if (write(fd, *at, n) != (ssize_t)n) exit(3);
  *at += n;
}

/* The suite's generator (sampling/rand_lcg.cpp), copied in C: the floor is
 * a C program on purpose, with nothing of the C++ programs' code in it but
 * the arithmetic they must pay for. */
static double rand_lcg(long* state) {
  *state = (long)fmod((double)*state * 16807.0, 2147483647.0);
  return (double)*state / 2147483647.0;
}

int main(int argc, char** argv) {
  if (argc != 5) { fprintf(stderr, "usage: floor_lcg CONSOLE DATA DATA_NAME STEPS\n"); return 2; }
  size_t console_size, data_size;
  const char* console = load(argv[1], &console_size);
  const char* data = load(argv[2], &data_size);
  const char *out = console, *out_end = console + console_size;
  const char *rec = data, *rec_end = data + data_size;
  long steps = atol(argv[4]), lines = 0;
  for (const char* p = data; p < rec_end; p++) lines += *p == '\n';

  int fd = open(argv[3], O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (fd < 0) { perror(argv[3]); return 2; }
  write_line(1, &out, out_end);
  long state = 1, done = 0;
  volatile double sink = 0;
  for (long i = 0; i < lines; i++) {
    long until = (long)((double)steps * (i + 1) / lines);
    for (; done < until; done++) sink = rand_lcg(&state);
    write_line(1, &out, out_end);
    write_line(fd, &rec, rec_end);
  }
  while (out < out_end) write_line(1, &out, out_end);
  close(fd);
  (void)sink;
  return 0;
}
