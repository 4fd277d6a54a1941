#include "kor/LabelLayout.h"

#include <algorithm>

namespace KOR {

LabelBounds label_bounds(int width) {
  int most = width / (width / 20 + 6);
  if (width <= 47) return {4, most};
  if (width <= 99) return {width / 12, most};
  if (width <= 120) return {width / 12, 10};
  return {10, 10};
}

namespace {

int length_of(const std::vector<int> &lengths, int i) {
  return static_cast<size_t>(i) < lengths.size() ? lengths[static_cast<size_t>(i)] : 0;
}

// Score of one label: a cut text costs most, a text that touches both
// edges of its box costs a little, a blank on either side earns a point.
int label_score(int width, int length) {
  int d = width - length;
  if (d < 0) return -2;
  if (d == 0) return -1;
  return d == 1 ? 0 : 1;
}

} // namespace

LabelLayout layout_labels(const std::vector<int> &lengths, int n, int width) {
  LabelLayout out;
  out.count = n;
  if (n < 1) return out;
  const int p = width / n, b = p - 2;
  int r = width + 1 - p * n;   // columns not yet given to any label
  std::vector<int> w(static_cast<size_t>(n)), s(static_cast<size_t>(n)), len(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i) {
    size_t k = static_cast<size_t>(i);
    len[k] = length_of(lengths, i);
    w[k] = b;
    s[k] = b - len[k];
    // An odd slack of 3 or more cannot centre: give a column back.
    if (len[k] == 0 || (s[k] >= 3 && s[k] % 2 != 0)) {
      s[k] -= 1;
      w[k] = p - 3;
      r += 1;
    }
  }
  // Widen the labels that do not fit, one column at a time, while room lasts.
  for (bool widened = true; r > 0 && widened;) {
    widened = false;
    for (size_t k = 0; k < w.size() && r > 0; ++k)
      if (s[k] < 0) ++s[k], ++w[k], --r, widened = true;
  }
  // Make odd slacks even so that the text centres exactly.
  for (size_t k = 0; k < w.size() && r > 0; ++k)
    if (len[k] > 0 && s[k] > 0 && s[k] % 2 != 0) ++s[k], ++w[k], --r;
  // Too little room for a gap between every pair: narrow roomy labels.
  const size_t gaps = static_cast<size_t>(n - 1);
  if (r < n - 1) {
    int e1 = 0, e2 = 0;
    for (size_t k = 0; k < gaps; ++k) {
      if (s[k] > 5 && w[k] == b) ++e1;
      if (s[k] > 5 && w[k] > b) ++e2;
    }
    if (e1 + r + 2 * e2 >= n - 1) {
      for (size_t k = 0; k < gaps && r < n - 1; ++k)
        if (s[k] > 5 && w[k] > b) w[k] -= 2, r += 2;
      for (size_t k = 0; k < gaps && r < n - 1; ++k)
        if (s[k] >= 6 && w[k] == b) w[k] = p - 3, r += 1;
    }
  }
  int q = n > 1 ? r / (n - 1) : 0;
  out.margin = n > 1 ? (r + 1 - q * (n - 1)) / 2 : (r + 1) / 2;
  out.separator = q + 1;
  out.score = out.separator > 1 ? 1 : 0;
  for (size_t k = 0; k < w.size(); ++k)
    if (len[k] > 0) out.score += label_score(w[k], len[k]);
  out.widths = std::move(w);
  return out;
}

LabelLayout choose_labels(const std::vector<int> &lengths, int width) {
  LabelBounds bounds = label_bounds(width);
  LabelLayout best;
  bool any = false;
  for (int n = bounds.min; n <= bounds.max; ++n) {
    LabelLayout l = layout_labels(lengths, n, width);
    if (!any || l.score >= best.score) best = std::move(l);
    any = true;
  }
  return best;
}

} // namespace KOR
