// Text steps shared by the real and extended-real printers.
#pragma once

#include <string>

namespace KOR {

// Appends `count` zeros to the mantissa of a text with an "e" exponent.
std::string pad_mantissa(const std::string &text, int count);

// "1.5e+03" becomes "1.5E+3"; in engineering format the exponent is first
// brought to a multiple of three by moving the point right (padding the
// mantissa with zeros when it has too few digits, so the point never moves
// past its end).
std::string rewrite_exponent(const std::string &text, bool eng);

// Sets the decimal mark and, when `group`, separates the integer part in
// threes once it has four or more digits.
std::string mark_and_group(const std::string &text, bool comma, bool group);

// Drops the "0" before the point of a value below one: 0.5 -> .5, -0.25 -> -.25.
std::string drop_leading_zero(const std::string &text);

} // namespace KOR
