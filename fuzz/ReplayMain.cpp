// Runs the inputs named on the command line, files or folders of files, through a fuzz target
// once each: the regression corpus as an ordinary test, with any compiler.
#include "FileLoader.h"

#include <cstdint>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

std::vector<std::filesystem::path> inputsOf(const std::filesystem::path& named) {
    std::vector<std::filesystem::path> inputs;
    if (!std::filesystem::is_directory(named)) {
        inputs.push_back(named);
        return inputs;
    }
    for (const auto& entry : std::filesystem::directory_iterator(named)) {
        if (entry.is_regular_file()) {
            inputs.push_back(entry.path());
        }
    }
    return inputs;
}

} // namespace

int main(int argc, char** argv) {
    int ran = 0;
    for (int i = 1; i < argc; ++i) {
        for (const std::filesystem::path& input : inputsOf(argv[i])) {
            FileBytes file = readFileBytes(input.string(), SIZE_MAX);
            if (file.problem != FileBytes::Problem::none) {
                std::cerr << "cannot read " << input << std::endl;
                return 1;
            }
            std::cout << input.filename().string() << std::endl;
            LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(file.bytes.data()),
                                   file.bytes.size());
            ++ran;
        }
    }
    std::cout << ran << " inputs kept every promise" << std::endl;
    return ran > 0 ? 0 : 1;
}
