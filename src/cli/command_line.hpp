// Parsing the command line of emforce-cli into the edits it makes to the input record.
#pragma once

#include <functional>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "model/input_record.hpp"
#include "run/field_map.hpp"

namespace emforce::cli {

/// A command line that cannot be carried out; what() is a one-line explanation.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

/// The field map that --field and --field-out ask for.
struct FieldRequest {
    FieldQuantity quantity = FieldQuantity::B;
    std::string file;
    std::string time = "0";          ///< t [s], a text of the program
    std::optional<std::string> r;    ///< the one radius (position) of the rows, a text
    std::optional<std::string> speed;  ///< n [1/s] in place of the table's, a text
    int rows = 41;
    int columns = 73;
};

/// What the command line asks for.
struct CommandLine {
    enum class Mode { Run, ListSamples, Help, Version };
    Mode mode = Mode::Run;
    std::optional<std::string> paramsFile;
    /// A run record, read after the parameter file and before the sample set.
    std::optional<std::string> recordFile;
    std::optional<int> sample;
    /// The other options' changes to the record, in the order given.
    std::vector<std::function<void(InputRecord&)>> edits;
    bool json = false;
    std::optional<std::string> csvFile;
    std::optional<std::string> saveDataFile;
    std::optional<std::string> writeParamsFile;
    /// The run record of the run's inputs, as they were when the run started.
    std::optional<std::string> writeRecordFile;
    /// Number of worker threads (0: all cores).
    int threads = 0;
    /// Recompute every field solution at every point, nothing reused.
    bool literal = false;
    /// A field map to write as CSV.
    std::optional<FieldRequest> field;
};

/// Parses the arguments after the program name. Throws UsageError.
CommandLine parseCommandLine(std::span<const std::string> args);

/// The usage text of --help.
std::string usageText();

}  // namespace emforce::cli
