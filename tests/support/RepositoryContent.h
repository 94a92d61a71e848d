#ifndef REPOSITORYCONTENT_H
#define REPOSITORYCONTENT_H

#include "CompiledContent.h"

// The repository's content/ compiled once for the whole test program, as the
// build compiles it for the game; a failure to compile fails the test that
// first asks for it.
const CompiledContent& RepositoryContent();

#endif
