// Text at the Win32 boundary: the program keeps UTF-8 inside and the wide
// (UTF-16) calls take and give UTF-16. Windows builds only.
#pragma once

#include <string>
#include <string_view>

// Bytes that are not UTF-8 become U+FFFD rather than failing the call.
std::wstring widen(std::string_view utf8);
std::string narrow(std::wstring_view utf16);
