#include "app/log.h"
#include "support/test_support.h"

#include <QFile>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <thread>
#include <vector>

namespace zorvan::test {
namespace {

// Captures the developer channel and restores the log afterwards.
class LogTest : public testing::Test {
protected:
    void SetUp() override
    {
        SetDebugOutput([this](const std::string& entry) { debug_.push_back(entry); });
    }
    void TearDown() override
    {
        SetDebugOutput(nullptr);
        ResetLog();
    }
    QString LogPath() const { return dir_.File(QStringLiteral("Log.txt")); }
    // Entries of the file: each starts with a carriage return and "mm:ss.mmm   ".
    std::vector<std::string> FileEntries() const
    {
        std::vector<std::string> entries;
        const QByteArray text = ReadFile(LogPath());
        for (const QByteArray& part : text.split('\r')) {
            if (!part.isEmpty())
                entries.push_back(part.mid(12).toStdString());
        }
        return entries;
    }

    TempDir dir_;
    std::vector<std::string> debug_;
};

TEST_F(LogTest, NothingBeforeInitAndAtLevelZero)
{
    Log("before init");
    InitLog(0, LogPath());
    Log("level zero %d", 1);
    LogHex("abc", 3, 16, "x");
    EXPECT_TRUE(debug_.empty());
    EXPECT_FALSE(QFile::exists(LogPath()));
}

TEST_F(LogTest, LevelOneGoesToTheDeveloperChannelCutAt511)
{
    InitLog(1, LogPath());
    Log("value=%d %s", 5, "text");
    Log("%s", std::string(600, 'x').c_str());
    ASSERT_EQ(debug_.size(), 2u);
    EXPECT_EQ(debug_[0], "BY: value=5 text");
    EXPECT_EQ(debug_[1].size(), 511u);
    EXPECT_FALSE(QFile::exists(LogPath()));
}

TEST_F(LogTest, LevelTwoAppendsEntriesWithTimeToTheFile)
{
    ASSERT_TRUE(WriteFile(LogPath(), QByteArray(100, 'o')));
    InitLog(2, LogPath());
    Log("first");
    Log("second %x", 0xab);
    const QByteArray text = ReadFile(LogPath());
    EXPECT_TRUE(text.startsWith(QByteArray(100, 'o')));
    const QList<QByteArray> parts = text.mid(100).split('\r');
    ASSERT_EQ(parts.size(), 3);
    EXPECT_TRUE(parts[1].endsWith("   first"));
    EXPECT_EQ(parts[1].size(), 12 + 5);
    EXPECT_EQ(parts[1][2], ':');
    EXPECT_EQ(parts[1][5], '.');
    EXPECT_TRUE(parts[2].endsWith("   second ab"));
}

TEST_F(LogTest, ALargeFileIsEmptiedAtStart)
{
    ASSERT_TRUE(WriteFile(LogPath(), QByteArray(600000, 'o')));
    InitLog(2, LogPath());
    Log("fresh");
    EXPECT_EQ(FileEntries(), std::vector<std::string>{"fresh"});
}

TEST_F(LogTest, UnopenableFileFallsBackToTheDeveloperChannel)
{
    InitLog(2, dir_.File(QStringLiteral("missing/folder/Log.txt")));
    Log("still seen");
    ASSERT_EQ(debug_.size(), 2u);
    EXPECT_EQ(debug_[0], "Open Log failed");
    EXPECT_EQ(debug_[1], "BY: still seen");
}

struct HexCase {
    const char* name;
    size_t length;
    int perLine;
    const char* label;
    std::vector<std::string> entries;
};

class LogHexTest : public LogTest, public testing::WithParamInterface<HexCase> {};

std::string Groups(int from, int count)
{
    std::string s;
    for (int i = from; i < from + count; ++i) {
        char g[8];
        std::snprintf(g, sizeof g, "%02x ", i);
        s += g;
    }
    return s;
}

TEST_P(LogHexTest, WritesTheLinesAsEntries)
{
    InitLog(2, LogPath());
    std::vector<unsigned char> data(GetParam().length);
    for (size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<unsigned char>(i);
    LogHex(data.data(), data.size(), GetParam().perLine, GetParam().label);
    EXPECT_EQ(FileEntries(), GetParam().entries);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, LogHexTest,
    testing::Values(HexCase{"TwentyWithLabel", 20, 16, "lbl", {"\nlbl " + Groups(0, 16), "lbl " + Groups(16, 4)}},
                    HexCase{"SixteenWithoutLabel", 16, 16, nullptr, {Groups(0, 16), ""}},
                    HexCase{"WholeBufferWithLabel", 5, 0, "lbl", {"lbl " + Groups(0, 5)}},
                    HexCase{"LongWithoutPerLineIsCut", 200, 0, nullptr, {Groups(0, 170), Groups(170, 30)}}),
    [](const testing::TestParamInfo<HexCase>& info) { return std::string(info.param.name); });

TEST_F(LogTest, EchoSeesEveryEntryEvenWhenTheLogIsOff)
{
    std::vector<std::string> echoed;
    SetLogEcho([&](const std::string& e) { echoed.push_back(e); });
    Log("seen %d", 1);
    SetLogEcho(nullptr);
    EXPECT_EQ(echoed, std::vector<std::string>{"seen 1"});
}

// The UI thread, the reader threads and the apply worker log at once: every entry reaches the
// file and the echo whole, and the echo is handed one entry at a time.
TEST_F(LogTest, EntriesOfSeveralThreadsStayWhole)
{
    InitLog(2, LogPath());
    std::vector<std::string> echoed;
    SetLogEcho([&echoed](const std::string& e) { echoed.push_back(e); });
    constexpr int kThreads = 4;
    constexpr int kEntries = 50;
    const std::string tail(300, 'x');
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([t, &tail] {
            for (int i = 0; i < kEntries; ++i)
                Log("thread %d entry %d %s", t, i, tail.c_str());
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    SetLogEcho(nullptr);
    std::vector<std::string> expected;
    for (int t = 0; t < kThreads; ++t) {
        for (int i = 0; i < kEntries; ++i)
            expected.push_back("thread " + std::to_string(t) + " entry " + std::to_string(i) + " " + tail);
    }
    std::sort(expected.begin(), expected.end());
    std::vector<std::string> written = FileEntries();
    std::sort(written.begin(), written.end());
    std::sort(echoed.begin(), echoed.end());
    EXPECT_EQ(written, expected);
    EXPECT_EQ(echoed, expected);
}

}  // namespace
}  // namespace zorvan::test
