// Behaviours whose routines are not written yet: each does nothing, so the
// dispatcher links while they are built. Delete an entry when its routine
// is written in its own file.
#include "CActor.h"

