#include "ui/win32/GdiCanvas.h"

#include <cmath>
#include <cstdint>

#include "platform/windows/WideText.h"

namespace velmora {
namespace {

constexpr double kEpochSeconds = 11644473600.0;  // from 1601 to 1970
constexpr double kTicksPerSecond = 1e7;

FILETIME FileTimeOf(double seconds) {
    const auto ticks = static_cast<std::uint64_t>(std::llround((seconds + kEpochSeconds) * 1e7));
    return {static_cast<DWORD>(ticks & 0xFFFFFFFFu), static_cast<DWORD>(ticks >> 32)};
}

double SecondsOf(const FILETIME& time) {
    const std::uint64_t ticks =
        (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    return static_cast<double>(ticks) / kTicksPerSecond - kEpochSeconds;
}

bool LocalOf(double seconds, SYSTEMTIME& local) {
    const FILETIME utc = FileTimeOf(seconds);
    SYSTEMTIME universal{};
    return FileTimeToSystemTime(&utc, &universal) &&
           SystemTimeToTzSpecificLocalTime(nullptr, &universal, &local);
}

// The UTC seconds of local midnight on the day of `local`; `fallback` when Windows cannot say.
double MidnightOf(SYSTEMTIME local, double fallback) {
    local.wHour = local.wMinute = local.wSecond = local.wMilliseconds = 0;
    SYSTEMTIME universal{};
    FILETIME utc{};
    if (!TzSpecificLocalTimeToSystemTime(nullptr, &local, &universal) ||
        !SystemTimeToFileTime(&universal, &utc)) {
        return fallback;
    }
    return SecondsOf(utc);
}

}  // namespace

GdiTextMeasure::GdiTextMeasure(HDC dc) : dc_(dc) {
    GetTextMetricsW(dc_, &metrics_);
}

double GdiTextMeasure::Width(const std::string& text) const {
    const std::wstring wide = Widen(text);
    SIZE size{};
    GetTextExtentPoint32W(dc_, wide.c_str(), static_cast<int>(wide.size()), &size);
    return size.cx;
}

double WindowsLocalDays::StartOfDay(double seconds) const {
    SYSTEMTIME local{};
    const double utcMidnight = std::floor(seconds / 86400) * 86400;
    return LocalOf(seconds, local) ? MidnightOf(local, utcMidnight) : utcMidnight;
}

double WindowsLocalDays::DaysLater(double dayStart, int days) const {
    const double plain = dayStart + days * 86400.0;
    SYSTEMTIME local{};
    FILETIME day{};
    if (!LocalOf(dayStart, local) || !SystemTimeToFileTime(&local, &day)) {
        return plain;
    }
    // The local calendar counted as if it were UTC: whole days, whatever the zone does between.
    SYSTEMTIME later{};
    const FILETIME moved = FileTimeOf(SecondsOf(day) + days * 86400.0);
    return FileTimeToSystemTime(&moved, &later) ? MidnightOf(later, plain) : plain;
}

std::string LocalTimeText(double seconds, const wchar_t* datePicture, const wchar_t* timePicture) {
    SYSTEMTIME local{};
    if (!LocalOf(seconds, local)) {
        return "";
    }
    wchar_t date[128] = L"";
    wchar_t time[64] = L"";
    if (datePicture != nullptr) {
        GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, 0, &local, datePicture, date, 128, nullptr);
    }
    if (timePicture != nullptr) {
        GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, 0, &local, timePicture, time, 64);
    }
    const std::string joined = Narrow(date) + (*date != 0 && *time != 0 ? " " : "") + Narrow(time);
    return joined;
}

}  // namespace velmora
