#include "RepositoryContent.h"

#include <gtest/gtest.h>

#include <string>

#include "ContentCompiler.h"

const CompiledContent& RepositoryContent() {
    static const CompiledContent content = [] {
        CompiledContent compiled;
        ContentCompiler compiler;
        std::string error;
        EXPECT_TRUE(compiler.Compile(MKCONTENT_SOURCE_DIR, compiled, error)) << error;
        return compiled;
    }();
    return content;
}
