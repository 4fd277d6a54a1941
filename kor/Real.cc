#include "kor/Real.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "kor/Buffer.h"
#include "kor/Context.h"
#include "kor/DisplayFormat.h"
#include "kor/NumberText.h"
#include "kor/Sequence.h"
#include "kor/TextWriter.h"
#include "kor/XReal.h"
#include "kor/charsets.h"
#include "kor/kor_error.h"

namespace OBJ {

using KOR::DisplayFormat;

// ---- Operands ---------------------------------------------------------------

Operand *Real::clone(OperandPool *pool) const {
  Real *r = make<Real>(pool);
  r->num = num;
  return r;
}

bool Real::equals(const Operand &other) const {
  return other.type_ == REAL && static_cast<const Real &>(other).num == num;
}

unsigned Real::print(Buffer &buf, const DisplayFormat &fmt, unsigned minWidth, unsigned maxWidth,
                     bool, bool insert) const {
  return print_real(buf, fmt, num, minWidth, maxWidth, insert);
}

Operand *Real::convert(uint32_t tag, OperandPool *pool) const {
  switch (tag) {
  case REAL: return clone(pool);
  case BINARY: { Binary *b = make<Binary>(pool); b->bits = real_to_binary(num); return b; }
  case XREAL: { XReal *x = make<XReal>(pool); x->num = fathom::fromDouble(num); return x; }
  case COMPLEX: { Complex *c = make<Complex>(pool); c->re = num; c->im = 0.0; return c; }
  case XCOMPLEX: {
    XComplex *c = make<XComplex>(pool);
    c->re = fathom::fromDouble(num);
    c->im = fathom::zero();
    return c;
  }
  default: return nullptr;
  }
}

EXEC::Status Real::execute(KOR::Context &cx) {
  cx.main.push(KOR::Entry::real(num));
  return EXEC::NORMAL;
}

void Real::compile(EXEC::ActionSequence &seq) const {
  seq.emit_push(OP::ifn_REALPUSH, EXEC::Datum::of_real(num));
}

Operand *Binary::clone(OperandPool *pool) const {
  Binary *b = make<Binary>(pool);
  b->bits = bits;
  return b;
}

bool Binary::equals(const Operand &other) const {
  return other.type_ == BINARY && static_cast<const Binary &>(other).bits == bits;
}

Operand *Binary::convert(uint32_t tag, OperandPool *pool) const {
  switch (tag) {
  case BINARY: return clone(pool);
  case REAL: { Real *r = make<Real>(pool); r->num = binary_to_real(bits); return r; }
  case XREAL: { XReal *x = make<XReal>(pool); x->num = binary_to_xreal(bits); return x; }
  default: return nullptr;
  }
}

EXEC::Status Binary::execute(KOR::Context &cx) {
  cx.main.push(KOR::Entry::binary(bits));
  return EXEC::NORMAL;
}

void Binary::compile(EXEC::ActionSequence &seq) const {
  seq.emit_push(OP::ifn_BINTPUSH, EXEC::Datum::of_bint(bits));
}

unsigned Binary::print(Buffer &buf, const DisplayFormat &fmt, unsigned minWidth, unsigned maxWidth,
                       bool, bool insert) const {
  static const unsigned radix[4] = {2, 10, 16, 8};
  static const char letter[4] = {'b', 'd', 'h', 'o'};
  unsigned base = fmt.base <= 3 ? fmt.base : DisplayFormat::HEX;
  char digits[65];
  int n = 0;
  uint64_t v = bits;
  do {
    digits[64 - n++] = "0123456789ABCDEF"[v % radix[base]];
    v /= radix[base];
  } while (v != 0);
  TextWriter w(buf, maxWidth, insert);
  w.put("# ");
  w.put(std::string_view(digits + 65 - n, static_cast<size_t>(n)));
  if (fmt.editForm()) w.put('_');
  w.put(letter[base]);
  return w.finish(minWidth);
}

Operand *Complex::clone(OperandPool *pool) const {
  Complex *c = make<Complex>(pool);
  c->re = re;
  c->im = im;
  return c;
}

bool Complex::equals(const Operand &other) const {
  if (other.type_ != COMPLEX) return false;
  const Complex &o = static_cast<const Complex &>(other);
  return re == o.re && im == o.im;
}

Operand *Complex::convert(uint32_t tag, OperandPool *pool) const {
  if (tag == COMPLEX) return clone(pool);
  if (tag != XCOMPLEX) return nullptr;
  XComplex *c = make<XComplex>(pool);
  c->re = fathom::fromDouble(re);
  c->im = fathom::fromDouble(im);
  return c;
}

unsigned Complex::print(Buffer &buf, const DisplayFormat &fmt, unsigned minWidth,
                        unsigned maxWidth, bool, bool insert) const {
  // The parts are printed without their own "r"; one "r" follows the pair.
  DisplayFormat part = fmt;
  if (fmt.xprec()) {
    part.flags &= static_cast<uint8_t>(~DisplayFormat::XPREC);
    if (part.digits > 1) part.digits = static_cast<int8_t>(part.digits / 2);
    part.dmin = static_cast<int8_t>(part.dmin / 2);
    part.dmax = static_cast<int8_t>(part.dmax / 2);
  }
  TextWriter w(buf, maxWidth, insert);
  w.put('(');
  w.put(format_real(re, part));
  w.put(fmt.decimalComma() ? ". " : ", ");
  w.put(format_real(im, part));
  w.put(')');
  if (fmt.xprec()) w.put('r');
  return w.finish(minWidth);
}

// ---- Conversions --------------------------------------------------------------

uint64_t real_to_binary(double d) {
  if (!(d > 0.0)) return 0;                       // NaN, zero, negatives
  if (d >= 18446744073709551616.0) return ~uint64_t(0);
  return static_cast<uint64_t>(d);
}

double binary_to_real(uint64_t b) { return static_cast<double>(b); }

// ---- Printing -----------------------------------------------------------------

namespace {

constexpr double READ_BACK_TOLERANCE = 2.220446049250313e-15;

std::string printf_text(const char *format, int precision, double v) {
  char text[400];
  std::snprintf(text, sizeof text, format, precision, v);
  return text;
}

bool reads_back_exactly(const std::string &text, double v) {
  return std::strtod(text.c_str(), nullptr) == v;
}

std::string sci_text(double v, int digits) {
  if (digits > 14) {
    std::string t = printf_text("%.*e", 14, v);
    if (reads_back_exactly(t, v)) return KOR::pad_mantissa(t, digits - 14);
  }
  return printf_text("%.*e", digits, v);
}

std::string std_text(double v, int digits, int dmin, int dmax) {
  if (digits > 0) return printf_text("%.*g", digits, v);
  std::string t = printf_text("%.*g", dmin, v);
  double mag = std::fabs(v);
  if (std::fabs(std::strtod(t.c_str(), nullptr) - v) > mag * READ_BACK_TOLERANCE) {
    if (mag > 1.0 && mag >= std::pow(10.0, dmin)) return printf_text("%.*e", dmax, v);
    return printf_text("%.*g", dmax, v);
  }
  return t;
}

// Fixed notation, or the scientific text when the value does not fit it.
std::string fix_text(double v, int digits) {
  double mag = std::fabs(v);
  if (v == 0.0) return printf_text("%#.*f", digits, v);   // zero keeps the fixed form
  int n = std::min(digits, 16 - static_cast<int>(std::floor(std::log10(mag))));
  if (n < 0 && mag < 1e17) n = 0;
  if (n < 0 || !(mag > 0.5 * std::pow(10.0, -n))) return sci_text(v, digits);
  if (n < 3) return printf_text("%#.*f", n, v);
  std::string t = printf_text("%#.*f", n - 2, v);
  if (reads_back_exactly(t, v)) return t + "00";
  return printf_text("%#.*f", n, v);
}

} // namespace

std::string format_real(double value, const DisplayFormat &fmt) {
  int digits = fmt.digits, dmin = fmt.dmin, dmax = fmt.dmax;
  uint32_t format = fmt.format;
  if (format > 3) kor_error(EINVAL, "Real", __LINE__, "print_real");
  if (fmt.xprec()) {
    if (digits > 1) digits /= 2;
    dmin = (dmin - 4) / 2;
    dmax = (dmax - 2) / 2;
  }
  bool edit = fmt.editForm();
  if (edit && !(fmt.flags & DisplayFormat::KEEP_FORMAT)) {
    digits = 17;
    format = DisplayFormat::STD;
  } else if (digits > 16) {
    digits = format == DisplayFormat::STD ? 17 : 16;
  }
  std::string text;
  if (std::isnan(value)) {
    text = "NaN";
  } else if (std::isinf(value)) {
    text = value < 0 ? "-Infinity" : "Infinity";
  } else {
    switch (format) {
    case DisplayFormat::STD: text = std_text(value, digits, dmin, dmax); break;
    case DisplayFormat::FIX: text = fix_text(value, digits); break;
    default: text = sci_text(value, digits); break;
    }
    bool leadingZeroForm = format == DisplayFormat::STD || format == DisplayFormat::FIX;
    double mag = std::fabs(value);
    if (leadingZeroForm && !edit && value != 0.0 && mag < 1.0) text = KOR::drop_leading_zero(text);
    bool hasExponent = text.find('e') != std::string::npos;
    text = KOR::rewrite_exponent(text, format == DisplayFormat::ENG);
    text = KOR::mark_and_group(text, fmt.decimalComma(), !edit && !hasExponent);
  }
  if (fmt.xprec()) text += 'r';
  return text;
}

unsigned print_real(Buffer &buf, const DisplayFormat &fmt, double value, unsigned minWidth,
                    unsigned maxWidth, bool insert) {
  TextWriter w(buf, maxWidth, insert);
  w.put(format_real(value, fmt));
  return w.finish(minWidth);
}

// ---- Scanners -----------------------------------------------------------------

namespace {

// Length of a decimal literal (sign, digits, mark, digits, exponent) at p.
size_t decimal_extent(const char *p, char mark) {
  size_t i = 0;
  if (p[i] == '+' || p[i] == '-') ++i;
  while (KOR::is_digit(p[i])) ++i;
  if (p[i] == mark) {
    ++i;
    while (KOR::is_digit(p[i])) ++i;
  }
  if (p[i] == 'e' || p[i] == 'E') {
    size_t j = i + 1;
    if (p[j] == '+' || p[j] == '-') ++j;
    if (KOR::is_digit(p[j])) {
      while (KOR::is_digit(p[j])) ++j;
      i = j;
    }
  }
  return i;
}

// Moves the cursor to the end of the token (the next delimiter) and reports
// the scanner's error.
Operand *fail_token(Buffer &buf, uint32_t status, bool comma) {
  while (!KOR::ends_number(buf.ch(), comma)) buf.advance();
  buf.status = status;
  return nullptr;
}

} // namespace

Operand *scan_real(Buffer &buf, const DisplayFormat &fmt, OperandPool *pool) {
  bool comma = fmt.decimalComma();
  char mark = fmt.decimalMark();
  const std::string &line = buf.line->text;
  const char *p = line.c_str() + std::min(buf.col, line.size());
  size_t s = (p[0] == '+' || p[0] == '-') ? 1 : 0;
  if (!(KOR::is_digit(p[s]) || p[s] == mark)) { buf.status = 3; return nullptr; }
  if (p[s] == '0' && (p[s + 1] == 'x' || p[s + 1] == 'X')) { buf.status = 3; return nullptr; }

  size_t len = decimal_extent(p, mark);
  std::string literal(p, len);
  if (comma) {
    size_t c = literal.find(',');
    if (c != std::string::npos) literal[c] = '.';
  }
  errno = 0;
  char *end = nullptr;
  double v = std::strtod(literal.c_str(), &end);
  int rangeErr = errno;
  size_t used = static_cast<size_t>(end - literal.c_str());
  int next = used < len ? p[used] : (p[len] ? static_cast<unsigned char>(p[len]) : buf.ch_at(len));
  size_t consumed = used;
  if (next == 'r' || next == 'R') {
    ++consumed;
  } else if (fmt.xprec() || next == 'x' || next == 'X') {
    buf.status = 3;
    return nullptr;
  }
  int after = buf.ch_at(consumed);
  if (used == 0 || !KOR::ends_number(after, comma) || (v == 0.0 && rangeErr == ERANGE))
    return fail_token(buf, 8, comma);
  for (size_t i = 0; i < consumed; ++i) buf.advance();
  Real *r = make<Real>(pool);
  r->num = v;
  buf.status = 0;
  return r;
}

Operand *scan_binary(Buffer &buf, const DisplayFormat &fmt, OperandPool *pool) {
  bool comma = fmt.decimalComma();
  if (buf.ch() != '#') { buf.status = 3; return nullptr; }
  buf.advance();
  while (KOR::is_white(buf.ch(), comma)) buf.advance();
  int c = buf.ch();
  if (c < 0 || c == '_') return fail_token(buf, 5, comma);

  // The digits run to the first character that is not a hexadecimal digit.
  auto hexval = [](int ch) {
    return ch >= '0' && ch <= '9' ? ch - '0'
           : ch >= 'a' && ch <= 'f' ? ch - 'a' + 10
           : ch >= 'A' && ch <= 'F' ? ch - 'A' + 10
                                    : -1;
  };
  size_t n = 0;
  while (hexval(buf.ch_at(n)) >= 0) ++n;
  unsigned radix;
  static const unsigned radices[4] = {2, 10, 16, 8};
  bool suffix = buf.ch_at(n) == '_';
  if (suffix) {
    switch (buf.ch_at(n + 1)) {
    case 'b': case 'B': radix = 2; break;
    case 'o': case 'O': radix = 8; break;
    case 'd': case 'D': radix = 10; break;
    case 'h': case 'H': radix = 16; break;
    default: return fail_token(buf, 5, comma);
    }
  } else {
    radix = radices[fmt.base <= 3 ? fmt.base : DisplayFormat::HEX];
  }
  uint64_t value = 0;
  size_t i = 0;
  for (; i < n; ++i) {
    int d = hexval(buf.ch_at(i));
    if (d >= static_cast<int>(radix)) break;
    value = value * radix + static_cast<unsigned>(d);   // wraps silently
  }
  if (i < n || n == 0) return fail_token(buf, 5, comma);
  size_t consumed = n + (suffix ? 2 : 0);
  if (!KOR::ends_number(buf.ch_at(consumed), comma)) return fail_token(buf, 5, comma);
  for (size_t k = 0; k < consumed; ++k) buf.advance();
  Binary *b = make<Binary>(pool);
  b->bits = value;
  buf.status = 0;
  return b;
}

} // namespace OBJ
