// The status bar: the stack header, the display modes, the busy indicator,
// the date and the clock, at columns that spread out on wider screens.
#include <algorithm>
#include <cstdio>

#include "kor/DisplayParts.h"

namespace KOR {

namespace {

// Columns of the fields on a screen of W columns; -1 where the field does
// not stand on that row.
struct StatusColumns {
  int marker, header, base, pulse, date, clock;   // row 0
  int xprec, format, angle, clock1;               // row 1 on narrow screens
  bool oneRow;
};

StatusColumns status_columns(int w) {
  StatusColumns c{};
  if (w >= 72) {
    int k = std::min((w - 72) / 7, 5), g = (w - 72 - 7 * k) / 2;
    c = {g, g + 1, g + k + 7, g + 4 * k + 33, g + 6 * k + 47, g + 7 * k + 65,
         g + 5 * k + 40, g + 2 * k + 15, g + 3 * k + 22, -1, true};
  } else {
    int k = std::min((w - 40) / 3, 5), g = (w - 40 - 3 * k) / 2;
    bool clockAbove = g > 7;
    c = {g + 1, g + 2, g + k + 8, g + 2 * k + 16, g + 3 * k + 23, clockAbove ? g + 3 * k + 41 : -1,
         g + 1, g + k + 8, g + 3 * k + 23, clockAbove ? -1 : g + 3 * k + 33, false};
  }
  return c;
}

class PieceList {
public:
  PieceList(std::vector<Piece> &out, bool colors) : out_(out), colors_(colors) {}
  // Appends text after the previous piece of the same field.
  PieceList &at(int row, int col) {
    row_ = row;
    col_ = col;
    return *this;
  }
  PieceList &put(const std::string &text, Role role) {
    out_.push_back({row_, col_, text, role_attr(role, colors_)});
    col_ += static_cast<int>(text.size());
    return *this;
  }

private:
  std::vector<Piece> &out_;
  bool colors_;
  int row_ = 0, col_ = 0;
};

std::string number_field(int n) {
  char text[16];
  std::snprintf(text, sizeof text, "%-2d", n);
  return text;
}

void header_field(PieceList &p, const StackHeader &h) {
  switch (h.kind) {
  case StackHeader::MAIN: p.put("MAIN", Role::Mode); break;
  case StackHeader::UNDO: p.put("UNDO", Role::Info); break;
  case StackHeader::PROCESS: {
    char digits[16];
    std::snprintf(digits, sizeof digits, "%03d", h.pid);
    p.put("#", Role::Process).put(digits, Role::Plain);
    break;
  }
  default: p.put("#", Role::Process).put("???", Role::Plain); break;
  }
}

void base_field(PieceList &p, const DisplayFormat &f) {
  static const char *const names[] = {"bin", "dec", "hex", "oct"};
  p.put(names[f.base & 3], Role::Mode)
      .put("-", Role::Separator)
      .put(number_field(static_cast<int>(f.wordSize())), Role::Mode);
}

void format_field(PieceList &p, const DisplayFormat &f) {
  static const char *const names[] = {"std", "sci", "fix", "eng"};
  if (f.format == DisplayFormat::STD && f.digits == 0) {
    p.put(" std", Role::Mode);
    return;
  }
  p.put(names[f.format & 3], Role::Mode).put("-", Role::Separator).put(number_field(f.digits), Role::Mode);
}

void angle_field(PieceList &p, const DisplayFormat &f) {
  static const char *const modes[] = {"rect ", "cylin", "spher"};
  p.put(f.degrees() ? "deg" : "rad", Role::Mode)
      .put("/", Role::Separator)
      .put(modes[f.vecMode <= 2 ? f.vecMode : 0], Role::Mode);
}

} // namespace

std::string date_text(const std::tm &t) {
  static const char *const days[] = {"Sunday", "Monday", "Tuesday", "Wednesday",
                                     "Thursday", "Friday", "Saturday"};
  static const char *const months[] = {"January", "February", "March", "April",
                                       "May", "June", "July", "August",
                                       "September", "October", "November", "December"};
  char year[16], text[48];
  std::snprintf(year, sizeof year, "%d", t.tm_year + 1900);
  std::snprintf(text, sizeof text, "%.3s, %.3s %2d, %.4s", days[((t.tm_wday % 7) + 7) % 7],
                months[((t.tm_mon % 12) + 12) % 12], t.tm_mday, year);
  return text;
}

std::string clock_text(const std::tm &t) {
  int hour = ((t.tm_hour % 24) + 24) % 24;
  char minutes[8], text[24];
  std::snprintf(minutes, sizeof minutes, "%02d", ((t.tm_min % 60) + 60) % 60);
  std::snprintf(text, sizeof text, "%2d:%.2s%s", hour % 12 == 0 ? 12 : hour % 12, minutes,
                hour >= 12 ? "pm" : "am");
  return text;
}

std::vector<Piece> status_pieces(const StatusInfo &info, int width, bool colors) {
  std::vector<Piece> out;
  PieceList p(out, colors);
  StatusColumns c = status_columns(width);
  const int lower = c.oneRow ? 0 : 1;
  if (info.marker) p.at(0, c.marker).put("*", Role::Error);
  header_field(p.at(0, c.header), info.header);
  base_field(p.at(0, c.base), info.format);
  format_field(p.at(lower, c.format), info.format);
  angle_field(p.at(lower, c.angle), info.format);
  if (info.format.xprec()) p.at(lower, c.xprec).put("xprec", Role::Mode);
  p.at(0, c.date).put(date_text(info.when), Role::Info);
  p.at(c.clock >= 0 ? 0 : 1, c.clock >= 0 ? c.clock : c.clock1).put(clock_text(info.when), Role::Info);
  return out;
}

int pulse_column(int width) { return status_columns(width).pulse; }

Piece marker_place(int width) { return {0, status_columns(width).marker, "", 0}; }

Piece date_place(int width) { return {0, status_columns(width).date, "", 0}; }

Piece clock_place(int width) {
  StatusColumns c = status_columns(width);
  return c.clock >= 0 ? Piece{0, c.clock, "", 0} : Piece{1, c.clock1, "", 0};
}

std::vector<Piece> pulse_pieces(const PulseValues &v, char busy, int col, bool colors) {
  Role bracket = v.s != 0 ? Role::Separator : Role::Plain;
  Role busyRole = v.s == 0 ? Role::Plain : v.s == 1 ? Role::Mode : v.s == 2 ? Role::Info : Role::Error;
  std::vector<Piece> out;
  auto put = [&](int i, char ch, Role role) {
    out.push_back({0, col + i, std::string(1, ch), role_attr(role, colors)});
  };
  put(0, v.b ? '[' : '(', bracket);
  put(1, v.a ? '(' : ' ', bracket);
  put(2, v.s == 0 ? ' ' : busy, busyRole);
  put(3, v.a ? ')' : ' ', bracket);
  put(4, v.b ? ']' : ')', bracket);
  return out;
}

} // namespace KOR
