#include "kor/NumberText.h"

#include <cstdio>
#include <cstdlib>

namespace KOR {

std::string pad_mantissa(const std::string &text, int count) {
  size_t e = text.find('e');
  return text.substr(0, e) + std::string(static_cast<size_t>(count), '0') + text.substr(e);
}

std::string rewrite_exponent(const std::string &text, bool eng) {
  size_t e = text.find('e');
  if (e == std::string::npos) return text;
  std::string mant = text.substr(0, e);
  int exp = std::atoi(text.c_str() + e + 1);
  if (eng) {
    int shift = ((exp % 3) + 3) % 3;
    if (shift) {
      size_t point = mant.find('.');
      if (point == std::string::npos) point = mant.size();
      std::string after = point < mant.size() ? mant.substr(point + 1) : "";
      while (static_cast<int>(after.size()) < shift) after += '0';
      std::string moved = mant.substr(0, point) + after.substr(0, static_cast<size_t>(shift));
      std::string rest = after.substr(static_cast<size_t>(shift));
      mant = rest.empty() ? moved : moved + "." + rest;
      exp -= shift;
    }
  }
  char tail[16];
  std::snprintf(tail, sizeof tail, "E%+d", exp);
  return mant + tail;
}

std::string mark_and_group(const std::string &text, bool comma, bool group) {
  char mark = comma ? ',' : '.';
  char sep = comma ? '.' : ',';
  size_t start = (text[0] == '-' || text[0] == '+') ? 1 : 0;
  size_t end = text.find_first_not_of("0123456789", start);
  if (end == std::string::npos) end = text.size();
  size_t count = end - start;
  std::string out = text.substr(0, start);
  for (size_t i = start; i < end; ++i) {
    out += text[i];
    size_t left = end - i - 1;
    if (group && count >= 4 && left > 0 && left % 3 == 0) out += sep;
  }
  for (size_t i = end; i < text.size(); ++i) out += text[i] == '.' ? mark : text[i];
  return out;
}

std::string drop_leading_zero(const std::string &text) {
  size_t z = text[0] == '-' ? 1 : 0;
  if (text.compare(z, 2, "0.") != 0) return text;
  return text.substr(0, z) + text.substr(z + 1);
}

} // namespace KOR
