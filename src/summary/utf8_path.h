// File names are UTF-8 inside the program; the standard library takes them
// as such on every platform through char8_t.
#pragma once

#include <filesystem>
#include <string>

inline std::filesystem::path utf8Path(const std::string& name) {
  return std::filesystem::path(std::u8string(name.begin(), name.end()));
}
