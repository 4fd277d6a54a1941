// How the menu labels share the label row: how many labels a screen width
// allows, the width of each label, the gaps between them, and the score
// that picks the count which leaves the labels most readable.  Pure
// arithmetic, used by the display (drawing) and the menus (paging).
#pragma once

#include <vector>

namespace KOR {

struct LabelBounds {
  int min, max;   // the fewest and the most labels a page may hold
};

// The label counts allowed for a screen of `width` columns.
LabelBounds label_bounds(int width);

struct LabelLayout {
  int count = 0;             // labels on the row
  int margin = 0;            // column of the first label number
  int separator = 1;         // blank columns between a label and the next number
  std::vector<int> widths;   // the text width of each label
  int score = 0;
};

// The layout of the first `count` labels whose text lengths are `lengths`
// (entries beyond the list count as empty) on `width` columns.
LabelLayout layout_labels(const std::vector<int> &lengths, int count, int width);

// The best layout among the allowed counts: the highest score, and the
// larger count when scores are equal.  `lengths` holds the labels of the
// page, at most the maximum count of them.
LabelLayout choose_labels(const std::vector<int> &lengths, int width);

} // namespace KOR
