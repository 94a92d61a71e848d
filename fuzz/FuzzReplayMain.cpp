// Replays a fuzz target's corpus as an ordinary test: every file of the
// given directories (or the files given directly) goes through the target
// once. A crash or a sanitizer report fails the run.

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

int ReplayFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "cannot read %s\n", path.c_str());
        return 1;
    }
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    int failures = 0;
    int replayed = 0;
    for (int i = 1; i < argc; ++i) {
        const std::filesystem::path path(argv[i]);
        if (std::filesystem::is_directory(path)) {
            for (const auto& entry : std::filesystem::directory_iterator(path)) {
                if (!entry.is_regular_file()) continue;
                failures += ReplayFile(entry.path());
                ++replayed;
            }
        } else {
            failures += ReplayFile(path);
            ++replayed;
        }
    }
    // Empty and one-byte inputs are always worth a run.
    const uint8_t tiny[1] = {0};
    LLVMFuzzerTestOneInput(tiny, 0);
    LLVMFuzzerTestOneInput(tiny, 1);
    std::printf("replayed %d inputs\n", replayed);
    return failures == 0 ? 0 : 1;
}
