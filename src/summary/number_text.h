// Numbers as text for people and for JSON: always a point as the decimal
// sign, whatever the program's locale says.
#pragma once

#include <string>

// `decimals` places after the point; "-" for a value that is not finite.
std::string fixedText(double value, int decimals);
// `value` to twelve significant digits ("null" when not finite).
std::string jsonNumber(double value);
