#include "sync/DateTimeText.h"

#include "platform/DateTimeFormat.h"

namespace velmora {

std::string DateTimeText(TDateTime value) {
    const DateTimeParts parts = DecodeDateTime(value);
    std::string text = LocalShortDate(value);
    if (parts.hour != 0 || parts.minute != 0 || parts.second != 0) {
        text += ' ';
        text += LocalLongTime(value);
    }
    return text;
}

}  // namespace velmora
