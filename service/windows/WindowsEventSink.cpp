#include "service/windows/WindowsEventSink.h"

#include <windows.h>

#include <cstdio>

#include "platform/windows/WideText.h"

namespace velmora {
namespace {

constexpr DWORD kEventText = 1;

WORD EventType(EventSink::Level level) {
    switch (level) {
        case EventSink::Level::Error:
            return EVENTLOG_ERROR_TYPE;
        case EventSink::Level::Warning:
            return EVENTLOG_WARNING_TYPE;
        case EventSink::Level::Information:
            break;
    }
    return EVENTLOG_INFORMATION_TYPE;
}

}  // namespace

WindowsEventSink::WindowsEventSink() : source_(RegisterEventSourceW(nullptr, L"Velmora")) {}

WindowsEventSink::~WindowsEventSink() {
    if (source_ != nullptr) {
        DeregisterEventSource(source_);
    }
}

void WindowsEventSink::Record(Level level, const std::string& text) {
    const std::wstring wide = Widen(text);
    const wchar_t* strings[] = {wide.c_str()};
    // Without a log to write to, the record still shows where the service was started by hand.
    if (source_ == nullptr ||
        !ReportEventW(source_, EventType(level), 0, kEventText, nullptr, 1, 0, strings, nullptr)) {
        std::fprintf(stderr, "Velmora: %s\n", text.c_str());
    }
}

}  // namespace velmora
