// Fuzz target: reading any file as a parameter file, and writing what was read back.
#include <string>

#include "files/parameter_file.hpp"
#include "fuzz_support.hpp"
#include "model/number_format.hpp"

namespace emforce::fuzz {

namespace {

bool sameInputs(const InputRecord& a, const InputRecord& b) {
    return a.parameterTable == b.parameterTable && a.reluctivityTable == b.reluctivityTable &&
           a.ni12dGap == b.ni12dGap && a.ni21dGap == b.ni21dGap && a.induction == b.induction &&
           a.geometry == b.geometry && a.highestHarmonic == b.highestHarmonic &&
           a.windingPattern == b.windingPattern && a.pointsPerCurve == b.pointsPerCurve &&
           a.minSpeed == b.minSpeed && a.maxSpeed == b.maxSpeed &&
           a.axisDescriptions == b.axisDescriptions && a.domain == b.domain && a.curves == b.curves;
}

// What any reading leaves in the record: selections inside their lists.
void checkSelections(const InputRecord& r) {
    checkNumberedSelections(r);
    check(itemIndex(kHighestHarmonicItems, r.highestHarmonic) >= 0,
          "highest harmonic " + r.highestHarmonic);
}

}  // namespace

int fuzzParameterFile(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    const SeparatorScope separator(in.flag() ? '.' : ',');
    const ScratchFile file("params.txt");
    const std::string bytes = in.rest();
    file.write(bytes);
    InputRecord record = startupRecord();
    const ParameterFileReading reading = readParameterFile(file.path(), record);
    if (!reading.complete()) {
        // "Line N of file F: " and the refusal of that line.
        const std::string& error = reading.error;
        const std::string ofFile = " of file " + file.path().string() + ": ";
        const size_t named = error.find(ofFile);
        check(error.starts_with("Line ") && named != std::string::npos,
              "reading stopped without naming the line: '" + error + "'");
        const std::string refusal =
            named == std::string::npos ? error : error.substr(named + ofFile.size());
        const auto kind = messageKind(refusal);
        // A message that names a text with a zero byte ends there.
        const bool cut = bytes.find('\0') != std::string::npos && refusal.starts_with("'");
        check(cut || refusal.starts_with("item index ") ||
                  (kind && (*kind == "not a real" || *kind == "not an integer" ||
                            *kind == "not a boolean")),
              "reading stopped with '" + error + "'");
    }
    checkSelections(record);
    // Whatever was read writes back as a complete file; a complete reading reads back the same.
    const ScratchFile copy("params-copy.txt");
    writeParameterFile(copy.path(), record);
    InputRecord again = startupRecord();
    const ParameterFileReading second = readParameterFile(copy.path(), again);
    check(second.complete(), "the written file does not read: " + second.error);
    checkSelections(again);
    if (reading.complete())
        check(sameInputs(record, again), "the written file reads as another record");
    return 0;
}

}  // namespace emforce::fuzz
