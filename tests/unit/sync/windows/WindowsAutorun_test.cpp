#include <gtest/gtest.h>

#include "tests/fixtures/FakeMainWindow.h"

namespace velmora {
namespace {

// The autorun value is the program's path as Windows gives it: either separator before the file
// name, a drive's root, a user's name beyond ASCII.
TEST(WindowsAutorun, TheValueIsTheProgramsOwnPath) {
    for (const char* path :
         {"C:\\Program Files\\Velmora\\velmora.exe", "D:/portable/velmora.exe", "C:\\velmora.exe",
          "C:\\Users\\\xc5\x81ukasz\\velmora.exe", "\\\\server\\share\\velmora.exe"}) {
        FakeMainWindow w;
        w.Program.Path = path;
        w.Controller.FormCreate();
        w.OptionsUser = [](OptionsValues& controls) {
            controls.Autorun = true;
            return true;
        };
        w.Controller.Options1Click();
        EXPECT_EQ(w.Autostart.Values["Velmora"], path);
    }
}

}  // namespace
}  // namespace velmora
