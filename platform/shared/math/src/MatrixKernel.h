#ifndef MATRIXKERNEL_H
#define MATRIXKERNEL_H

#include <cstdint>

// The arithmetic the matrix classes share, on row-major element arrays whose
// rows lie `stride` words apart. Every product is FixedMul, every sum a 32-bit
// wrapping addition.
namespace MatrixKernel {

// Where an out-of-range element index lands, so the matrix stays intact.
int32_t& ScratchElement();

// Rows a and b (the first `columns` elements of each) turned by (c, s):
// a' = c*a + s*b, b' = -s*a + c*b, both from the old rows.
void RotateRowPair(int32_t* m, uint32_t stride, uint32_t columns, uint32_t rowA, uint32_t rowB, int32_t c,
                   int32_t s);

// out(i, j) = sum over k of b(i, k) * a(k, j) for i, j < n: the product B x A.
// out must not be a or b.
void MultiplyBlock(const int32_t* b, const int32_t* a, int32_t* out, uint32_t n, uint32_t stride);

// The affine product B x A of two 4x4 matrices whose fourth column is taken
// as (0, 0, 0, 1): the rotation block as MultiplyBlock, and the translation
// row out(3, j) = a(3, j) + sum over k < 3 of b(3, k) * a(k, j). Column 3 is
// neither read nor written. out must not be a or b.
void AffineProduct(const int32_t* b, const int32_t* a, int32_t* out);

// Gram-Schmidt on the columns of a 2x2 matrix (stride 2).
void OrthonormalizeColumns2(int32_t* m);
// Gram-Schmidt on the columns of the upper-left 3x3 block; column 2 becomes
// column 0 x column 1. A zero column stays zero.
void OrthonormalizeColumns3(int32_t* m, uint32_t stride);

// The nine entries of the rotation by angle about the unit axis (x, y, z).
void AxisRotation(int32_t out[9], int32_t angle, int32_t x, int32_t y, int32_t z);

// A right-handed orthonormal basis in the 3x3 block with the normalised
// direction as column 2 (AlignZ) or column 1 (AlignY).
void AlignZ(int32_t* m, uint32_t stride, int32_t x, int32_t y, int32_t z);
void AlignY(int32_t* m, uint32_t stride, int32_t x, int32_t y, int32_t z);

}  // namespace MatrixKernel

#endif
