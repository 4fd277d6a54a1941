// A full screen on a cell grid: the display active on a fake surface, the
// input decoder reading scripted keys as from an interactive terminal, and
// everything put back afterwards so that other tests see a batch shell.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "kor/Context.h"
#include "kor/Display.h"
#include "kor/Editor.h"
#include "kor/InputCoder.h"
#include "kor/KeyMap.h"
#include "kor/Menu.h"
#include "kor/Terminal.h"
#include "unit/terminal_fakes.h"

namespace screen {

class ScreenTest : public testing::Test {
protected:
  void SetUp() override {
    OP::build_menus();
    KOR::InputCoder &ic = KOR::coder();
    saved_ = {ic.ttyInput, ic.ttyOutput, ic.inputFd, ic.readStdin};
    ic.ttyInput = true;
    ic.inputFd = 0;
    ic.readStdin = false;
    ic.attach_keys(&keys);
    drain();
    KOR::main_context().main.clear();
    KOR::Display &d = KOR::display();
    d.mainHint = d.editHint = 0;
    d.color = false;
    d.active = true;
    screen(24, 80);
  }

  void TearDown() override {
    KOR::Display &d = KOR::display();
    d.clear_errors();
    d.resize_to(KOR::ScreenSize{false, 24, 80});
    d.active = false;
    KOR::terminal().attach_surface(nullptr);
    KOR::InputCoder &ic = KOR::coder();
    ic.attach_keys(nullptr);
    ic.ttyInput = saved_.ttyInput;
    ic.ttyOutput = saved_.ttyOutput;
    ic.inputFd = saved_.inputFd;
    ic.readStdin = saved_.readStdin;
    drain();
    KOR::main_context().main.clear();
    OP::default_menu().entries = nullptr;
    OP::default_menu().pageStart = 0;
  }

  // A new screen size: a fresh grid and the display's geometry.
  void screen(int rows, int cols) {
    grid = std::make_unique<fake::Grid>(rows, cols);
    KOR::terminal().attach_surface(grid.get());
    KOR::display().set_geom(rows, cols, 0, 0);
  }

  static void drain() {
    KOR::InputCode c;
    while (KOR::coder().take_event(&c)) {}
  }

  // A row of the screen without trailing blanks.
  std::string row(int r) const {
    std::string s = grid->text(r);
    s.erase(s.find_last_not_of(' ') + 1);
    return s;
  }
  int attr(int r, int c) const { return grid->at(r, c).attrs; }

  // Keys through the editor's own dispatch; the result of the last one.
  KOR::Editor::Result key(KOR::Editor &ed, KOR::InputCode code, KOR::InputCode *end = nullptr) {
    KOR::InputCode ignored = KOR::IC_NULL;
    return ed.handle_key(code, KOR::main_map(), nullptr, end ? end : &ignored);
  }
  KOR::Editor::Result type(KOR::Editor &ed, const std::string &text, KOR::InputCode *end = nullptr) {
    KOR::Editor::Result r = KOR::Editor::HANDLED;
    for (unsigned char c : text) r = key(ed, c, end);
    return r;
  }

  std::unique_ptr<fake::Grid> grid;
  fake::Keys keys;

private:
  struct Saved {
    bool ttyInput, ttyOutput;
    int inputFd;
    bool readStdin;
  } saved_{};
};

} // namespace screen
