// Writing a file atomically or straight through to a device, and reading a bounded input file.
#include "files/safe_file.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fstream>
#include <random>

#include "numerics/fp_guard.hpp"

namespace emforce {

namespace fs = std::filesystem;

namespace {

[[noreturn]] void refuse(const char* what, const fs::path& path, const char* why = nullptr) {
    throw CalcError(std::string(what) + " " + path.string() + (why ? std::string(": ") + why : ""));
}

// Closes the descriptor when it goes out of scope.
class Descriptor {
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() {
        if (m_fd >= 0) ::close(m_fd);
    }
    [[nodiscard]] int get() const { return m_fd; }
    [[nodiscard]] bool valid() const { return m_fd >= 0; }
    // Closes now: the last chance for a deferred write error to show.
    bool close() {
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0;
    }

private:
    int m_fd;
};

bool writeAll(int fd, std::string_view text) {
    while (!text.empty()) {
        const ssize_t written = ::write(fd, text.data(), text.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        text.remove_prefix(static_cast<size_t>(written));
    }
    return true;
}

// Where the text goes: the path itself, or the file that its links finally name.
struct Target {
    fs::path path;
    bool exists = false;
    struct stat status {};
};

Target findTarget(const fs::path& path) {
    Target target{path};
    if (::stat(path.c_str(), &target.status) == 0) {
        target.exists = true;
        struct stat own {};
        if (::lstat(path.c_str(), &own) == 0 && S_ISLNK(own.st_mode) &&
            S_ISREG(target.status.st_mode)) {
            // The file is replaced where it lies, in the directory of the link chain's end.
            char resolved[PATH_MAX];
            if (!::realpath(path.c_str(), resolved)) refuse("Cannot create file", path);
            target.path = resolved;
        }
        return target;
    }
    const int failure = errno;
    struct stat own {};
    if (::lstat(path.c_str(), &own) == 0 && S_ISLNK(own.st_mode))
        refuse("Cannot create file", path,
               failure == ELOOP ? "its links form a loop" : "its link leads to no file");
    if (failure != ENOENT) refuse("Cannot create file", path);
    return target;
}

// A device or a FIFO is no file to replace: its reader gets the text.
void writeThrough(const fs::path& path, std::string_view text) {
    Descriptor out(::open(path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC));
    if (!out.valid()) refuse("Cannot create file", path);
    if (!writeAll(out.get(), text) || !out.close()) refuse("Cannot write file", path);
}

// A new file of a name no other file has, beside the target: created exclusively, so that no
// planted file or link of that name is ever written through.
std::pair<int, fs::path> createTemporary(const fs::path& target) {
    static thread_local std::mt19937_64 random{std::random_device{}()};
    static constexpr char kLetters[] =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string suffix(".~");
        for (int k = 0; k < 8; ++k) suffix += kLetters[random() % (sizeof kLetters - 1)];
        fs::path candidate = target;
        candidate += suffix;
        const int fd =
            ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd >= 0) return {fd, candidate};
        if (errno != EEXIST) break;
    }
    return {-1, {}};
}

void syncDirectory(const fs::path& directory) {
    Descriptor dir(
        ::open(directory.empty() ? "." : directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.valid()) ::fsync(dir.get());
}

void replaceRegular(const fs::path& shown, const Target& target, std::string_view text) {
    // A write-protected file stays as it is, as if it were opened for writing.
    if (target.exists &&
        !Descriptor(::open(target.path.c_str(), O_WRONLY | O_NOFOLLOW | O_CLOEXEC)).valid())
        refuse("Cannot create file", shown);
    auto [fd, temporary] = createTemporary(target.path);
    Descriptor out(fd);
    if (!out.valid()) refuse("Cannot create file", shown);
    const auto discard = [&temporary](const char* what, const fs::path& path) {
        ::unlink(temporary.c_str());
        refuse(what, path);
    };
    if (target.exists && ::fchmod(out.get(), target.status.st_mode & 07777) != 0)
        discard("Cannot create file", shown);
    if (!writeAll(out.get(), text) || ::fsync(out.get()) != 0 || !out.close())
        discard("Cannot write file", shown);
    if (::rename(temporary.c_str(), target.path.c_str()) != 0) discard("Cannot create file", shown);
    syncDirectory(target.path.parent_path());
}

}  // namespace

void replaceFile(const fs::path& path, std::string_view text) {
    const Target target = findTarget(path);
    if (!target.exists || S_ISREG(target.status.st_mode))
        replaceRegular(path, target, text);
    else if (S_ISCHR(target.status.st_mode) || S_ISFIFO(target.status.st_mode))
        writeThrough(path, text);
    else
        refuse("Cannot create file", path);
}

std::optional<std::string> readSmallFile(const fs::path& path, std::uintmax_t maxBytes,
                                         const std::string& tooLarge) {
    std::error_code ec;
    std::ifstream in(path, std::ios::binary);
    if (!in || fs::is_directory(path, ec)) return std::nullopt;
    std::string text;
    char buffer[65536];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
        text.append(buffer, static_cast<size_t>(in.gcount()));
        if (text.size() > maxBytes) throw CalcError(tooLarge);
    }
    return text;
}

}  // namespace emforce
