// Character classes of program text.  The item separator (the comma in point
// mode, the point in comma mode) is white space between tokens and a
// delimiter after them.
#pragma once

namespace KOR {

inline bool is_control_space(int c) { return c == 9 || c == 10 || c == 11 || c == 12 || c == 13; }

inline char item_separator(bool comma) { return comma ? '.' : ','; }

inline bool is_white(int c, bool comma) {
  return c == ' ' || is_control_space(c) || c == item_separator(comma);
}

inline bool is_delimiter(int c, bool comma) {
  switch (c) {
  case ' ': case '#': case '"': case '@': case '\'': case '(': case ')': case '{': case '}':
  case ';':
    return true;
  default:
    return is_control_space(c) || c == item_separator(comma);
  }
}

// A number ends at a delimiter, at "<" or ">", or at the end of its line or text.
inline bool ends_number(int c, bool comma) {
  return c < 0 || c == '\n' || c == '<' || c == '>' || is_delimiter(c, comma);
}

inline bool is_digit(int c) { return c >= '0' && c <= '9'; }

} // namespace KOR
