#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>
#include <memory>
#include <random>

#include "MGLLookupTables.h"
#include "Matrix2x3.h"
#include "Matrix3x3.h"
#include "Matrix3x4.h"

namespace {

constexpr int32_t ONE = 0x10000;

// Errors are measured in units of the last place, 1/65536. Each product is
// truncated on its own (floor), so a sum of n terms lies less than n units
// below the real value.
constexpr double kUnits = 65536.0;

double Real(int32_t fixed) { return fixed / kUnits; }

// Real 3x4 matrices and 2x3 matrices for the reference.
struct Real3x4 {
    double r[3][3];
    double t[3];
};

Real3x4 ToReal(const Matrix3x4& m) {
    Real3x4 real{};
    for (int32_t i = 0; i < 9; ++i) real.r[i / 3][i % 3] = Real(m.r.m[i]);
    for (int32_t i = 0; i < 3; ++i) real.t[i] = Real(m.t[i]);
    return real;
}

// a then b: the map p -> A (B p + b.t) + a.t.
Real3x4 Compose(const Real3x4& a, const Real3x4& b) {
    Real3x4 product{};
    for (int32_t row = 0; row < 3; ++row) {
        product.t[row] = a.t[row];
        for (int32_t k = 0; k < 3; ++k) {
            product.t[row] += a.r[row][k] * b.t[k];
            for (int32_t column = 0; column < 3; ++column) product.r[row][column] += a.r[row][k] * b.r[k][column];
        }
    }
    return product;
}

// The largest difference, in units, between a fixed matrix and a real one.
double ErrorUnits(const Matrix3x4& fixed, const Real3x4& real) {
    double worst = 0;
    for (int32_t i = 0; i < 9; ++i) worst = std::max(worst, std::fabs(fixed.r.m[i] - real.r[i / 3][i % 3] * kUnits));
    for (int32_t i = 0; i < 3; ++i) worst = std::max(worst, std::fabs(fixed.t[i] - real.t[i] * kUnits));
    return worst;
}

class MatrixTest : public ::testing::Test {
protected:
    int32_t Linear() { return std::uniform_int_distribution<int32_t>(-2 * ONE, 2 * ONE)(random); }
    int32_t Position() { return std::uniform_int_distribution<int32_t>(-1000 * ONE, 1000 * ONE)(random); }
    // Magnitudes from 0.5 to 64.0, either sign: quotients of positions stay in range.
    int32_t Factor() {
        const int32_t magnitude = std::uniform_int_distribution<int32_t>(ONE / 2, 64 * ONE)(random);
        return random() % 2 == 0 ? magnitude : -magnitude;
    }
    int32_t Angle() { return std::uniform_int_distribution<int32_t>(0, 1023)(random); }

    Matrix3x4 RandomAffine() {
        Matrix3x4 m{};
        for (int32_t& entry : m.r.m) entry = Linear();
        for (int32_t& entry : m.t) entry = Position();
        m.orthographic = 1;
        return m;
    }

    // A rotation about all three axes with a translation: orthonormal up to
    // the rounding of the cosine table.
    Matrix3x4 RandomRigid() {
        Matrix3x4 m{};
        m.Identity();
        Matrix3x3 axis{};
        axis.SetRotationX(*tables, Angle());
        m.MultiplyLinear(axis);
        axis.SetRotationY(*tables, Angle());
        m.MultiplyLinear(axis);
        axis.SetRotationZ(*tables, Angle());
        m.MultiplyLinear(axis);
        for (int32_t& entry : m.t) entry = Position();
        return m;
    }

    // Reports the worst error of a group of random cases, in units.
    void State(const char* what, double worst) {
        RecordProperty(what, static_cast<int>(std::ceil(worst)));
        std::printf("[ error    ] %s: %.2f units of 1/65536\n", what, worst);
    }

    static constexpr int32_t kCases = 2000;
    std::mt19937 random{26};
    std::unique_ptr<MGLLookupTables> tables = std::make_unique<MGLLookupTables>();
};

TEST_F(MatrixTest, RotationsAtQuarterTurns) {
    Matrix2x3 m2{};
    m2.SetRotation(*tables, 256);
    EXPECT_EQ((std::array{m2.a, m2.b, m2.c, m2.d, m2.tx, m2.ty}), (std::array{0, -ONE, ONE, 0, 0, 0}));
    m2.SetRotation(*tables, 0);
    EXPECT_EQ((std::array{m2.a, m2.b, m2.c, m2.d}), (std::array{ONE, 0, 0, ONE}));

    Matrix3x4 m{};
    m.orthographic = 0;
    m.t[0] = 5;
    m.SetRotationZ(*tables, 256);
    int32_t out[3];
    m.TransformPoint(ONE, 0, 0, out);
    EXPECT_EQ((std::array{out[0], out[1], out[2]}), (std::array{0, ONE, 0}));
    EXPECT_EQ(m.t[0], 0);
    EXPECT_EQ(m.orthographic, 0) << "the flag is left alone";
    // Each axis turns the next one into the one after: x -> y -> z -> x.
    m.SetRotationX(*tables, 256);
    m.TransformPoint(0, ONE, 0, out);
    EXPECT_EQ((std::array{out[0], out[1], out[2]}), (std::array{0, 0, ONE}));
    m.SetRotationY(*tables, 256);
    m.TransformPoint(0, 0, ONE, out);
    EXPECT_EQ((std::array{out[0], out[1], out[2]}), (std::array{ONE, 0, 0}));
}

TEST_F(MatrixTest, TranslationUpdatesUseTheOldLinearPart) {
    // A quarter turn times (identity, (5, 0)) moves the translation by (0, 5).
    Matrix2x3 m{};
    m.SetRotation(*tables, 256);
    m.tx = 3 * ONE;
    const int32_t identity[4] = {ONE, 0, 0, ONE};
    const int32_t at[2] = {5 * ONE, 0};
    m.Multiply(identity, at);
    EXPECT_EQ(m.tx, 3 * ONE);
    EXPECT_EQ(m.ty, 5 * ONE);

    // The same in 3D with a scaling operand: the operand's translation goes
    // through the linear part before it was scaled.
    Matrix3x4 m3{};
    m3.Identity();
    m3.Scale(2 * ONE, 3 * ONE, 4 * ONE);
    Matrix3x4 a{};
    a.Identity();
    a.Scale(ONE / 2, ONE / 2, ONE / 2);
    a.t[0] = a.t[1] = a.t[2] = ONE;
    m3.MultiplyAffine(a);
    EXPECT_EQ((std::array{m3.t[0], m3.t[1], m3.t[2]}), (std::array{2 * ONE, 3 * ONE, 4 * ONE}));
    EXPECT_EQ((std::array{m3.r.m[0], m3.r.m[4], m3.r.m[8]}), (std::array{ONE, 3 * ONE / 2, 2 * ONE}));

    // A matrix times itself reads only its old self.
    Matrix3x4 self = RandomAffine();
    Matrix3x4 copy = self;
    self.MultiplyAffine(self);
    copy.MultiplyAffine(Matrix3x4(copy));
    EXPECT_EQ(std::memcmp(&self, &copy, sizeof self), 0);
}

TEST_F(MatrixTest, DivideRowsThroughTheReciprocal) {
    Matrix2x3 m{6 * ONE, -4 * ONE, 5 * ONE, 7 * ONE, 10 * ONE, 9 * ONE};
    m.DivideRows(*tables, 2 * ONE, 0);
    EXPECT_EQ((std::array{m.a, m.b, m.tx}), (std::array{3 * ONE, -2 * ONE, 5 * ONE}));
    EXPECT_EQ((std::array{m.c, m.d, m.ty}), (std::array{0, 0, 0})) << "a zero factor gives 0";

    double worst = 0;
    for (int32_t i = 0; i < kCases; ++i) {
        Matrix3x4 fixed = RandomAffine();
        const int32_t factors[3] = {Factor(), Factor(), Factor()};
        Real3x4 real = ToReal(fixed);
        for (int32_t row = 0; row < 3; ++row) {
            for (double& entry : real.r[row]) entry /= Real(factors[row]);
            real.t[row] /= Real(factors[row]);
        }
        fixed.DivideRows(*tables, factors[0], factors[1], factors[2]);
        // Relative to each quotient: the reciprocal's slot is rounded to 12 bits.
        for (int32_t k = 0; k < 12; ++k) {
            const double expected = k < 9 ? real.r[k / 3][k % 3] : real.t[k - 9];
            const int32_t got = k < 9 ? fixed.r.m[k] : fixed.t[k - 9];
            const double error = std::fabs(got - expected * kUnits);
            ASSERT_LE(error, std::fabs(expected * kUnits) / 4096 + 1);
            worst = std::max(worst, error / std::max(1.0, std::fabs(expected)));
        }
    }
    State("divide_rows_3x4_per_unit_quotient", worst);
}

TEST_F(MatrixTest, ProductsMatchTheRealProductWithinThreeUnits) {
    double worstAffine = 0, worst4x4 = 0, worstLinear = 0, worstPre = 0;
    for (int32_t i = 0; i < kCases; ++i) {
        const Matrix3x4 m = RandomAffine();
        const Matrix3x4 a = RandomAffine();

        Matrix3x4 affine = m;
        affine.MultiplyAffine(a);
        worstAffine = std::max(worstAffine, ErrorUnits(affine, Compose(ToReal(m), ToReal(a))));

        int32_t operand[16] = {};
        for (int32_t k = 0; k < 9; ++k) operand[4 * (k / 3) + k % 3] = a.r.m[k];
        for (int32_t k = 0; k < 3; ++k) operand[12 + k] = a.t[k];
        operand[15] = ONE;
        Matrix3x4 wide = m;
        wide.MultiplyMatrix4x4(operand);
        worst4x4 = std::max(worst4x4, ErrorUnits(wide, Compose(ToReal(m), ToReal(a))));

        Matrix3x4 linear = m;
        linear.MultiplyLinear(a.r);
        Real3x4 linearOnly = ToReal(a);
        linearOnly.t[0] = linearOnly.t[1] = linearOnly.t[2] = 0;
        worstLinear = std::max(worstLinear, ErrorUnits(linear, Compose(ToReal(m), linearOnly)));

        // A^T M: the transpose of A composed with M's linear part and translation.
        Matrix3x4 pre = m;
        pre.PreMultiplyTranspose(a.r);
        Real3x4 transposed{};
        for (int32_t k = 0; k < 9; ++k) transposed.r[k % 3][k / 3] = Real(a.r.m[k]);
        worstPre = std::max(worstPre, ErrorUnits(pre, Compose(transposed, ToReal(m))));
    }
    State("multiply_affine_3x4", worstAffine);
    State("multiply_4x4_operand", worst4x4);
    State("multiply_linear_3x4", worstLinear);
    State("premultiply_transpose_3x4", worstPre);
    EXPECT_LT(std::max({worstAffine, worst4x4, worstLinear, worstPre}), 3.0);
}

TEST_F(MatrixTest, TwoByThreeProductsMatchTheRealProductWithinTwoUnits) {
    double worst = 0;
    for (int32_t i = 0; i < kCases; ++i) {
        const Matrix2x3 m{Linear(), Linear(), Linear(), Linear(), Position(), Position()};
        const Matrix2x3 a{Linear(), Linear(), Linear(), Linear(), Position(), Position()};
        const double M[2][2] = {{Real(m.a), Real(m.b)}, {Real(m.c), Real(m.d)}};
        const double A[2][2] = {{Real(a.a), Real(a.b)}, {Real(a.c), Real(a.d)}};
        auto check = [&](const Matrix2x3& got, const double(&r)[2][2], double tx, double ty) {
            const double errors[6] = {got.a - r[0][0] * kUnits, got.b - r[0][1] * kUnits, got.c - r[1][0] * kUnits,
                                      got.d - r[1][1] * kUnits, got.tx - tx * kUnits,     got.ty - ty * kUnits};
            for (double e : errors) worst = std::max(worst, std::fabs(e));
        };
        double MA[2][2], AtM[2][2];
        for (int32_t r = 0; r < 2; ++r) {
            for (int32_t c = 0; c < 2; ++c) {
                MA[r][c] = M[r][0] * A[0][c] + M[r][1] * A[1][c];
                AtM[r][c] = A[0][r] * M[0][c] + A[1][r] * M[1][c];
            }
        }
        Matrix2x3 affine = m;
        affine.MultiplyAffine(a);
        check(affine, MA, M[0][0] * Real(a.tx) + M[0][1] * Real(a.ty) + Real(m.tx),
              M[1][0] * Real(a.tx) + M[1][1] * Real(a.ty) + Real(m.ty));
        Matrix2x3 linear = m;
        linear.MultiplyLinear(a);
        check(linear, MA, Real(m.tx), Real(m.ty));
        Matrix2x3 pre = m;
        pre.PreMultiplyTranspose(a);
        check(pre, AtM, A[0][0] * Real(m.tx) + A[1][0] * Real(m.ty), A[0][1] * Real(m.tx) + A[1][1] * Real(m.ty));
    }
    State("products_2x3", worst);
    EXPECT_LT(worst, 2.0);
}

// The inverse of a rigid transform is [R^T | -R^T t]: built from the
// transpose and the inverse point transform of the origin, it matches the
// real inverse of the same fixed matrix, and undoes the transform.
TEST_F(MatrixTest, InversesOfRigidTransformsMatchTheRealInverse) {
    double worstLinear = 0, worstPerDistance = 0, worstRoundTrip = 0;
    for (int32_t i = 0; i < kCases; ++i) {
        const Matrix3x4 m = RandomRigid();
        Matrix3x4 inverse = m;
        inverse.Transpose3x3();
        m.InverseTransformPoint(0, 0, 0, inverse.t);

        const Real3x4 real = ToReal(m);
        const double(&r)[3][3] = real.r;
        const double det = r[0][0] * (r[1][1] * r[2][2] - r[1][2] * r[2][1]) -
                           r[0][1] * (r[1][0] * r[2][2] - r[1][2] * r[2][0]) +
                           r[0][2] * (r[1][0] * r[2][1] - r[1][1] * r[2][0]);
        Real3x4 exact{};
        for (int32_t row = 0; row < 3; ++row) {
            for (int32_t column = 0; column < 3; ++column) {
                // Cofactor of (column, row) over the determinant.
                const int32_t r0 = (column + 1) % 3, r1 = (column + 2) % 3, c0 = (row + 1) % 3, c1 = (row + 2) % 3;
                exact.r[row][column] = (r[r0][c0] * r[r1][c1] - r[r0][c1] * r[r1][c0]) / det;
            }
        }
        for (int32_t row = 0; row < 3; ++row) {
            for (int32_t k = 0; k < 3; ++k) exact.t[row] -= exact.r[row][k] * real.t[k];
        }
        // The linear part in units; the translation in units per 1.0 of distance.
        double distance = 1;
        for (double component : real.t) distance = std::max(distance, std::fabs(component));
        for (int32_t k = 0; k < 9; ++k) {
            worstLinear = std::max(worstLinear, std::fabs(inverse.r.m[k] - exact.r[k / 3][k % 3] * kUnits));
        }
        for (int32_t k = 0; k < 3; ++k) {
            worstPerDistance = std::max(worstPerDistance, std::fabs(inverse.t[k] - exact.t[k] * kUnits) / distance);
        }

        int32_t p[3] = {Position(), Position(), Position()};
        const int32_t original[3] = {p[0], p[1], p[2]};
        double length = 1;
        for (int32_t component : original) length = std::max(length, std::fabs(Real(component)));
        int32_t moved[3], back[3];
        m.TransformPoint(p, moved);
        const int32_t forward[3] = {moved[0], moved[1], moved[2]};
        m.InverseTransformPoint(moved, back);
        for (int32_t k = 0; k < 3; ++k) {
            ASSERT_EQ(moved[k], forward[k] - m.t[k]) << "the input point itself loses t";
            worstRoundTrip = std::max(worstRoundTrip, std::fabs(double(back[k]) - original[k]) / length);
        }
    }
    State("rigid_inverse_linear_part", worstLinear);
    State("rigid_inverse_translation_per_unit_distance", worstPerDistance);
    State("rigid_round_trip_per_unit_distance", worstRoundTrip);
    // The table cosines carry a couple of units of error each and a product
    // of three rotations rounds more, so R^T R lies some units from the
    // identity: the transpose is the inverse to about 1/4000, and a
    // translation's error grows with its length. A wrong sign or order would
    // be off by tens of thousands of units.
    EXPECT_LT(worstLinear, 32.0);
    EXPECT_LT(worstPerDistance, 32.0);
    EXPECT_LT(worstRoundTrip, 32.0);
}

TEST_F(MatrixTest, TransformsMatchTheRealMaps) {
    double worst = 0;
    for (int32_t i = 0; i < kCases; ++i) {
        const Matrix3x4 m = RandomAffine();
        const Real3x4 real = ToReal(m);
        const int32_t p[3] = {Position(), Position(), Position()};
        int32_t forward[3], transposed[3], rotated[3];
        m.TransformPoint(p, forward);
        m.r.TransposeTransform(p, transposed);
        m.r.Transform(p, rotated);
        for (int32_t row = 0; row < 3; ++row) {
            double f = real.t[row], tr = 0, ro = 0;
            for (int32_t k = 0; k < 3; ++k) {
                f += real.r[row][k] * Real(p[k]);
                tr += real.r[k][row] * Real(p[k]);
                ro += real.r[row][k] * Real(p[k]);
            }
            worst = std::max({worst, std::fabs(forward[row] - f * kUnits), std::fabs(transposed[row] - tr * kUnits),
                              std::fabs(rotated[row] - ro * kUnits)});
        }
        // Transposing twice is the identity; once, it mirrors every entry.
        Matrix3x4 t = m;
        t.Transpose3x3();
        for (int32_t k = 0; k < 9; ++k) ASSERT_EQ(t.r.m[k], m.r.m[3 * (k % 3) + k / 3]);
        t.Transpose3x3();
        ASSERT_EQ(std::memcmp(&t, &m, sizeof t), 0);
    }
    State("transforms_3x4", worst);
    EXPECT_LT(worst, 3.0);
}

TEST_F(MatrixTest, VertexTransformsFillThePipelineWords) {
    Matrix3x4 m{};
    m.Identity();
    m.Scale(2 * ONE, 2 * ONE, 2 * ONE);
    m.t[0] = ONE;
    m.t[1] = 2 * ONE;
    m.t[2] = 3 * ONE;
    int32_t vertex[8] = {ONE, ONE, ONE, 99, 0, 0, 0, 0};
    m.TransformToVertex(vertex, 0);
    EXPECT_EQ((std::array{vertex[3], vertex[4], vertex[5], vertex[6], vertex[7]}),
              (std::array{ONE, 3 * ONE, 4 * ONE, 5 * ONE, -5 * ONE}));
    m.TransformToVertex(vertex, 1);
    EXPECT_EQ(vertex[7], ONE);

    int32_t homogeneous[8] = {ONE, ONE, ONE, 2 * ONE, 0, 0, 0, 0};
    m.TransformToVertexW(homogeneous, 1);
    EXPECT_EQ((std::array{homogeneous[4], homogeneous[5], homogeneous[6], homogeneous[7]}),
              (std::array{4 * ONE, 6 * ONE, 8 * ONE, 2 * ONE}));
    m.TransformToVertexW(homogeneous, 0);
    EXPECT_EQ(homogeneous[7], -8 * ONE);

    const Matrix2x3 flat{0, -ONE, ONE, 0, 10 * ONE, 20 * ONE};
    int32_t vertex2d[8] = {3 * ONE, 4 * ONE, 0, 0, 0, 0, 77, 0};
    flat.TransformToVertex(vertex2d);
    EXPECT_EQ((std::array{vertex2d[4], vertex2d[5], vertex2d[6], vertex2d[7]}),
              (std::array{6 * ONE, 23 * ONE, 77, ONE}));
    // Inverse 2D point transform: p itself is moved by -t first.
    int32_t p[2] = {6 * ONE, 23 * ONE};
    int32_t back[2];
    flat.InverseTransformPoint(p, back);
    EXPECT_EQ((std::array{p[0], p[1], back[0], back[1]}), (std::array{-4 * ONE, 3 * ONE, 3 * ONE, 4 * ONE}));
}

}  // namespace
