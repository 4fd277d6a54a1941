// Input codes: keys and events in one stream, their printable names, and the
// keystroke trace format.  Shared by korsh and keytrace.
#pragma once

#include <cstdio>

namespace KOR {

using InputCode = int;

constexpr InputCode IC_MASK = 0x3fff;      // key or event number
constexpr InputCode IC_META_BIT = 0x4000;  // typed after the ESC prefix

enum : InputCode {
  IC_Null = 0,
  IC_ESC = 27,
  IC_DEL = 127,
  IC_META = 128,
  IC_EXT = 256,          // the ExtPrefix key; consumed by the decoder
  // Named special keys.
  IC_Up = 257, IC_Down, IC_Right, IC_Left,
  IC_ShiftUp = 261, IC_ShiftDown, IC_ShiftRight, IC_ShiftLeft,
  IC_PageUp = 265, IC_PageDown, IC_End, IC_Home,
  IC_BackSpace = 269, IC_Delete, IC_ShiftBackSpace, IC_ShiftDelete,
  IC_Insert = 273, IC_Help, IC_Clear, IC_NewLine, IC_Local,
  // Events.
  IC_EVAL = 278, IC_EOF, IC_INT, IC_TSTP, IC_QUIT, IC_TERM, IC_WINCH,
  IC_REDRAW = 285, IC_PULSE, IC_INPUT, IC_PROC, IC_COMP,
  // Function and menu keys.
  IC_F1 = 290,           // F1 to F10: 290 to 299
  IC_ShiftF1 = 300,      // Shift-F1 to Shift-F10: 300 to 309
  IC_MenuA = 310,        // Menu-A to Menu-Z: 310 to 335
  IC_LAST_KEY = 335,
  IC_NULL = 0x3fff,      // no key
};

constexpr InputCode ctl(char letter) { return letter - '@'; }
constexpr InputCode fkey(int n) { return IC_F1 + n - 1; }
constexpr InputCode menu_key(char letter) { return IC_MenuA + (letter - 'A'); }

// Printable name of a code ("Meta-'a'", "Ctl-M", "F10", "0x00c8").  The text
// lives in a static buffer that the next call overwrites.
const char *key_name(InputCode code);

// Reads one code from a trace file; -1 at the end (also after a record cut short).
int read_trace_code(FILE *in);

// Encodes one code as its one- or two-byte trace record.  Returns the length.
int encode_trace_code(InputCode code, unsigned char out[2]);

// write_trace_code, korsh's writer of these records, lives with the input
// decoder (InputCoder.h).

} // namespace KOR
