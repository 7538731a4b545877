// The safe writer: devices and FIFOs written through, links followed to their end, planted
// names never written through, and bounded reading.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <thread>

#include "files/parameter_file.hpp"
#include "files/safe_file.hpp"
#include "numerics/fp_guard.hpp"

namespace emforce {
namespace {

namespace fs = std::filesystem;

void expectCalcError(const std::function<void()>& action, const std::string& message) {
    try {
        action();
        ADD_FAILURE() << "no CalcError, expected: " << message;
    } catch (const CalcError& e) {
        EXPECT_EQ(e.what(), message);
    }
}

class SafeFile : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir =
            fs::temp_directory_path() / ("emforce-safe-" + std::to_string(std::random_device{}()));
        fs::create_directories(m_dir);
    }
    void TearDown() override { fs::remove_all(m_dir); }

    [[nodiscard]] fs::path at(const std::string& name) const { return m_dir / name; }
    static std::string contents(const fs::path& path) {
        std::ostringstream text;
        text << std::ifstream(path, std::ios::binary).rdbuf();
        return text.str();
    }
    static void put(const fs::path& path, const std::string& text) {
        std::ofstream(path, std::ios::binary) << text;
    }
    // A character device node of the machine's null (1, 3), zero (1, 5) or full (1, 7) device,
    // made in the test's own directory.
    [[nodiscard]] fs::path device(const std::string& name, unsigned minor) const {
        const fs::path node = at(name);
        if (::mknod(node.c_str(), S_IFCHR | 0666, makedev(1, minor)) != 0) return {};
        return node;
    }
    [[nodiscard]] size_t entries() const {
        return static_cast<size_t>(
            std::distance(fs::directory_iterator(m_dir), fs::directory_iterator()));
    }

    fs::path m_dir;
};

TEST_F(SafeFile, DevicesAreWrittenThroughAndTheirErrorsReported) {
    const fs::path full = device("full", 7), null = device("null", 3);
    if (full.empty() || null.empty()) GTEST_SKIP() << "mknod is not permitted here (not root?)";
    expectCalcError([&] { replaceFile(full, "text\n"); }, "Cannot write file " + full.string());
    replaceFile(null, "text\n");
    for (const fs::path& node : {full, null}) EXPECT_TRUE(fs::is_character_file(node)) << node;
    // Through a link too: the device stays, the link stays.
    fs::create_symlink("full", at("to-full"));
    expectCalcError([&] { replaceFile(at("to-full"), "x"); },
                    "Cannot write file " + at("to-full").string());
    EXPECT_TRUE(fs::is_symlink(at("to-full")));
    EXPECT_EQ(entries(), 3u);
}

TEST_F(SafeFile, AFifoGetsTheTextAndStaysAFifo) {
    const fs::path fifo = at("pipe");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::string received;
    std::thread reader([&] { received = contents(fifo); });
    replaceFile(fifo, "through the pipe\n");
    reader.join();
    EXPECT_EQ(received, "through the pipe\n");
    EXPECT_TRUE(fs::is_fifo(fifo));
    EXPECT_EQ(entries(), 1u);
}

TEST_F(SafeFile, AChainOfLinksIsFollowedToItsEndWhichIsReplaced) {
    fs::create_directories(at("real"));
    put(at("real/file.txt"), "old\n");
    fs::permissions(at("real/file.txt"),
                    fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    fs::create_symlink("real/file.txt", at("middle"));
    fs::create_directories(at("links"));
    fs::create_symlink("../middle", at("links/first"));
    replaceFile(at("links/first"), "new\n");
    EXPECT_EQ(contents(at("real/file.txt")), "new\n");
    EXPECT_TRUE(fs::is_symlink(at("links/first")));
    EXPECT_TRUE(fs::is_symlink(at("middle")));
    EXPECT_EQ(fs::status(at("real/file.txt")).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(std::distance(fs::directory_iterator(at("real")), fs::directory_iterator()), 1);
}

TEST_F(SafeFile, LinksThatReachNoFileAreRefusedAndLeftAsTheyAre) {
    fs::create_symlink("b", at("a"));
    fs::create_symlink("a", at("b"));
    fs::create_symlink("missing/file", at("dangling"));
    expectCalcError([&] { replaceFile(at("a"), "x"); },
                    "Cannot create file " + at("a").string() + ": its links form a loop");
    expectCalcError(
        [&] { replaceFile(at("dangling"), "x"); },
        "Cannot create file " + at("dangling").string() + ": its link leads to no file");
    for (const char* name : {"a", "b", "dangling"}) EXPECT_TRUE(fs::is_symlink(at(name))) << name;
    EXPECT_EQ(entries(), 3u);
}

TEST_F(SafeFile, APlantedNameBesideTheTargetIsNeverWrittenThrough) {
    put(at("elsewhere"), "untouched\n");
    for (const char* planted : {"out.txt.~tmp", "out.txt.~tmp1", ".out.txt.~tmp"})
        fs::create_symlink("elsewhere", at(planted));
    fs::create_symlink("nowhere", at("out.txt.~tmp2"));
    replaceFile(at("out.txt"), "data\n");
    EXPECT_EQ(contents(at("out.txt")), "data\n");
    EXPECT_FALSE(fs::is_symlink(at("out.txt")));
    EXPECT_EQ(contents(at("elsewhere")), "untouched\n");
    EXPECT_FALSE(fs::exists(at("nowhere")));
    EXPECT_EQ(entries(), 6u);
}

TEST_F(SafeFile, ReadingStopsAtItsBound) {
    put(at("small"), "abc");
    EXPECT_EQ(readSmallFile(at("small"), 3, "too large"), "abc");
    expectCalcError([&] { (void)readSmallFile(at("small"), 2, "too large"); }, "too large");
    EXPECT_EQ(readSmallFile(at("missing"), 3, "too large"), std::nullopt);
    EXPECT_EQ(readSmallFile(m_dir, 3, "too large"), std::nullopt);
}

TEST_F(SafeFile, AParameterFileAboveOneMebibyteIsRefused) {
    put(at("big.txt"), std::string(kParameterFileMaxBytes + 1, '\n'));
    InputRecord record = startupRecord();
    const InputRecord before = record;
    EXPECT_EQ(readParameterFile(at("big.txt"), record).error,
              "Parameter file " + at("big.txt").string() + ": larger than 1 MiB");
    EXPECT_EQ(record, before);
    const fs::path zero = device("zero", 5);
    if (zero.empty()) GTEST_SKIP() << "mknod is not permitted here (not root?)";
    EXPECT_EQ(readParameterFile(zero, record).error,
              "Parameter file " + zero.string() + ": larger than 1 MiB");
}

}  // namespace
}  // namespace emforce
