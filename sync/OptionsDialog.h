#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace velmora {

// The settings the options dialog shows and gives back, as values.
struct OptionsValues {
    bool MinimizeOnStart = false;
    bool Autorun = false;
    bool TryNextServer = false;
    // "|"-separated, as the settings keep it.
    std::string ServerList;
    bool PeriodicSync = false;
    bool IntervalInHours = true;
    // The interval as the user typed it: the dialog checks it only while PeriodicSync is on.
    std::string IntervalText;
    bool DisplayLocalTime = false;
    // Set where the server list, the period and "synchronize every" are the machine's and this
    // user may not change them: why, in one line. The dialog shows them, read-only.
    std::string MachineOwnedReason;

    bool operator==(const OptionsValues&) const = default;
};

// What the options command needs of the options dialog, and nothing more.
class OptionsDialog {
  public:
    virtual ~OptionsDialog() = default;

    // Shows `shown` and runs the modal loop until the dialog closes: the values confirmed with
    // OK, or nothing when the user left it any other way.
    virtual std::optional<OptionsValues> Edit(const OptionsValues& shown) = 0;
};

using OptionsDialogFactory = std::function<std::unique_ptr<OptionsDialog>()>;

}  // namespace velmora
