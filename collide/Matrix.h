// Matrix: a fixed-size two-dimensional array of doubles, rows and columns
// numbered from 1, stored row-major, every access checked by an assertion.
// The checks stay active in every build, NDEBUG or not: the header switches
// NDEBUG off for its own code and gives the includer's setting back at its end.
#ifndef COLLIDE_MATRIX_H
#define COLLIDE_MATRIX_H
#ifdef NDEBUG
#define COLLIDE_MATRIX_RESTORE_NDEBUG
#undef NDEBUG
#endif
#include <cassert>
#include <cstddef>

class Matrix {
 public:
  Matrix(int nR, int nC) {
    assert(nR > 0 && nC > 0);
    nRow_ = nR, nCol_ = nC;
    data_ = new double[size()];
    assert(data_ != 0);
    set(0.0);
  }

  ~Matrix() {
    if (data_ != 0) delete[] data_;
  }

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
    assert(i > 0 && i <= nRow_);
    assert(j > 0 && j <= nCol_);
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

#ifdef COLLIDE_MATRIX_RESTORE_NDEBUG
#undef COLLIDE_MATRIX_RESTORE_NDEBUG
#define NDEBUG
#include <cassert>
#endif
#endif
