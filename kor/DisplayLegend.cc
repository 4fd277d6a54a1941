// The menu legend: the letters that select a menu with Menu-letter, on the
// bottom rows, in three layouts by screen width.
#include <algorithm>

#include "kor/DisplayParts.h"

namespace KOR {

const std::vector<LegendItem> &legend_items() {
  static const std::vector<LegendItem> items = {
      {'A', "Arry", "Array"}, {'B', "Bin", "Binary"},  {'C', "Cmpx", "Complex"}, {'E', "Edit", "Edit"},
      {'H', "Hlp", "Help"},   {'I', "List", "List"},   {'L', "Log", "Logs"},     {'M', "Mem", "Mem"},
      {'N', "NMth", "NuMath"}, {'O', "Opts", "Option"}, {'P', "Ps", "Process"},  {'R', "Real", "Real"},
      {'F', "SpFn", "SpecFn"}, {'S', "Stk", "Stack"},   {'Q', "Stat", "Stat"},   {'T', "Trig", "Trig"},
      {'U', "Usr", "User"},   {'V', "Var", "Vars"},
  };
  return items;
}

namespace {

struct LegendLayout {
  int perRow, firstRow;   // items per row and the row of the first item
  const int *base;        // base column of each place in a row
  int step, margin;       // extra columns per place, and the shift of the whole legend
  bool longNames;
};

LegendLayout legend_layout(int rows, int w) {
  static const int narrow[] = {1, 8, 14, 21, 28, 34};
  static const int middle[] = {1, 8, 14, 21, 28, 34, 41, 48, 54};
  static const int wide[] = {0, 9, 19, 29, 38, 47, 55, 63, 71};
  if (w < 60) {
    int c = (w - 40) / 5;
    return {6, rows - 3, narrow, c, ((w - 40) - 5 * c) / 2, false};
  }
  if (w <= 78) {
    int c = (w - 60) / 8;
    return {9, rows - 2, middle, c, ((w - 60) - 8 * c) / 2, false};
  }
  int c = std::min((w - 79) / 8, 5);
  int spread = w >= 119 ? 39 : 8 * c - 1;
  return {9, rows - 2, wide, c, ((w - 79) - spread) / 2, true};
}

} // namespace

std::vector<Piece> legend_pieces(int rows, int width, bool partial, bool colors) {
  const LegendLayout l = legend_layout(rows, width);
  const std::vector<LegendItem> &items = legend_items();
  // Only the narrow layout uses row R - 3, which it shares with messages.
  size_t count = !partial ? items.size() : l.perRow == 6 ? 6 : 0;
  std::vector<Piece> out;
  for (size_t i = 0; i < count; ++i) {
    int place = static_cast<int>(i) % l.perRow;
    int row = l.firstRow + static_cast<int>(i) / l.perRow;
    int col = place * l.step + l.base[place] + l.margin;
    const LegendItem &item = items[i];
    out.push_back({row, col, std::string(1, item.letter), role_attr(Role::Legend, colors)});
    std::string rest = std::string(l.longNames ? " " : "-") + (l.longNames ? item.longName : item.shortName);
    out.push_back({row, col + 1, rest, role_attr(Role::Plain, colors)});
  }
  return out;
}

} // namespace KOR
