// Fuzz target: parsing any argument list, and applying its edits to the start-up record.
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli_main.hpp"
#include "cli/command_line.hpp"
#include "fuzz_support.hpp"
#include "model/sample_sets.hpp"

namespace emforce::fuzz {

namespace {

// The arguments are the input's texts between zero bytes.
std::vector<std::string> arguments(const std::string& bytes) {
    std::vector<std::string> args;
    size_t start = 0;
    while (start <= bytes.size() && args.size() < 64) {
        const size_t end = std::min(bytes.find('\0', start), bytes.size());
        args.push_back(bytes.substr(start, end - start));
        start = end + 1;
    }
    return args;
}

void checkParsed(const cli::CommandLine& cl) {
    check(!cl.sample || (*cl.sample >= 0 && *cl.sample < static_cast<int>(kSampleSets.size())),
          "sample index");
    check(cl.threads >= 0 && cl.threads <= 1024, "thread count " + std::to_string(cl.threads));
    InputRecord record = startupRecord();
    for (const auto& edit : cl.edits) edit(record);
    const int geometry = static_cast<int>(record.geometry);
    check(geometry >= 0 && geometry <= 2, "geometry " + std::to_string(geometry));
    check(record.windingPattern >= 0 && record.windingPattern < 14, "winding pattern");
    check(record.domain >= 0 && record.domain <= 4, "domain");
    check(itemIndex(kIntegrationMethodItems, record.integrationMethod) >= 0, "integration method");
}

}  // namespace

int fuzzCommandLine(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    const std::vector<std::string> args = arguments(in.rest());
    cli::CommandLine cl;
    try {
        cl = cli::parseCommandLine(args);
    } catch (const cli::UsageError& e) {
        const std::string what = e.what();
        check(!what.empty(), "an empty usage message");
        return 0;
    }
    checkParsed(cl);
    // The modes that run no calculation and write no file are carried out whole.
    if (cl.mode != cli::CommandLine::Mode::Run) {
        std::ostringstream out, err;
        check(cli::runCommandLine(args, out, err) == cli::kExitComplete, "a listing mode failed");
        check(!out.str().empty() && err.str().empty(),
              "a listing mode wrote nothing or complained");
    }
    return 0;
}

}  // namespace emforce::fuzz
