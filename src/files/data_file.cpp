// Result data files and safe file replacement.
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

[[noreturn]] void refuse(const char* what, const fs::path& path) {
    throw CalcError(std::string(what) + " " + path.string());
}

// Writing through a link would otherwise replace the link itself with a plain file.
fs::path followLink(const fs::path& path) {
    std::error_code ec;
    if (!fs::is_symlink(path, ec)) return path;
    const fs::path link = fs::read_symlink(path, ec);
    if (ec) return path;
    return link.is_absolute() ? link : path.parent_path() / link;
}

// A name in the target's directory that no file has yet.
fs::path temporaryBeside(const fs::path& target) {
    const fs::path base = target.filename().string() + ".~tmp";
    fs::path candidate = target.parent_path() / base;
    std::error_code ec;
    for (int n = 1; fs::exists(candidate, ec); ++n)
        candidate = target.parent_path() / (base.string() + std::to_string(n));
    return candidate;
}

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

void replaceFile(const fs::path& path, std::string_view text) {
    const fs::path target = followLink(path);
    std::error_code ec;
    const bool existed = fs::exists(target, ec);
    // A write-protected file stays as it is, as if it were opened for writing.
    if (existed && !std::ofstream(target, std::ios::app)) refuse("Cannot create file", path);
    const fs::path temporary = temporaryBeside(target);
    std::ofstream out(temporary, std::ios::trunc);
    if (!out) refuse("Cannot create file", path);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.close();
    if (!out) {
        fs::remove(temporary, ec);
        refuse("Cannot write file", path);
    }
    if (existed) fs::permissions(temporary, fs::status(target, ec).permissions(), ec);
    fs::rename(temporary, target, ec);
    if (ec) {
        fs::remove(temporary, ec);
        refuse("Cannot create file", path);
    }
}

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
