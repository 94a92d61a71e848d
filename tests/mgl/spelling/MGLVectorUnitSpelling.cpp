// Compiled, never run, by the tests mgl_vector_unit_spelled and
// mgl_vector_unit_misspelled: the units asked for by their names must
// compile, and one misspelled must not, rather than read as a unit the
// processor lacks.
#include "MGLVectorUnit.h"

#ifdef MGL_UNIT_MISSPELLED
#if MGL_VECTOR_UNIT(SSE)
#endif
#else
#if MGL_VECTOR_UNIT(SSE2) || MGL_VECTOR_UNIT(AVX2)
#endif
#endif
