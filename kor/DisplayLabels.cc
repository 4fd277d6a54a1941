// The menu label row: the labels of the current page with their key
// numbers, laid out by the label score.
#include "kor/Display.h"
#include "kor/DisplayParts.h"
#include "kor/Menu.h"
#include "kor/Terminal.h"

namespace KOR {

std::vector<Piece> label_pieces(const LabelLayout &layout, const std::vector<std::string> &labels,
                                int row, int width, bool colors) {
  std::vector<Piece> out;
  int x = layout.margin;
  for (int i = 0; i < layout.count && x < width; ++i) {
    const size_t k = static_cast<size_t>(i);
    const int w = layout.widths[k];
    std::string text = k < labels.size() ? labels[k] : "";
    if (static_cast<int>(text.size()) > w) text.resize(static_cast<size_t>(w > 0 ? w : 0));
    const int spare = w - static_cast<int>(text.size());
    const int right = spare / 2, left = spare - right;   // the larger half on the left
    out.push_back({row, x, std::string(1, i == 9 ? '0' : static_cast<char>('1' + i)),
                   role_attr(Role::Info, colors)});
    if (w > 0)
      out.push_back({row, x + 1,
                     std::string(static_cast<size_t>(left), ' ') + text +
                         std::string(static_cast<size_t>(right), ' '),
                     role_attr(Role::Label, colors)});
    x += w + 1 + layout.separator;
  }
  return out;
}

void Display::show_labels(OP::Menu &menu, bool draw) {
  const int width = geom().cols;
  const LabelBounds bounds = label_bounds(width);
  std::vector<std::string> labels;
  std::vector<int> lengths;
  for (size_t i = menu.pageStart; i < menu.size() && labels.size() < static_cast<size_t>(bounds.max); ++i) {
    labels.push_back(OP::entry_label((*menu.entries)[i]));
    lengths.push_back(static_cast<int>(labels.back().size()));
  }
  const LabelLayout layout = choose_labels(lengths, width);
  menu.pageSize = layout.count;
  if (!draw || !drawing()) return;
  const int row = geom().label_row();
  clear_row(row);
  draw_pieces(label_pieces(layout, labels, row, width, color));
  terminal().refresh();
}

} // namespace KOR
