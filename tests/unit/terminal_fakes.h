// Stand-ins for the terminal: a cell grid to draw on and a keyboard that
// plays a script of keys and bytes.
#pragma once

#include <deque>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "kor/KeyInput.h"
#include "kor/KeypadMap.h"
#include "kor/ScreenText.h"
#include "kor/SpecialKeys.h"
#include "kor/Surface.h"

namespace fake {

// A screen of cells that behaves like curses at its edges: a write in the
// last column wraps, and the bottom-right cell is written but refused.
class Grid : public KOR::Surface {
public:
  Grid(int rows, int cols)
      : rows_(rows), cols_(cols),
        cells_(static_cast<size_t>(rows), std::vector<KOR::Cell>(static_cast<size_t>(cols))) {
    clear_all();
  }

  void move(int row, int col) override {
    row_ = row;
    col_ = col;
  }
  bool add(unsigned char ch, int attrs) override {
    at(row_, col_) = {ch, attrs};
    if (++col_ < cols_) return true;
    col_ = 0;
    if (++row_ < rows_) return true;
    row_ = rows_ - 1;
    col_ = cols_ - 1;
    return false;
  }
  void insert(unsigned char ch, int attrs) override {
    auto &line = cells_[static_cast<size_t>(row_)];
    line.insert(line.begin() + col_, KOR::Cell{ch, attrs});
    line.pop_back();
  }
  void delete_char() override {
    auto &line = cells_[static_cast<size_t>(row_)];
    line.erase(line.begin() + col_);
    line.push_back(KOR::Cell{' ', 0});
  }
  void clear_eol() override {
    for (int c = col_; c < cols_; ++c) at(row_, c) = {' ', 0};
  }
  void clear_bottom() override {
    clear_eol();
    for (int r = row_ + 1; r < rows_; ++r)
      for (int c = 0; c < cols_; ++c) at(r, c) = {' ', 0};
  }
  void clear_all() override {
    for (auto &line : cells_)
      for (auto &cell : line) cell = {' ', 0};
    row_ = col_ = 0;
  }
  void cursor(int *row, int *col) const override {
    *row = row_;
    *col = col_;
  }
  void refresh() override { ++refreshes; }
  void beep() override { ++beeps; }

  KOR::Cell &at(int row, int col) {
    return cells_.at(static_cast<size_t>(row)).at(static_cast<size_t>(col));
  }
  std::string text(int row) const {
    std::string s;
    for (const auto &cell : cells_.at(static_cast<size_t>(row))) s += static_cast<char>(cell.ch);
    return s;
  }
  void fill(int row, char ch) {
    for (int c = 0; c < cols_; ++c) at(row, c) = {static_cast<unsigned char>(ch), 0};
  }

  int refreshes = 0;
  int beeps = 0;

private:
  int rows_, cols_;
  int row_ = 0, col_ = 0;
  std::vector<std::vector<KOR::Cell>> cells_;
};

// The number of a curses key by the name of its constant ("KEY_UP").
inline int curses_key(const std::string &name) {
  for (const KOR::NamedKey &k : KOR::curses_keypad_keys())
    if (k.name == name) return k.key;
  throw std::runtime_error("no curses key " + name);
}

// A keyboard that plays scripted curses keys (keypad mode) and bytes (raw
// mode); NONE in a script is a read that timed out, MARK one that runs
// `atMark` (another stage posting an event meanwhile) and then times out.  An exhausted script
// times out, and after many timeouts in a row reports the terminal gone, so
// that a decoder waiting for a key that never comes ends instead of hanging.
class Keys : public KOR::KeyInput {
public:
  Keys() {
    for (const KOR::NamedKey &k : KOR::curses_keypad_keys()) map_.add(k.key, k.code);
  }

  int get_key() override { return next(keys); }
  int read_byte() override { return next(bytes); }
  void set_wait(bool on) override { calls.push_back(on ? "wait off" : "wait on"); }
  void set_timeout(int tenths) override { calls.push_back("timeout " + std::to_string(tenths)); }
  const KOR::KeypadMap &keypad_map() const override { return map_; }
  const KOR::SpecialKeys &special_keys() const override { return special; }

  void type(const std::string &text) {
    for (unsigned char c : text) bytes.push_back(c);
  }
  void pause(int reads) {
    for (int i = 0; i < reads; ++i) bytes.push_back(NONE);
  }

  static constexpr int MARK = -100;
  std::function<void()> atMark;

  std::deque<int> keys;
  std::deque<int> bytes;
  std::vector<std::string> calls;   // set_wait and set_timeout, in order
  bool logReads = false;            // reads are logged in `calls` too
  KOR::SpecialKeys special = KOR::SpecialKeys::builtin();
  int reads = 0;

private:
  int next(std::deque<int> &script) {
    ++reads;
    if (logReads) calls.push_back("read");
    if (script.empty()) return ++idle_ > 1000 ? END : NONE;
    idle_ = 0;
    int v = script.front();
    script.pop_front();
    if (v != MARK) return v;
    if (atMark) atMark();
    return NONE;
  }
  KOR::KeypadMap map_;
  int idle_ = 0;
};

} // namespace fake
