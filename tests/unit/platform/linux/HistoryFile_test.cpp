#include "platform/linux/HistoryFile.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace velmora {

void PrintTo(const HistoryRecord& r, std::ostream* out) {
    *out << HistoryLine(r);
}

namespace {

namespace fs = std::filesystem;

HistoryRecord Answer(double seconds, std::string entry = "pool.test", bool nts = false) {
    return {HistoryRecord::Kind::Answer, seconds, std::move(entry), -0.25, 0.0125, nts};
}

class HistoryOnDisk : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("velmora-history-" + std::to_string(getpid()));
        fs::remove_all(dir_);
        path_ = (dir_ / "state" / "velmora" / "history").string();
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string Content() const {
        std::ifstream in(path_, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    std::vector<std::string> RawLines() const {
        std::vector<std::string> lines;
        std::ifstream in(path_);
        for (std::string line; std::getline(in, line);) {
            lines.push_back(line);
        }
        return lines;
    }
    // Names in the history's folder other than the history.
    std::vector<std::string> Strays() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(fs::path(path_).parent_path())) {
            if (entry.path() != path_) {
                names.push_back(entry.path().filename().string());
            }
        }
        return names;
    }

    fs::path dir_;
    std::string path_;
};

// A locale that writes numbers with a decimal comma, built for the test (glibc reads LOCPATH).
bool UseCommaLocale(const fs::path& dir) {
    const fs::path source = dir / "comma.src";
    fs::create_directories(dir);
    std::ofstream(source) << "LC_NUMERIC\ndecimal_point \",\"\nthousands_sep \".\"\n"
                             "grouping 3;3\nEND LC_NUMERIC\n";
    const std::string build = "localedef -c -i " + source.string() + " -f UTF-8 " +
                              (dir / "comma").string() + " >/dev/null 2>&1";
    (void)std::system(build.c_str());
    setenv("LOCPATH", dir.c_str(), 1);
    return std::setlocale(LC_NUMERIC, "comma") != nullptr;
}

TEST_F(HistoryOnDisk, RecordsComeBackAsTheyWentInWhateverTheLocale) {
    ASSERT_TRUE(UseCommaLocale(dir_ / "locale"));
    HistoryFile history(path_);
    const std::vector<HistoryRecord> records = {
        Answer(1796083200.125, "nts://time.test:4460", true),
        {HistoryRecord::Kind::Step, 1796083201.5, "", 0.734567, 0, false},
        Answer(1796084100, "odd\tname\nwith breaks"),
        Answer(1796085000, ""),
        {HistoryRecord::Kind::OtherStep, 1796085001.25, "", -2.000125, 0, false},
    };
    for (const HistoryRecord& record : records) {
        history.Append(record);
    }
    std::setlocale(LC_NUMERIC, "C");
    unsetenv("LOCPATH");
    std::vector<HistoryRecord> expected = records;
    expected[2].entry = "odd name with breaks";
    EXPECT_EQ(HistoryFile(path_).Load(), expected);
    EXPECT_EQ(fs::status(path_).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(fs::status(fs::path(path_).parent_path()).permissions() & fs::perms::all,
              fs::perms::owner_all);
    // A step by another program has a first word of its own, which the versions before it pass
    // over as a kind they do not know.
    EXPECT_EQ(HistoryLine(records[4]), "otherstep\t1796085001.250\t-2.000125\t0.000000");
    // Lines of another kind are passed over.
    std::ofstream(path_, std::ios::app) << "answer\t1\t2\t3\tmaybe\tx\nstep\t1\t2\nnote\t1\t2\t3\n"
                                           "step\t1\t2\t3,5\nstep\tnan\t2\t3\n";
    EXPECT_EQ(HistoryFile(path_).Load(), expected);
}

TEST_F(HistoryOnDisk, BoundedTheOldestDroppedFirst) {
    HistoryFile history(path_, 50, 30);
    for (int i = 0; i < 500; ++i) {
        history.Append(Answer(i));
        ASSERT_LE(RawLines().size(), 50u) << i;
    }
    std::vector<HistoryRecord> kept = history.Load();
    ASSERT_GE(kept.size(), 30u);
    for (std::size_t i = 0; i < kept.size(); ++i) {
        EXPECT_EQ(kept[i].unixSeconds, static_cast<double>(500 - kept.size() + i));
    }
    // A longer file, as a version with a larger bound left it, is cut at the first record.
    HistoryFile larger(path_, 1000, 1000);
    for (int i = 0; i < 200; ++i) {
        larger.Append(Answer(1000 + i));
    }
    HistoryFile(path_, 50, 30).Append(Answer(2000));
    kept = HistoryFile(path_).Load();
    ASSERT_EQ(kept.size(), 30u);
    EXPECT_EQ(kept.back().unixSeconds, 2000);
    EXPECT_TRUE(Strays().empty());
}

// Every number written reads back: a record with a number no clock could show is not written.
TEST_F(HistoryOnDisk, WhatCannotBeReadBackIsNotWritten) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const HistoryRecord largest = {HistoryRecord::Kind::Answer,
                                   1796083200,
                                   "far.test",
                                   -999999999999.5,
                                   999999999999.25,
                                   false};
    HistoryFile history(path_);
    const HistoryRecord unwritable[] = {
        {HistoryRecord::Kind::Answer, 1796083200, "x", nan, 0.01, false},
        {HistoryRecord::Kind::Answer, 1796083200, "x", 1e300, 0.01, false},
        {HistoryRecord::Kind::Answer, 1796083200, "x", -0.5, inf, false},
        {HistoryRecord::Kind::Answer, 1796083200, "x", 1.000001e12, 0.01, false},
        {HistoryRecord::Kind::Step, -inf, "", 1, 0, false},
        {HistoryRecord::Kind::OtherStep, 1796083200, "", -1e13, 0, false},
    };
    history.Append(Answer(1));
    for (const HistoryRecord& record : unwritable) {
        EXPECT_FALSE(Writable(record)) << HistoryLine(record);
        history.Append(record);
    }
    history.Append(largest);
    EXPECT_EQ(HistoryFile(path_).Load(), (std::vector<HistoryRecord>{Answer(1), largest}));
    EXPECT_EQ(RawLines().size(), 2u);
}

// Two copies of the program (on two displays) keeping one file: the bound holds at every moment,
// and each trim keeps the newest lines, those the other copy wrote meanwhile among them.
TEST_F(HistoryOnDisk, TwoCopiesKeepTheBoundAndTheNewestLines) {
    constexpr int kRecords = 800;
    HistoryFile(path_).Append(Answer(-1, "before"));
    int go[2];
    ASSERT_EQ(pipe(go), 0);
    pid_t copies[2];
    for (int copy = 0; copy < 2; ++copy) {
        copies[copy] = fork();
        ASSERT_GE(copies[copy], 0);
        if (copies[copy] == 0) {
            close(go[1]);
            char start;
            (void)!read(go[0], &start, 1);
            HistoryFile history(path_, 60, 40);
            for (int i = 0; i < kRecords; ++i) {
                history.Append(Answer(i, "copy" + std::to_string(copy)));
            }
            _exit(0);
        }
    }
    close(go[0]);
    close(go[1]);
    std::size_t most = 0;
    for (int running = 2; running > 0;) {
        most = std::max(most, RawLines().size());
        running = 0;
        for (pid_t copy : copies) {
            running += waitpid(copy, nullptr, WNOHANG) == 0 ? 1 : 0;
        }
    }
    for (pid_t copy : copies) {
        waitpid(copy, nullptr, 0);
    }
    EXPECT_LE(most, 60u);
    const std::vector<HistoryRecord> kept = HistoryFile(path_).Load();
    EXPECT_LE(kept.size(), 60u);
    EXPECT_GE(kept.size(), 40u);
    // Each copy's records that stay are its newest, none missing between them.
    for (const std::string copy : {"copy0", "copy1"}) {
        std::vector<double> seconds;
        for (const HistoryRecord& record : kept) {
            if (record.entry == copy) {
                seconds.push_back(record.unixSeconds);
            }
        }
        for (std::size_t i = 0; i < seconds.size(); ++i) {
            EXPECT_EQ(seconds[i], kRecords - static_cast<double>(seconds.size() - i)) << copy;
        }
    }
    EXPECT_TRUE(Strays().empty());
}

// A copy of the program killed at any moment, also while it drops the oldest records, leaves
// whole lines and at most one unfinished last line; the next record starts a line of its own,
// and nothing of the killed copies stays behind.
TEST_F(HistoryOnDisk, WholeAfterKillNine) {
    std::mt19937 random(11);
    std::uniform_int_distribution<int> wait(0, 3000);
    int appended = 0;
    for (int round = 0; round < 150; ++round) {
        int started[2];
        ASSERT_EQ(pipe(started), 0);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            HistoryFile history(path_, 40, 25);
            for (int i = 0;; ++i) {
                history.Append(Answer(round * 1e6 + i, "killed.test"));
                if (i == 0) {
                    (void)!write(started[1], "1", 1);
                }
            }
        }
        char one;
        ASSERT_EQ(read(started[0], &one, 1), 1);
        close(started[0]);
        close(started[1]);
        usleep(static_cast<useconds_t>(wait(random)));
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        const std::string content = Content();
        std::vector<std::string> lines = RawLines();
        if (!content.empty() && content.back() != '\n') {
            lines.pop_back();
        }
        ASSERT_LE(lines.size(), 40u);
        for (const std::string& line : lines) {
            HistoryRecord record;
            ASSERT_TRUE(ParseHistoryLine(line, record)) << round << ": " << line;
        }
        HistoryRecord last;
        appended += !lines.empty() && ParseHistoryLine(lines.back(), last) &&
                    last.unixSeconds >= round * 1e6;
    }
    // Every copy was killed after it had kept a record.
    EXPECT_EQ(appended, 150);
    // One killed in the middle of its line, as a full disk might also leave it.
    std::ofstream(path_, std::ios::app) << "answer\t1796083200.125\t-0.2";
    HistoryFile(path_, 40, 25).Append(Answer(7));
    EXPECT_EQ(Content().back(), '\n');
    const std::vector<HistoryRecord> kept = HistoryFile(path_).Load();
    EXPECT_EQ(kept.size(), RawLines().size());
    EXPECT_EQ(kept.back(), Answer(7));
    EXPECT_TRUE(Strays().empty()) << Strays().front();
}

// Runs `action` in a child process as an ordinary user (when the test runs as root), its
// standard error read back; the child's exit code goes into `code`.
std::string AsUser(const std::function<int()>& action, int& code) {
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) {
        return "no pipe";
    }
    const pid_t child = fork();
    if (child == 0) {
        dup2(pipeEnds[1], STDERR_FILENO);
        close(pipeEnds[0]);
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) {
            _exit(99);
        }
        _exit(action());
    }
    close(pipeEnds[1]);
    std::string text;
    char buffer[256];
    for (ssize_t n; (n = read(pipeEnds[0], buffer, sizeof buffer)) > 0;) {
        text.append(buffer, static_cast<std::size_t>(n));
    }
    close(pipeEnds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return text;
}

// A history that cannot be kept costs the records and one line on standard error, nothing more.
TEST_F(HistoryOnDisk, WhatCannotBeKeptIsToldOnceAndCostsOnlyTheRecord) {
    HistoryFile(path_).Append(Answer(1));
    const std::string before = Content();
    // The folders are the user's own; here the file alone is closed to the ordinary user.
    for (const fs::path& folder : {dir_, dir_ / "state", dir_ / "state" / "velmora"}) {
        ASSERT_EQ(chmod(folder.c_str(), 0755), 0);
    }
    ASSERT_EQ(chmod(path_.c_str(), 0), 0);
    fs::create_directories(dir_ / "blocked");
    std::ofstream(dir_ / "blocked" / "file") << "not a folder";
    const struct {
        std::string path;
        const char* told;
    } cases[] = {
        {path_, "Permission denied"},
        {(dir_ / "blocked" / "file" / "velmora" / "history").string(), "Not a directory"},
        {(dir_ / "blocked" / "fifo").string(), "Invalid argument"},
        {"", "velmora: cannot keep the history: no home folder is known\n"},
    };
    ASSERT_EQ(mkfifo(cases[2].path.c_str(), 0666), 0);
    chmod(cases[2].path.c_str(), 0666);
    chmod((dir_ / "blocked").c_str(), 0777);
    for (const auto& c : cases) {
        int code = 0;
        const std::string told = AsUser(
            [&c] {
                HistoryFile history(c.path);
                history.Append(Answer(2));
                history.Append(Answer(3));
                return history.Load().empty() ? 0 : 1;
            },
            code);
        EXPECT_EQ(code, 0) << c.path;
        EXPECT_EQ(std::count(told.begin(), told.end(), '\n'), 1) << told;
        EXPECT_NE(told.find(c.told), std::string::npos) << told;
        EXPECT_NE(told.find(c.path), std::string::npos) << told;
    }
    chmod(path_.c_str(), 0600);
    EXPECT_EQ(Content(), before);
}

}  // namespace
}  // namespace velmora
