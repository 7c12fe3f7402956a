#pragma once

#include <string>
#include <vector>

namespace velmora {

// The display operations the controller calls on the main window.
class TimeView {
  public:
    virtual ~TimeView() = default;
    virtual void SetLocalTimeText(const std::string& text) = 0;
    virtual void SetServerTimeText(const std::string& text) = 0;
    virtual std::string ServerTimeText() const = 0;
    virtual void SetTimeCaptions(const std::string& localCaption,
                                 const std::string& serverCaption) = 0;
    virtual void SetBusyCursor(bool on) = 0;
    virtual void SetWindowMinimized() = 0;
    // What the time shown is worth, one line each (sync/SyncStatus), for the tooltips.
    virtual void SetTimeStatus(const std::vector<std::string>& lines) = 0;
    // A desktop notification, for what the user should hear of without a window in the way.
    virtual void ShowNotification(const std::string& title, const std::string& text) = 0;
};

}  // namespace velmora
