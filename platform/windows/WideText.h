#pragma once

#include <string>

namespace velmora {

// UTF-8 inside the program, UTF-16 at every Windows call: names such as "Jürgen" or "Łukasz"
// survive whatever the ANSI code page. Bytes that are not UTF-8 become U+FFFD.
std::wstring Widen(const std::string& text);
std::string Narrow(const std::wstring& text);
std::string Narrow(const wchar_t* text);

}  // namespace velmora
