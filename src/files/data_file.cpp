// Result data files: writing and reading them back.
#include "files/data_file.hpp"

#include <algorithm>
#include <charconv>
#include <fstream>
#include <system_error>

#include "model/number_format.hpp"
#include "numerics/fp_guard.hpp"

namespace emforce {

namespace fs = std::filesystem;

namespace {

// to_chars ignores the locale, so the point stays the separator whatever locale the window sets.
std::string sixDigits(double v) {
    char buffer[32];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::general, 6);
    return std::string(buffer, result.ptr);
}

// A directory opens as a file on some systems, and then reads as nothing.
bool isDirectory(const fs::path& path) {
    std::error_code ec;
    return fs::is_directory(path, ec);
}

std::string withoutCarriageReturn(std::string line) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
}

}  // namespace

std::string dataFileName(char letter) { return std::string("Data_") + letter + ".txt"; }

void writeDataFile(const fs::path& path, const std::vector<double>& x,
                   const std::vector<double>& y) {
    std::string text;
    const size_t points = std::min(x.size(), y.size());
    for (size_t k = 0; k < points; ++k) text += sixDigits(x[k]) + "\n" + sixDigits(y[k]) + "\n";
    replaceFile(path, text);
}

DataFileReading readDataFile(const fs::path& path) {
    DataFileReading reading;
    std::ifstream in(path);
    if (!in || isDirectory(path)) return reading;
    reading.opened = true;
    std::vector<double> lists[2];
    std::string line;
    // getline also yields a last line that no line break ends.
    for (int number = 1; std::getline(in, line); ++number) {
        line = withoutCarriageReturn(std::move(line));
        if (const auto point = line.find('.'); point != std::string::npos) line[point] = ',';
        try {
            lists[(number - 1) % 2].push_back(toReal(line));
        } catch (const CalcError&) {
            if (reading.badLineCount++ == 0) reading.firstBadLine = number;
        }
    }
    const size_t points = std::min(lists[0].size(), lists[1].size());
    lists[0].resize(points);
    lists[1].resize(points);
    reading.x = std::move(lists[0]);
    reading.y = std::move(lists[1]);
    return reading;
}

}  // namespace emforce
