// Saves one of two versions of a settings file after the other until it is killed:
// velmora_test_saver <file> <version A value> <version B value>.
#include <windows.h>

#include <cstdio>
#include <exception>
#include <string>

#include "platform/windows/WideText.h"
#include "platform/windows/WindowsProfileFile.h"

int wmain(int argc, wchar_t** argv) {
    if (argc != 4) {
        return 2;
    }
    velmora::WindowsProfileFile file(velmora::Narrow(argv[1]));
    const std::string versions[] = {velmora::Narrow(argv[2]), velmora::Narrow(argv[3])};
    try {
        for (unsigned i = 0;; ++i) {
            file.WriteStrings("Data",
                              {{"GlobalTimeSrvList", versions[i % 2]}, {"UpdateClock", "1"}});
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "saver: %s (%lu)\n", e.what(), GetLastError());
        return 1;
    }
}
