// The history on Windows: the file of records under a folder of the test's own, read back, kept
// within its bound, a line cut by a kill cut away; and the watch of the clock's settings over a
// clock the test moves.

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "platform/HistoryLine.h"
#include "platform/windows/AtomicFile.h"
#include "platform/windows/WideText.h"
#include "platform/windows/WindowsClockChangeWatch.h"
#include "platform/windows/WindowsHistoryFile.h"
#include "platform/windows/WindowsPath.h"
#include "tests/unit/platform/windows/WindowsFakes.h"

namespace velmora {
namespace {

HistoryRecord Answer(double at, double offset) {
    return {HistoryRecord::Kind::Answer, at, "127.0.0.1", offset, 0.002, false};
}

class WindowsHistory : public ::testing::Test {
  protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        dir_ = JoinWindowsPath(Narrow(temp),
                               "J\xC3\xBCrgen history " + std::to_string(GetCurrentProcessId()));
        path_ = JoinWindowsPath(JoinWindowsPath(dir_, "Velmora"), "history");
    }
    void TearDown() override {
        DeleteFileW(Widen(path_).c_str());
        RemoveDirectoryW(Widen(JoinWindowsPath(dir_, "Velmora")).c_str());
        RemoveDirectoryW(Widen(dir_).c_str());
    }
    std::string Content() const {
        bool missing = false;
        return ReadWholeFile(path_, missing).value_or("");
    }

    std::string dir_;
    std::string path_;
};

TEST_F(WindowsHistory, RecordsComeBackInOrderFromAFolderMadeForThem) {
    WindowsHistoryFile history(path_);
    const std::vector<HistoryRecord> written = {
        Answer(1796085000.5, 0.25),
        {HistoryRecord::Kind::Step, 1796085001.25, "", -2.000125, 0, false},
        {HistoryRecord::Kind::OtherStep, 1796085002, "", 90, 0, false},
    };
    for (const HistoryRecord& record : written) {
        history.Append(record);
    }
    EXPECT_EQ(history.Load(), written);
    EXPECT_EQ(Content().find('\r'), std::string::npos) << "the lines Linux writes";
    // A second copy of the program reads and adds to the same file.
    WindowsHistoryFile other(path_);
    other.Append(Answer(1796085003, 0.5));
    EXPECT_EQ(history.Load().size(), 4u);
}

TEST_F(WindowsHistory, TheNewestStayWhenItIsFull) {
    WindowsHistoryFile history(path_, 10, 6);
    for (int i = 0; i < 25; ++i) {
        history.Append(Answer(1796085000 + i, i));
    }
    const std::vector<HistoryRecord> kept = history.Load();
    ASSERT_GE(kept.size(), 6u);
    EXPECT_LE(kept.size(), 10u);
    EXPECT_DOUBLE_EQ(kept.back().offsetSeconds, 24);
    for (std::size_t i = 1; i < kept.size(); ++i) {
        EXPECT_DOUBLE_EQ(kept[i].offsetSeconds, kept[i - 1].offsetSeconds + 1);
    }
}

// A copy killed in the middle of a line left half of it: the next record starts on its own line
// and the half is gone.
TEST_F(WindowsHistory, AHalfLineIsCutAway) {
    WindowsHistoryFile history(path_);
    history.Append(Answer(1796085000, 1));
    ASSERT_TRUE(ReplaceFileAtomically(path_, Content() + "answer\t17960"));
    history.Append(Answer(1796085001, 2));
    const std::vector<HistoryRecord> records = history.Load();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_DOUBLE_EQ(records[1].offsetSeconds, 2);
    EXPECT_EQ(Content().back(), '\n');
}

TEST_F(WindowsHistory, ARecordThatCannotBeKeptCostsOnlyItself) {
    WindowsHistoryFile history(path_);
    ::testing::internal::CaptureStderr();
    history.Append(Answer(1796085000, 1e15));
    history.Append(Answer(1796085000, 1e15));
    const std::string told = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(told, "velmora: cannot keep the history in " + path_ +
                        ": a record with a number out of range\n")
        << "told once";
    history.Append(Answer(1796085001, 1));
    EXPECT_EQ(history.Load().size(), 1u);
    EXPECT_TRUE(WindowsHistoryFile("").Load().empty());
}

TEST(WindowsClockChangeWatch, OnlySettingsMoveIt) {
    FakeClockCalls calls;
    WindowsClockChangeWatch watch(calls);
    // Time passing moves both clocks alike.
    calls.utc += 30 * kTicksPerSecond;
    calls.steady += 30 * kTicksPerSecond;
    EXPECT_DOUBLE_EQ(watch.TakeChangeSeconds(), 0);
    // A setting moves the system clock alone, forward or back, and is told once.
    calls.utc += 90 * kTicksPerSecond + 2500;
    EXPECT_DOUBLE_EQ(watch.TakeChangeSeconds(), 90.00025);
    EXPECT_DOUBLE_EQ(watch.TakeChangeSeconds(), 0);
    calls.utc -= 3 * kTicksPerSecond;
    EXPECT_DOUBLE_EQ(watch.TakeChangeSeconds(), -3);
}

}  // namespace
}  // namespace velmora
