// Fuzz target: plotting any file as a result data file, and writing its points back.
#include <cmath>
#include <string>

#include "files/data_file.hpp"
#include "fuzz_support.hpp"

namespace emforce::fuzz {

namespace {

void checkPoints(const DataFileReading& r) {
    check(r.opened, "a written file did not open");
    check(r.x.size() == r.y.size(), "abscissae and ordinates differ in number");
    for (size_t i = 0; i < r.x.size(); ++i)
        check(std::isfinite(r.x[i]) && std::isfinite(r.y[i]), "a point that is not finite");
    check(r.badLineCount >= 0 && (r.badLineCount == 0) == (r.firstBadLine == 0) &&
              r.firstBadLine >= 0,
          "bad line count and first bad line disagree");
}

// Six significant digits, or the nearest subnormal to them.
bool withinSixDigits(double written, double read) {
    return std::fabs(written - read) <= 5.0000001e-6 * std::fabs(written) + 1e-323;
}

}  // namespace

int fuzzDataFile(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    const SeparatorScope separator(in.flag() ? '.' : ',');
    const ScratchFile file("data.txt");
    file.write(in.rest());
    const DataFileReading first = readDataFile(file.path());
    checkPoints(first);
    // Every point that was plotted writes back and plots again, to six digits.
    const ScratchFile copy("data-copy.txt");
    writeDataFile(copy.path(), first.x, first.y);
    const DataFileReading second = readDataFile(copy.path());
    checkPoints(second);
    if (second.badLineCount > 0)
        check(false, "written line " + std::to_string(second.firstBadLine) + " does not read");
    check(second.x.size() == first.x.size(), "points lost in writing");
    for (size_t i = 0; i < first.x.size(); ++i)
        check(withinSixDigits(first.x[i], second.x[i]) && withinSixDigits(first.y[i], second.y[i]),
              "point " + std::to_string(i) + " changed beyond six digits");
    return 0;
}

}  // namespace emforce::fuzz
