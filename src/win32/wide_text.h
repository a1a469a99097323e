// The model holds UTF-8; the Win32 calls take UTF-16.
#pragma once

#include <string>
#include <string_view>

namespace win32 {

std::wstring widen(std::string_view text);
std::string narrow(std::wstring_view text);

}  // namespace win32
