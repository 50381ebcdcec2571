// Runs a fuzz target once over each file given, or each file in a directory
// given: coverage builds with any compiler, and a reproducer under a debugger.
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv) {
    namespace fs = std::filesystem;
    for (int i = 1; i < argc; ++i) {
        std::vector<fs::path> files{argv[i]};
        if (fs::is_directory(files[0])) files.assign(fs::directory_iterator(files[0]), fs::directory_iterator());
        for (const fs::path& path : files) {
            std::ifstream in(path, std::ios::binary);
            const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
            LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
        }
    }
}
