#pragma once

#include <string>

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
};

}  // namespace velmora
