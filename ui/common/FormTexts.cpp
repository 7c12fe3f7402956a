#include "ui/common/FormTexts.h"

#include <array>
#include <utility>

namespace velmora {

namespace {

template <std::size_t N>
std::string TextOf(const std::array<std::pair<const char*, const char*>, N>& texts,
                   const std::string& controlName) {
    for (const auto& [name, text] : texts) {
        if (controlName == name) {
            return text;
        }
    }
    return "";
}

}  // namespace

std::string StatusTextOf(const std::string& controlName) {
    static constexpr std::array<std::pair<const char*, const char*>, 7> kTexts = {{
        {"CheckTimeServerButton", "Get time information from the atomic clock..."},
        {"AdjustClockButton", "Adjust the computer clock..."},
        {"SpeedButton2", "Change properties of the program..."},
        {"SpeedButton3", "Display help about the program..."},
        {"SpeedButton1", "Exit the program..."},
        {"LocalPCEdit", "Current time of the computer clock..."},
        {"TimeServerEdit", "Time information retreived from the atomic clock..."},
    }};
    return TextOf(kTexts, controlName);
}

}  // namespace velmora
