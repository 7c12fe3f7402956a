// The save on the ways out that bypass the program's own end, in a child process each: Qt's last
// words before it ends the process (from a thread of its own, as its Wayland backend does), exit()
// as its X11 backend calls it, and both; never twice, and never once disarmed.

#include "app/qt/SaveAtExit.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <QTemporaryDir>
#include <QtGlobal>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>

namespace velmora {
namespace {

enum class WayOut { WaylandBroke, X11Broke, ExitOnly, OtherWarning, Disarmed };

struct EndCase {
    WayOut way;
    int saves;
};

void PrintTo(const EndCase& c, std::ostream* out) {
    *out << static_cast<int>(c.way);
}

// The file each save appends a line to: the test program makes it, and the children of its death
// tests (started afresh) find it through the environment.
std::string Marks() {
    static const std::string marks = [] {
        if (const char* given = std::getenv("VELMORA_SAVE_MARKS")) {
            return std::string(given);
        }
        static QTemporaryDir folder;
        const std::string path = folder.filePath("saves").toStdString();
        setenv("VELMORA_SAVE_MARKS", path.c_str(), 1);
        return path;
    }();
    return marks;
}

int SavesMade() {
    std::ifstream in(Marks());
    std::string line;
    int lines = 0;
    while (std::getline(in, line)) {
        ++lines;
    }
    return lines;
}

class SaveAtExitTest : public ::testing::TestWithParam<EndCase> {
  protected:
    void SetUp() override {
        GTEST_FLAG_SET(death_test_style, "threadsafe");
        unlink(Marks().c_str());
    }
};

// What the child does: arms the save, then ends the way `way` says.
[[noreturn]] void EndChild(WayOut way, const std::string& marks) {
    auto save = std::make_unique<SaveAtExit>([&marks] {
        const int fd = open(marks.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0600);
        [[maybe_unused]] const ssize_t n = write(fd, "saved\n", 6);
        close(fd);
    });
    switch (way) {
        case WayOut::WaylandBroke:
            std::thread([] {
                qWarning("The Wayland connection broke. Did the Wayland compositor die?");
                _exit(1);
            }).join();
            break;
        case WayOut::X11Broke:
            qWarning("The X11 connection broke (error 1). Did the X11 server die?");
            std::exit(1);
        case WayOut::ExitOnly:
            std::exit(1);
        case WayOut::OtherWarning:
            qWarning("QSocketNotifier: Invalid socket specified");
            _exit(1);
        case WayOut::Disarmed:
            save.reset();
            std::exit(1);
    }
    _exit(2);
}

TEST_P(SaveAtExitTest, SavesOnceOnEveryWayOutThatBypassesTheEnd) {
    EXPECT_EXIT(EndChild(GetParam().way, Marks()), ::testing::ExitedWithCode(1), "");
    EXPECT_EQ(SavesMade(), GetParam().saves);
}

INSTANTIATE_TEST_SUITE_P(WaysOut, SaveAtExitTest,
                         ::testing::Values(EndCase{WayOut::WaylandBroke, 1},
                                           EndCase{WayOut::X11Broke, 1},
                                           EndCase{WayOut::ExitOnly, 1},
                                           EndCase{WayOut::OtherWarning, 0},
                                           EndCase{WayOut::Disarmed, 0}));

TEST(SaveAtExitWords, OnlyTheWordsAfterWhichQtEndsTheProcess) {
    EXPECT_TRUE(SaveAtExit::EndsTheProcess(
        "The Wayland connection experienced a fatal error: Protocol error"));
    EXPECT_FALSE(SaveAtExit::EndsTheProcess("Wayland does not support QWindow::requestActivate()"));
}

}  // namespace
}  // namespace velmora
