// Result data files: one number a line, abscissa and ordinate in turn.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "files/safe_file.hpp"

namespace emforce {

/// The name of the result file of a letter 'A'..'D': "Data_A.txt" ... "Data_D.txt".
std::string dataFileName(char letter);

/// Writes the points (x[k], y[k]) as 2 lines each, x first, in the general format with 6
/// significant digits and "." ("0.05", "1e-07", "2.5e+06"). Sizes that differ (a sweep stopped
/// between the two values of a point) write the complete pairs only. Writes as replaceFile does and throws as it does.
void writeDataFile(const std::filesystem::path& path, const std::vector<double>& x,
                   const std::vector<double>& y);

/// What plotting a data file takes from it.
struct DataFileReading {
    /// False when the file could not be opened; then there are no points.
    bool opened = false;
    /// The points, as many as both the odd lines (abscissae) and the even lines (ordinates) gave.
    std::vector<double> x, y;
    /// How many lines did not convert (each still used up its turn), and the 1-based number of
    /// the first of them (0 when every line converted).
    int badLineCount = 0;
    int firstBadLine = 0;
};

/// Reads a data file as the plotting command does: the first "." of a line becomes ",", both
/// separators therefore convert; odd lines give abscissae and even lines ordinates by position.
/// Lines of any length are read, "\r\n" ends are accepted, and a last line without a line break
/// counts like the others.
[[nodiscard]] DataFileReading readDataFile(const std::filesystem::path& path);

}  // namespace emforce
