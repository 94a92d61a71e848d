// A host's translation unit that names one of the renderer's stages: with
// the public include folder alone its header is not found.

#include STAGE_HEADER
