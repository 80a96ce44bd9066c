// The smoke runner: in builds without libFuzzer every fuzz target links this
// main() instead. It feeds the target each file of the folders (or files)
// named on the command line, then a few deterministic damaged copies of each
// (cut at several lengths, single bits flipped), so the ordinary test suite
// replays the corpus and its regression inputs on every run. A crash or a
// failed check aborts the process and fails the test.

#include "FuzzTarget.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {
std::vector<uint8_t> ReadWhole(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void Feed(const std::vector<uint8_t>& bytes)
{
    // A copy of exactly `size` bytes, so that reading past the end is seen by
    // the address sanitizer (when it is on), as under libFuzzer.
    std::vector<uint8_t> copy(bytes);
    LLVMFuzzerTestOneInput(copy.empty() ? nullptr : copy.data(), copy.size());
}

// Damaged variants: cut at seven lengths, and sixteen copies with one bit
// flipped each, at places spread over the file.
void FeedVariants(const std::vector<uint8_t>& bytes)
{
    const size_t n = bytes.size();
    for (size_t k = 0; k < 7 && n > 0; ++k) {
        const size_t cut = n * k / 7;
        Feed(std::vector<uint8_t>(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(cut)));
    }
    uint32_t state = 2463534242u ^ static_cast<uint32_t>(n);
    for (int k = 0; k < 16 && n > 0; ++k) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        std::vector<uint8_t> flipped(bytes);
        flipped[state % n] ^= static_cast<uint8_t>(1u << (state >> 8) % 8);
        Feed(flipped);
    }
}
} // namespace

int main(int argc, char** argv)
{
    std::vector<std::filesystem::path> files;
    for (int i = 1; i < argc; ++i) {
        const std::filesystem::path arg(argv[i]);
        std::error_code ec;
        if (std::filesystem::is_directory(arg, ec)) {
            for (const auto& entry : std::filesystem::recursive_directory_iterator(arg, ec))
                if (entry.is_regular_file())
                    files.push_back(entry.path());
        } else if (std::filesystem::is_regular_file(arg, ec)) {
            files.push_back(arg);
        } else {
            std::fprintf(stderr, "no such corpus: %s\n", argv[i]);
            return 2;
        }
    }
    std::sort(files.begin(), files.end());
    if (files.empty()) {
        std::fprintf(stderr, "empty corpus\n");
        return 2;
    }
    Feed({}); // the empty input
    for (const auto& file : files) {
        const std::vector<uint8_t> bytes = ReadWhole(file);
        Feed(bytes);
        FeedVariants(bytes);
    }
    std::printf("%zu inputs, each with 23 damaged copies: no crash\n", files.size());
    return 0;
}
