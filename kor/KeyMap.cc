#include "kor/KeyMap.h"

namespace KOR {

KeyMap KeyMap::identity() {
  KeyMap m;
  for (int i = 0; i < HALF; ++i) {
    m.entries_[static_cast<size_t>(i)] = i;
    m.entries_[static_cast<size_t>(HALF + i)] = i | IC_META_BIT;
  }
  return m;
}

namespace {

KeyMap make_main() {
  KeyMap m = KeyMap::identity();
  m.set(ctl('C'), IC_INT);
  m.set(ctl('D'), IC_TERM);
  m.set(ctl('H'), IC_BackSpace);
  m.set(ctl('J'), IC_EVAL);
  m.set(ctl('M'), IC_EVAL);
  m.set(ctl('R'), IC_REDRAW);
  m.set(ctl('Z'), IC_TSTP);
  m.set(28, IC_QUIT);   // Ctl-backslash
  m.set(IC_DEL, IC_Delete);
  m.set(menu_key('H'), IC_Help);
  const InputCode M = IC_META_BIT;
  m.set(M | ctl('C'), M | IC_INT);
  m.set(M | ctl('D'), M | IC_TERM);
  m.set(M | ctl('R'), M | IC_REDRAW);
  m.set(M | ctl('Z'), M | IC_TSTP);
  m.set(M | 28, M | IC_QUIT);
  m.set(M | ctl('H'), M | IC_BackSpace);
  m.set(M | ctl('J'), IC_NewLine);
  m.set(M | ctl('M'), IC_NewLine);
  m.set(M | ' ', IC_Insert);
  m.set(M | '0', fkey(10));
  for (int d = 1; d <= 9; ++d) m.set(M | ('0' + d), fkey(d));
  m.set(M | '>', IC_Local);
  m.set(M | '?', IC_Help);
  for (char c = 'A'; c <= 'Z'; ++c) {
    m.set(M | c, menu_key(c));
    m.set(M | (c + 32), menu_key(c));
  }
  m.set(M | IC_DEL, M | IC_Delete);
  m.set(M | IC_Up, IC_Home);
  m.set(M | IC_Down, IC_End);
  return m;
}

KeyMap make_view() {
  KeyMap m = make_main();
  m.set(' ', IC_PageDown);
  m.set('d', IC_PageDown);
  m.set('u', IC_PageUp);
  m.set('b', IC_ShiftUp);
  m.set('f', IC_ShiftDown);
  m.set('h', IC_Left);
  m.set('j', IC_Down);
  m.set('k', IC_Up);
  m.set('l', IC_Right);
  m.set('q', IC_INT);
  m.set('Q', IC_INT);
  return m;
}

} // namespace

const KeyMap &main_map() {
  static const KeyMap map = make_main();
  return map;
}

const KeyMap &view_map() {
  static const KeyMap map = make_view();
  return map;
}

} // namespace KOR
