// Feeds arbitrary settings files through the INI layer and the settings reader: whatever the
// file holds, reading it, saving the settings into it and reading again gives the same settings,
// and nothing crashes.

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <string>
#include <vector>

#include "platform/linux/IniProfileFile.h"
#include "sync/Settings.h"
#include "sync/TimeView.h"

namespace {

class NoView : public velmora::TimeView {
  public:
    void SetLocalTimeText(const std::string&) override {}
    void SetServerTimeText(const std::string&) override {}
    std::string ServerTimeText() const override { return ""; }
    void SetTimeCaptions(const std::string&, const std::string&) override {}
    void SetBusyCursor(bool) override {}
    void SetWindowMinimized() override {}
    void SetTimeStatus(const std::vector<std::string>&) override {}
    void ShowNotification(const std::string&, const std::string&) override {}
};

bool Same(const velmora::TSettings& a, const velmora::TSettings& b) {
    return a.GlobalAutorun == b.GlobalAutorun && a.GlobalMinimize == b.GlobalMinimize &&
           a.GlobalNextSrvOnFail == b.GlobalNextSrvOnFail &&
           a.GlobalTimeSrvList == b.GlobalTimeSrvList && a.UpdateClock == b.UpdateClock &&
           a.UpdateClockInterval == b.UpdateClockInterval &&
           a.UpdateClockHour == b.UpdateClockHour && a.DisplayLocalTime == b.DisplayLocalTime &&
           a.StepLimitSeconds == b.StepLimitSeconds;
}

velmora::TSettings Load(const velmora::ProfileFile& file) {
    velmora::TSettings settings;
    std::vector<std::string> servers;
    NoView view;
    // What reads as its default is told; here to nobody.
    std::ostream nowhere(nullptr);
    velmora::LoadSettings(settings, servers, file, view, nowhere);
    return settings;
}

std::string folder;

void RemoveFolder() {
    std::filesystem::remove_all(folder);
}

const std::string& FileName() {
    static const std::string name = [] {
        // On tmpfs the syncs of every save cost nothing.
        folder = "/dev/shm/velmora-fuzz-settings.XXXXXX";
        if (mkdtemp(folder.data()) == nullptr) {
            std::abort();
        }
        std::atexit(RemoveFolder);
        return folder + "/KXdefault.cfg";
    }();
    return name;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::ofstream(FileName(), std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    velmora::IniProfileFile file(FileName());
    const velmora::TSettings first = Load(file);
    velmora::SaveSettings(first, file);
    if (!Same(first, Load(file))) {
        std::abort();
    }
    return 0;
}
