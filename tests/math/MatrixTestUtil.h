#ifndef MATRIXTESTUTIL_H
#define MATRIXTESTUTIL_H

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

// Real-valued views of the fixed-point matrices, for expected values computed
// independently of the code under test.
namespace MatrixTest {

// Row-major n x n block of a matrix whose rows lie `stride` elements apart.
inline constexpr double kNormalised = 0.009;
// A column made as the cross product of two such columns: up to about 1.017.
inline constexpr double kNormalisedCross = 0.018;

template <class Matrix>
std::vector<double> Block(const Matrix& m, int n, int stride) {
    std::vector<double> out(n * n);
    for (int r = 0; r < n; ++r) {
        for (int c = 0; c < n; ++c) out[r * n + c] = m.GetElement(r * stride + c) / 65536.0;
    }
    return out;
}

inline std::vector<double> Multiply(const std::vector<double>& p, const std::vector<double>& q, int n) {
    std::vector<double> out(n * n, 0.0);
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j < n; ++j) {
            for (int k = 0; k < n; ++k) out[i * n + j] += p[i * n + k] * q[k * n + j];
        }
    }
    return out;
}

inline double ColumnDot(const std::vector<double>& m, int n, int a, int b) {
    double sum = 0;
    for (int r = 0; r < n; ++r) sum += m[r * n + a] * m[r * n + b];
    return sum;
}

// Columns of unit length and at right angles, to within tolerance. Lengths
// come from a square root with 8 fraction bits, so a normalised column can be
// up to 1/256 longer than 1 (a squared length up to about 1.008).
inline void ExpectOrthonormal(const std::vector<double>& m, int n, double tolerance) {
    for (int a = 0; a < n; ++a) {
        EXPECT_NEAR(ColumnDot(m, n, a, a), 1.0, tolerance) << "column " << a;
        for (int b = a + 1; b < n; ++b) EXPECT_NEAR(ColumnDot(m, n, a, b), 0.0, tolerance) << a << "," << b;
    }
}

inline void ExpectNear(const std::vector<double>& actual, const std::vector<double>& expected, double tolerance) {
    ASSERT_EQ(actual.size(), expected.size());
    for (size_t i = 0; i < actual.size(); ++i) EXPECT_NEAR(actual[i], expected[i], tolerance) << "element " << i;
}

inline double Determinant3(const std::vector<double>& m) {
    return m[0] * (m[4] * m[8] - m[5] * m[7]) - m[1] * (m[3] * m[8] - m[5] * m[6]) +
           m[2] * (m[3] * m[7] - m[4] * m[6]);
}

// The rotations the matrices pre-multiply by, as rows of real numbers.
inline std::vector<double> RotationX(double degrees) {
    const double r = degrees * 3.14159265358979323846 / 180.0;
    return {1, 0, 0, 0, std::cos(r), std::sin(r), 0, -std::sin(r), std::cos(r)};
}

inline std::vector<double> RotationY(double degrees) {
    const double r = degrees * 3.14159265358979323846 / 180.0;
    return {std::cos(r), 0, -std::sin(r), 0, 1, 0, std::sin(r), 0, std::cos(r)};
}

inline std::vector<double> RotationZ(double degrees) {
    const double r = degrees * 3.14159265358979323846 / 180.0;
    return {std::cos(r), std::sin(r), 0, -std::sin(r), std::cos(r), 0, 0, 0, 1};
}

}  // namespace MatrixTest

#endif
