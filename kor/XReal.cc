#include "kor/XReal.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "fathom/xdecimal.h"
#include "kor/Buffer.h"
#include "kor/DisplayFormat.h"
#include "kor/NumberText.h"
#include "kor/Real.h"
#include "kor/TextWriter.h"
#include "kor/Tokenizer.h"
#include "kor/charsets.h"

namespace OBJ {

using KOR::DisplayFormat;
namespace fm = fathom;

// ---- Operands ---------------------------------------------------------------

Operand *XReal::clone(OperandPool *pool) const {
  XReal *x = make<XReal>(pool);
  x->num = num;
  return x;
}

bool XReal::equals(const Operand &other) const {
  return other.type_ == XREAL && fm::compare(num, static_cast<const XReal &>(other).num) == 0;
}

unsigned XReal::print(Buffer &buf, const DisplayFormat &fmt, unsigned minWidth, unsigned maxWidth,
                      bool, bool insert) const {
  TextWriter w(buf, maxWidth, insert);
  w.put(format_xreal(num, fmt));
  return w.finish(minWidth);
}

Operand *XReal::convert(uint32_t tag, OperandPool *pool) const {
  switch (tag) {
  case XREAL: return clone(pool);
  case REAL: { Real *r = make<Real>(pool); r->num = fm::toDouble(num); return r; }
  case BINARY: { Binary *b = make<Binary>(pool); b->bits = xreal_to_binary(num); return b; }
  case COMPLEX: {
    Complex *c = make<Complex>(pool);
    c->re = fm::toDouble(num);
    c->im = 0.0;
    return c;
  }
  case XCOMPLEX: {
    XComplex *c = make<XComplex>(pool);
    c->re = num;
    c->im = fm::zero();
    return c;
  }
  default: return nullptr;
  }
}

Operand *XComplex::clone(OperandPool *pool) const {
  XComplex *c = make<XComplex>(pool);
  c->re = re;
  c->im = im;
  return c;
}

bool XComplex::equals(const Operand &other) const {
  if (other.type_ != XCOMPLEX) return false;
  const XComplex &o = static_cast<const XComplex &>(other);
  return fm::compare(re, o.re) == 0 && fm::compare(im, o.im) == 0;
}

Operand *XComplex::convert(uint32_t tag, OperandPool *pool) const {
  if (tag == XCOMPLEX) return clone(pool);
  if (tag != COMPLEX) return nullptr;
  Complex *c = make<Complex>(pool);
  c->re = fm::toDouble(re);
  c->im = fm::toDouble(im);
  return c;
}

unsigned XComplex::print(Buffer &buf, const DisplayFormat &fmt, unsigned minWidth,
                         unsigned maxWidth, bool, bool insert) const {
  // The parts are printed without their own "x"; one "x" follows the pair.
  DisplayFormat part = fmt;
  if (!fmt.xprec()) {
    part.flags |= DisplayFormat::XPREC;
    part.digits = static_cast<int8_t>(part.digits * 2);
    part.dmin = static_cast<int8_t>(part.dmin * 2);
    part.dmax = static_cast<int8_t>(part.dmax * 2);
  }
  TextWriter w(buf, maxWidth, insert);
  w.put('(');
  w.put(format_xreal(re, part));
  w.put(fmt.decimalComma() ? ". " : ", ");
  w.put(format_xreal(im, part));
  w.put(')');
  if (!fmt.xprec()) w.put('x');
  return w.finish(minWidth);
}

// ---- Conversions --------------------------------------------------------------

uint64_t xreal_to_binary(XRealValue x) {
  if (!fm::isFinite(x) || fm::signBit(x) || fm::isZero(x)) return 0;
  int e = static_cast<int>(x.w0 - fm::XR_BIAS);   // x = 1.f * 2^e
  if (e < 0) return 0;
  if (e >= 64) return ~uint64_t(0);
  uint64_t top = (uint64_t(x.w5 & 0x7fffffff) << 32) | x.w4;   // the 63 fraction bits after the 1
  uint64_t significand = (uint64_t(1) << 63) | top;
  return significand >> (63 - e);
}

XRealValue binary_to_xreal(uint64_t b) { return fm::fromUint64(b); }

// ---- Printing -----------------------------------------------------------------

namespace {

constexpr int MAX_DIGITS = 40;

// "d.ddde+N" with `decimals` digits after the point (as printf's %.*e).
std::string e_text(XRealValue x, int decimals) {
  char d[MAX_DIGITS + 2];
  int e = 0;
  int count = decimals + 1 > MAX_DIGITS ? MAX_DIGITS : decimals + 1;
  fm::toDigits(x, count, d, &e);
  std::string t = fm::signBit(x) ? "-" : "";
  t += d[0];
  if (count > 1) t += std::string(".") + (d + 1);
  char tail[16];
  std::snprintf(tail, sizeof tail, "e%+d", e);
  return t + tail;
}

bool reads_back_exactly(const std::string &text, XRealValue x) {
  return fm::compare(fm::strtox(text.c_str(), nullptr), x) == 0;
}

// Significant-digit form: positional near unity, else mantissa and exponent.
std::string sig_text(XRealValue x, int count, bool edit) {
  char d[MAX_DIGITS + 2];
  int e = 0;
  fm::toDigits(x, count, d, &e);
  size_t nd = std::strlen(d);
  while (nd > 1 && d[nd - 1] == '0') d[--nd] = '\0';
  std::string sign = fm::signBit(x) ? "-" : "";
  int limit = count >= 16 ? 15 : count;
  if (e >= -4 && e < limit) {
    std::string digits(d);
    std::string text;
    if (e >= 0) {
      size_t intLen = static_cast<size_t>(e) + 1;
      if (digits.size() < intLen) digits.append(intLen - digits.size(), '0');
      text = digits.substr(0, intLen);
      if (digits.size() > intLen) text += "." + digits.substr(intLen);
    } else {
      text = "0." + std::string(static_cast<size_t>(-e - 1), '0') + digits;
      if (!edit) text.erase(0, 1);
    }
    return sign + text;
  }
  std::string text = sign + d[0];
  if (nd > 1) text += std::string(".") + (d + 1);
  char tail[16];
  std::snprintf(tail, sizeof tail, "e%+d", e);
  return text + tail;
}

std::string std_text(XRealValue x, int digits, int dmin, int dmax, bool edit) {
  if (digits > 0) return sig_text(x, digits > MAX_DIGITS ? MAX_DIGITS : digits, edit);
  std::string t = sig_text(x, dmin < 1 ? 1 : (dmin > MAX_DIGITS ? MAX_DIGITS : dmin), edit);
  static const XRealValue tolerance = fm::strtox("1e-37", nullptr);
  XRealValue back = fm::strtox(t.c_str(), nullptr);
  if (fm::fabs(back - x) > fm::fabs(x) * tolerance)
    t = sig_text(x, dmax < 1 ? 1 : (dmax > MAX_DIGITS ? MAX_DIGITS : dmax), edit);
  return t;
}

std::string sci_text(XRealValue x, int digits) {
  if (digits > 38) {
    std::string t = e_text(x, 37);
    if (reads_back_exactly(t, x)) return KOR::pad_mantissa(t, digits - 37);
  }
  return e_text(x, digits);
}

// Fixed notation with `decimals` digits after the point, "%#.*f"-style.
std::string f_text(XRealValue x, int decimals) {
  char out[200];
  fm::formatF(out, sizeof out, x, decimals);
  std::string t = out;
  if (decimals == 0 && t.find('.') == std::string::npos) t += '.';
  return t;
}

std::string fix_text(XRealValue x, int digits) {
  if (fm::isZero(x)) return f_text(x, digits);   // zero keeps the fixed form
  int binexp = static_cast<int>(x.w0 - fm::XR_BIAS);
  int e10 = static_cast<int>(std::floor(0.3010299956639812 * binexp - 0.1));
  int n = std::min(digits, 39 - e10);
  static const XRealValue limit = fm::strtox("1e40", nullptr);
  XRealValue mag = fm::fabs(x);
  if (n < 0 && mag < limit) n = 0;
  if (n < 0) return sci_text(x, digits);
  XRealValue half = fm::strtox(("0.5e-" + std::to_string(n)).c_str(), nullptr);
  if (!(mag > half)) return sci_text(x, digits);
  if (n > 2) {
    std::string t = f_text(x, n - 2);
    if (reads_back_exactly(t, x)) return t + "00";
  }
  return f_text(x, n);
}

} // namespace

std::string format_xreal(XRealValue x, const DisplayFormat &fmt) {
  int digits = fmt.digits, dmin = fmt.dmin, dmax = fmt.dmax;
  uint32_t format = fmt.format;
  if (!fmt.xprec()) {
    digits *= 2;
    dmin = dmin * 2 + 4;
    dmax = dmax * 2 + 2;
  }
  bool edit = fmt.editForm();
  if (edit && !(fmt.flags & DisplayFormat::KEEP_FORMAT)) {
    digits = 40;
    format = DisplayFormat::STD;
  } else if (digits > 39) {
    digits = format == DisplayFormat::STD ? 40 : 39;
  }
  std::string text;
  if (fm::isNaN(x)) {
    text = "NaN";
  } else if (fm::isInf(x)) {
    text = fm::signBit(x) ? "-Infinity" : "Infinity";
  } else if (fm::isZero(x) && format == DisplayFormat::STD) {
    text = fm::signBit(x) ? "-0" : "0";
  } else {
    switch (format) {
    case DisplayFormat::STD: text = std_text(x, digits, dmin, dmax, edit); break;
    case DisplayFormat::FIX: text = fix_text(x, digits); break;
    default: text = fm::isZero(x) ? std::string(fm::signBit(x) ? "-" : "") + "0." +
                                        std::string(static_cast<size_t>(digits), '0') + "e+00"
                                  : sci_text(x, digits);
    }
    if (format == DisplayFormat::FIX && !edit && !fm::isZero(x) && fm::fabs(x) < fm::fromDouble(1.0))
      text = KOR::drop_leading_zero(text);
    bool hasExponent = text.find('e') != std::string::npos;
    text = KOR::rewrite_exponent(text, format == DisplayFormat::ENG);
    text = KOR::mark_and_group(text, fmt.decimalComma(), !edit && !hasExponent);
  }
  if (!fmt.xprec()) text += 'x';
  return text;
}

// ---- Scanners -----------------------------------------------------------------

namespace {

size_t decimal_extent(const Buffer &buf, char mark) {
  size_t i = 0;
  int c = buf.ch_at(0);
  if (c == '+' || c == '-') ++i;
  while (KOR::is_digit(buf.ch_at(i))) ++i;
  if (buf.ch_at(i) == mark) {
    ++i;
    while (KOR::is_digit(buf.ch_at(i))) ++i;
  }
  c = buf.ch_at(i);
  if (c == 'e' || c == 'E') {
    size_t j = i + 1;
    if (buf.ch_at(j) == '+' || buf.ch_at(j) == '-') ++j;
    if (KOR::is_digit(buf.ch_at(j))) {
      while (KOR::is_digit(buf.ch_at(j))) ++j;
      i = j;
    }
  }
  return i;
}

Operand *fail(Buffer &buf, uint32_t status, bool comma) {
  while (!KOR::ends_number(buf.ch(), comma)) buf.advance();
  buf.status = status;
  return nullptr;
}

} // namespace

Operand *scan_xreal(Buffer &buf, const DisplayFormat &fmt, OperandPool *pool) {
  bool comma = fmt.decimalComma();
  char mark = fmt.decimalMark();
  int c = buf.ch();
  int first = (c == '+' || c == '-') ? buf.ch_at(1) : c;
  if (!(KOR::is_digit(first) || first == mark)) { buf.status = 3; return nullptr; }
  size_t len = decimal_extent(buf, mark);
  std::string literal;
  bool pointSeen = false;
  for (size_t i = 0; i < len; ++i) {
    char ch = static_cast<char>(buf.ch_at(i));
    if (ch == mark && !pointSeen) { ch = '.'; pointSeen = true; }
    literal += ch;
  }
  const char *end = nullptr;
  XRealValue v = fm::strtox(literal.c_str(), &end);
  size_t used = static_cast<size_t>(end - literal.c_str());
  if (used == 0 || used < len) return fail(buf, 7, comma);
  size_t consumed = len;
  if (buf.ch_at(consumed) == 'x' || buf.ch_at(consumed) == 'X') ++consumed;
  if (!KOR::ends_number(buf.ch_at(consumed), comma)) return fail(buf, 7, comma);
  for (size_t i = 0; i < consumed; ++i) buf.advance();
  XReal *x = make<XReal>(pool);
  x->num = v;
  buf.status = 0;
  return x;
}

namespace {

// Reads one part of a complex literal: a Real or an XReal, or null.
Operand *complex_part(Buffer &buf, const DisplayFormat &fmt, OperandPool *pool) {
  bool comma = fmt.decimalComma();
  while (KOR::is_white(buf.ch(), comma)) buf.advance();
  int c = buf.ch();
  if (c < 0 || c == ')' || c == ';') return nullptr;
  Operand *op = next(buf, fmt, pool);
  if (op && op->type_ != REAL && op->type_ != XREAL) {
    dispose(op, pool);
    return nullptr;
  }
  return op;
}

// The format the parts are read in: a suffix after the closing parenthesis
// selects double ("r") or extended ("x") precision.
DisplayFormat part_format(const Buffer &buf, const DisplayFormat &fmt) {
  DisplayFormat part = fmt;
  for (size_t i = 1;; ++i) {
    int c = buf.ch_at(i);
    if (c < 0) break;
    if (c != ')') continue;
    int s = buf.ch_at(i + 1);
    if (s == 'r' || s == 'R') part.flags &= static_cast<uint8_t>(~DisplayFormat::XPREC);
    if (s == 'x' || s == 'X') part.flags |= DisplayFormat::XPREC;
    break;
  }
  return part;
}

XRealValue widen(const Operand *op) {
  return op->type_ == XREAL ? static_cast<const XReal *>(op)->num
                            : fm::fromDouble(static_cast<const Real *>(op)->num);
}

} // namespace

Operand *scan_complex(Buffer &buf, const DisplayFormat &fmt, OperandPool *pool) {
  if (buf.ch() != '(') { buf.status = 3; return nullptr; }
  DisplayFormat part = part_format(buf, fmt);
  bool comma = fmt.decimalComma();
  Buffer::LineIt startLine = buf.line;
  size_t startCol = buf.col;
  buf.advance();
  Operand *re = complex_part(buf, part, pool);
  Operand *im = re ? complex_part(buf, part, pool) : nullptr;
  if (im)
    while (KOR::is_white(buf.ch(), comma)) buf.advance();
  if (!re || !im || (buf.ch() != ')' && buf.ch() != ';')) {
    if (re) dispose(re, pool);
    if (im) dispose(im, pool);
    buf.prevLine = startLine;   // the whole literal is the offending token
    buf.prevCol = startCol;
    buf.status = 6;
    return nullptr;
  }
  buf.advance();
  int s = buf.ch();
  if (s == 'r' || s == 'R' || s == 'x' || s == 'X') buf.advance();
  Operand *result;
  if (re->type_ == REAL && im->type_ == REAL) {
    Complex *c = make<Complex>(pool);
    c->re = static_cast<Real *>(re)->num;
    c->im = static_cast<Real *>(im)->num;
    result = c;
  } else {
    XComplex *c = make<XComplex>(pool);
    c->re = widen(re);
    c->im = widen(im);
    result = c;
  }
  dispose(re, pool);
  dispose(im, pool);
  buf.status = 0;
  return result;
}

} // namespace OBJ
