// The number display record carried by every context and by the parser.
#pragma once

#include <cstdint>

namespace KOR {

struct DisplayFormat {
  enum Base : uint32_t { BIN = 0, DEC = 1, HEX = 2, OCT = 3 };
  enum Format : uint32_t { STD = 0, SCI = 1, FIX = 2, ENG = 3 };
  // flags
  static constexpr uint8_t XPREC = 1 << 0;        // extended precision mode
  static constexpr uint8_t DEGREES = 1 << 1;      // angles in degrees
  static constexpr uint8_t DEFAULT_BIT = 1 << 2;  // set by default; reserved
  static constexpr uint8_t RUN_ON_ERROR = 1 << 3; // queued lines run after a failure
  static constexpr uint8_t KEEP_FAILED = 1 << 5;  // failed processes stay listed
  static constexpr uint8_t EDIT_FORM = 1 << 6;    // print for re-reading
  static constexpr uint8_t KEEP_FORMAT = 1 << 7;  // edit form keeps the current format
  // flags2
  static constexpr uint8_t DECIMAL_COMMA = 1 << 0;
  static constexpr uint8_t SAVE_LAST = 1 << 1;    // instructions save their arguments
  static constexpr uint8_t UNDO = 1 << 2;         // copy the context before a program

  uint64_t mask = ~uint64_t(0);   // the low bintWS+1 bits
  uint8_t bintWS = 63;            // word size minus one
  uint8_t flags = DEFAULT_BIT;
  uint8_t flags2 = SAVE_LAST | UNDO;
  int8_t digits = 0;
  int8_t dmin = 12;
  int8_t dmax = 16;
  uint32_t base = HEX;
  uint32_t vecMode = 0;
  uint32_t format = STD;

  bool xprec() const { return flags & XPREC; }
  bool degrees() const { return flags & DEGREES; }
  bool editForm() const { return flags & EDIT_FORM; }
  bool decimalComma() const { return flags2 & DECIMAL_COMMA; }
  char decimalMark() const { return decimalComma() ? ',' : '.'; }
  unsigned wordSize() const { return bintWS + 1u; }

  // Word size n clamped to 1..64, with the mask to match.
  void setWordSize(long n);
  // The mode switch: doubles digits and widens dmin/dmax, or undoes it.
  void setXprec(bool on);
  // The consistency check used by traces; a broken field is fatal.
  void verify() const;
};
static_assert(sizeof(DisplayFormat) == 32 || sizeof(DisplayFormat) == 28);

} // namespace KOR
