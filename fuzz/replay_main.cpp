// Runs a fuzz target without libFuzzer on every file of the folders or files given: the
// kept inputs (seeds and former findings) as a regression test. Each input runs twice, in
// order and then in reverse order, on the one window state the target keeps; a run that does
// not do the same both times shows state that one input leaves to the next.
#include "harness.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size);

int main(int argc, char** argv) {
    namespace fs = std::filesystem;
    std::vector<fs::path> inputs;
    for (int i = 1; i < argc; ++i) {
        if (fs::is_directory(argv[i])) {
            for (const auto& entry : fs::directory_iterator(argv[i]))
                if (entry.is_regular_file()) inputs.push_back(entry.path());
        } else if (fs::is_regular_file(argv[i])) {
            inputs.push_back(argv[i]);
        }
    }
    std::sort(inputs.begin(), inputs.end());
    if (inputs.empty()) {
        std::fprintf(stderr, "no inputs found\n");
        return 1;
    }
    tonfex::fuzz::checkEveryRun(true);
    std::vector<std::string> bytes, outcomes;
    for (const auto& path : inputs) {
        std::ifstream in(path, std::ios::binary);
        bytes.emplace_back((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }
    auto run = [&](size_t k) {
        LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes[k].data()),
                               bytes[k].size());
        return tonfex::fuzz::lastRunOutcome();
    };
    for (size_t k = 0; k < inputs.size(); ++k)
        outcomes.push_back(run(k));
    int differing = 0;
    for (size_t k = inputs.size(); k-- > 0;)
        if (run(k) != outcomes[k]) {
            std::fprintf(stderr, "%s: the second run does not do what the first did\n",
                         inputs[k].string().c_str());
            ++differing;
        }
    if (differing) return 1;
    std::printf("%zu inputs replayed twice without a finding\n", inputs.size());
    return 0;
}
