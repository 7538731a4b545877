// Every kept fuzz input, run through its target with the checks the fuzzers make.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <string>
#include <vector>

#include "fuzz_support.hpp"

namespace emforce::fuzz {
namespace {

namespace fs = std::filesystem;

struct Target {
    const char* name;
    int (*run)(const std::uint8_t*, std::size_t);
};

const Target kTargets[] = {{"numbers", fuzzNumbers},
                           {"parameter_file", fuzzParameterFile},
                           {"data_file", fuzzDataFile},
                           {"command_line", fuzzCommandLine},
                           {"run", fuzzRun},
                           {"bessel", fuzzBessel},
                           {"record", fuzzRecord}};

void PrintTo(const Target& target, std::ostream* out) { *out << target.name; }

std::vector<fs::path> corpusOf(const Target& target) {
    std::vector<fs::path> files;
    for (const fs::directory_entry& entry :
         fs::directory_iterator(fs::path(EMFORCE_FUZZ_CORPUS) / target.name))
        if (entry.is_regular_file()) files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

class FuzzReplay : public ::testing::TestWithParam<Target> {};

TEST_P(FuzzReplay, EveryKeptInputKeepsThePromises) {
    const std::vector<fs::path> files = corpusOf(GetParam());
    ASSERT_FALSE(files.empty());
    for (const fs::path& file : files) {
        std::ifstream in(file, std::ios::binary);
        const std::string bytes{std::istreambuf_iterator<char>(in),
                                std::istreambuf_iterator<char>()};
        try {
            GetParam().run(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
        } catch (const FuzzFailure& e) {
            ADD_FAILURE() << file.filename() << ": " << e.what();
        } catch (const std::exception& e) {
            ADD_FAILURE() << file.filename() << ": escaped " << e.what();
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Targets, FuzzReplay, ::testing::ValuesIn(kTargets),
                         [](const ::testing::TestParamInfo<Target>& info) {
                             return std::string(info.param.name);
                         });

}  // namespace
}  // namespace emforce::fuzz
