#include "summary/number_text.h"

#include <charconv>
#include <cmath>

std::string fixedText(double value, int decimals) {
  if (!std::isfinite(value)) return "-";
  // Enough room for the largest double in fixed notation.
  char text[400];
  const auto result =
      std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
  std::string out(text, result.ptr);
  // "-0.00" says nothing "0.00" does not.
  if (out.find_first_not_of("-0.") == std::string::npos && out.front() == '-') out.erase(0, 1);
  return out;
}

std::string jsonNumber(double value) {
  if (!std::isfinite(value)) return "null";
  char text[64];
  // Twelve digits: more than any instrument measures, fewer than the
  // binary noise of cos(60) and the like.
  const auto result =
      std::to_chars(text, text + sizeof text, value, std::chars_format::general, 12);
  return std::string(text, result.ptr);
}
