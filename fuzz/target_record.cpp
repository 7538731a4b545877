// Fuzz target: reading any text as a run record, and writing what was read back.
#include <string>

#include "files/json.hpp"
#include "files/run_record.hpp"
#include "fuzz_support.hpp"
#include "model/input_record.hpp"
#include "numerics/fp_guard.hpp"

namespace emforce::fuzz {

namespace {

// The JSON reader's verdict: the syntax error's text, or empty for a text that is one value.
std::string jsonVerdict(const std::string& text) {
    try {
        parseJson(text);
        return {};
    } catch (const JsonSyntaxError& e) {
        const std::string what = e.what();
        check(what.starts_with("line ") && what.find(", column ") != std::string::npos,
              "a syntax error without its place: '" + what + "'");
        return what;
    }
}

}  // namespace

int fuzzRecord(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    const std::string text = in.rest();
    const std::string syntax = jsonVerdict(text);
    const std::string prefix = "Record file F: ";
    InputRecord record;
    try {
        record = recordFromText(text, "F");
    } catch (const CalcError& e) {
        const std::string what = e.what();
        check(what.starts_with(prefix) && what.size() > prefix.size(),
              "a refusal that does not name the file: '" + what + "'");
        check(syntax.empty() || what == prefix + syntax,
              "a text that is no JSON refused with '" + what + "'");
        return 0;
    }
    check(syntax.empty(), "a record read from a text that is no JSON: " + syntax);
    checkNumberedSelections(record);
    // What was read writes as a file that reads back the same and writes the same text again.
    const std::string written = recordText(record);
    const ScratchFile file("record.json");
    writeRunRecord(file.path(), record);
    const InputRecord again = readRunRecord(file.path());
    check(again == record, "the written record reads as another record");
    check(recordText(again) == written, "the record's text changes when written again");
    return 0;
}

}  // namespace emforce::fuzz
