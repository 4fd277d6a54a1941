#include "kor/DisplayFormat.h"

#include <cerrno>

#include "kor/kor_error.h"

namespace KOR {

void DisplayFormat::setWordSize(long n) {
  if (n < 1) n = 1;
  if (n > 64) n = 64;
  bintWS = static_cast<uint8_t>(n - 1);
  mask = n == 64 ? ~uint64_t(0) : (uint64_t(1) << n) - 1;
}

void DisplayFormat::setXprec(bool on) {
  if (on == xprec()) return;
  if (on) {
    digits = static_cast<int8_t>(digits * 2);
    dmin = static_cast<int8_t>(dmin * 2 + 4);
    dmax = static_cast<int8_t>(dmax * 2 + 2);
    flags |= XPREC;
  } else {
    if (digits > 1) digits = static_cast<int8_t>(digits / 2);
    dmin = static_cast<int8_t>((dmin - 4) / 2);
    dmax = static_cast<int8_t>((dmax - 2) / 2);
    flags &= static_cast<uint8_t>(~XPREC);
  }
}

void DisplayFormat::verify() const {
  const char *bad = bintWS > 63                 ? "bad bintWS  in verify"
                    : digits < 0 || digits > 63 ? "bad digits in verify"
                    : dmin < 0 || dmin > 63     ? "bad dmin in verify"
                    : dmax < 0 || dmax > 63     ? "bad dmax in verify"
                    : base > 3                  ? "bad base in verify"
                    : format > 3                ? "bad format in verify"
                    : vecMode > 2               ? "bad vecMode in verify"
                                                : nullptr;
  if (bad) kor_error(EINVAL, "Sequence", __LINE__, bad);
}

} // namespace KOR
