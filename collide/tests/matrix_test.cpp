// Matrix: 1-based row-major storage, zero fill, set, deep copies, and the
// four assertions, which must fire in every build. This file is compiled
// twice, once as a consumer's Release build with NDEBUG defined.
#include "Matrix.h"

#include <gtest/gtest.h>

#include <cassert>
#include <climits>
#include <new>

namespace {

// Where a matrix's address escapes to.
Matrix* volatile escaped = nullptr;

// Storage position of element (i, j), counted from element (1, 1).
std::ptrdiff_t position(Matrix& m, int i, int j) { return &m(i, j) - &m(1, 1); }

TEST(Matrix, NewMatrixHoldsZeros) {
  Matrix m(3, 1);
  for (int i = 1; i <= 3; i++) EXPECT_EQ(m(i, 1), 0.0) << "row " << i;
  EXPECT_EQ(m.nRow(), 3);
  EXPECT_EQ(m.nCol(), 1);
}

TEST(Matrix, StorageIsRowMajorFromOne) {
  Matrix column(3, 1);
  EXPECT_EQ(position(column, 2, 1), 1);
  EXPECT_EQ(position(column, 3, 1), 2);
  Matrix m(2, 3);
  EXPECT_EQ(position(m, 1, 3), 2);
  EXPECT_EQ(position(m, 2, 1), 3) << "(1, nCol) is followed by (2, 1)";
  EXPECT_EQ(position(m, 2, 3), 5);
}

TEST(Matrix, SetFillsEveryElementEveryTime) {
  Matrix m(2, 3);
  m.set(2.5);
  for (int i = 1; i <= 2; i++)
    for (int j = 1; j <= 3; j++) EXPECT_EQ(m(i, j), 2.5) << i << "," << j;
  m(2, 2) = 7;
  m.set(-1.0);
  for (int i = 1; i <= 2; i++)
    for (int j = 1; j <= 3; j++) EXPECT_EQ(m(i, j), -1.0) << i << "," << j;
}

TEST(Matrix, WriteChangesOnlyItsElement) {
  for (int wi = 1; wi <= 2; wi++) {
    for (int wj = 1; wj <= 3; wj++) {
      Matrix m(2, 3);
      m(wi, wj) = 4.25;
      for (int i = 1; i <= 2; i++)
        for (int j = 1; j <= 3; j++)
          EXPECT_EQ(m(i, j), i == wi && j == wj ? 4.25 : 0.0)
              << "wrote (" << wi << "," << wj << "), read (" << i << "," << j << ")";
    }
  }
}

TEST(Matrix, CopiesOwnTheirElements) {
  Matrix a(2, 2);
  a(1, 2) = 3.0;
  Matrix b(a);
  b(1, 2) = 9.0;
  EXPECT_EQ(a(1, 2), 3.0);
  EXPECT_EQ(b(1, 2), 9.0);
  Matrix c(1, 1);
  c = a;
  EXPECT_EQ(c.nRow(), 2);
  EXPECT_EQ(c.nCol(), 2);
  c(1, 2) = -1.0;
  EXPECT_EQ(a(1, 2), 3.0);
  EXPECT_NE(&c(1, 1), &a(1, 1));
  const Matrix& same = c;
  c = same;  // self-assignment keeps the elements
  EXPECT_EQ(c(1, 2), -1.0);
}

TEST(Matrix, HugeAllocationThrowsInsteadOfOverflowing) {
  // INT_MAX * INT_MAX elements cannot exist; the count must not wrap to a
  // small allocation in 32-bit arithmetic.
  // The matrix's address escapes, so no compiler may leave the allocation out.
  EXPECT_THROW(
      {
        Matrix m(INT_MAX, INT_MAX);
        escaped = &m;
      },
      std::bad_alloc);
}

TEST(Matrix, ConstMatrixIsReadWithTheSameIndexing) {
  Matrix m(2, 3);
  m(2, 1) = 6.5;
  const Matrix& view = m;
  EXPECT_EQ(view(2, 1), 6.5);
  EXPECT_EQ(&view(2, 1), &m(2, 1));
  EXPECT_EQ(view(1, 3), 0.0);
}

#ifdef NDEBUG
// This build defines NDEBUG as 1 (-DNDEBUG); after Matrix.h it must still be
// 1, not an empty macro that `#if NDEBUG` cannot test.
#if NDEBUG != 1
#error "Matrix.h changed the includer's NDEBUG"
#endif

TEST(Matrix, LeavesTheIncludersNdebugInForce) {
  int evaluated = 0;
  assert(++evaluated);
  EXPECT_EQ(evaluated, 0) << "the includer's own assert stays switched off";
}
#endif

// The standard diagnostic: the header and a line, the function (spelled
// as the compiler spells it), the failed condition.
const char kRows[] = "Matrix\\.h:.*: .*Matrix.*: Assertion `i > 0 && i <= nRow_' failed";
const char kCols[] = "Matrix\\.h:.*: .*Matrix.*: Assertion `j > 0 && j <= nCol_' failed";
const char kDims[] = "Matrix\\.h:.*: .*Matrix.*: Assertion `nR > 0 && nC > 0' failed";

TEST(MatrixDeathTest, ConstructorRejectsEmptyOrNegativeDimensions) {
  const int dims[][2] = {{0, 5}, {5, 0}, {-1, 1}, {1, -1}, {0, 0}, {INT_MIN, 2}};
  for (const auto& d : dims) {
    EXPECT_DEATH(Matrix(d[0], d[1]), kDims) << d[0] << " x " << d[1];
  }
}

TEST(MatrixDeathTest, AccessOutsideTheRowsOrColumns) {
  const struct {
    int i, j;
    const char* diagnostic;
  } cases[] = {
      {1, 2, kCols},  {0, 1, kRows},  {4, 1, kRows},  {1, 0, kCols},
      {0, 0, kRows},  // the row is tested first
      {-1, 1, kRows}, {INT_MAX, 1, kRows}, {3, INT_MIN, kCols},
  };
  for (const auto& c : cases) {
    Matrix m(3, 1);
    EXPECT_DEATH(m(c.i, c.j), c.diagnostic) << "(" << c.i << ", " << c.j << ")";
  }
}

TEST(MatrixDeathTest, LastColumnPlusOneOfAWideMatrix) {
  Matrix m(2, 3);
  EXPECT_DEATH(m(1, 4), kCols);
  EXPECT_DEATH(m(3, 3), kRows);
  const Matrix& view = m;
  EXPECT_DEATH(view(1, 4), kCols);
  EXPECT_DEATH(view(0, 1), kRows);
}

}  // namespace
