// Reference complex functions for the extended complex tests: the textbook
// formulas in MPFR at 640 bits, with symmetries chosen so that no formula
// cancels more than a few bits for the sampled arguments (off the axes).
#pragma once

#include <mpfr.h>

#include "fathom/xcomplex.h"

namespace xrtest {

constexpr mpfr_prec_t kComplexRefPrec = 640;

struct MpC {
  mpfr_t re, im;
  MpC() { mpfr_inits2(kComplexRefPrec, re, im, (mpfr_ptr)nullptr); }
  ~MpC() { mpfr_clears(re, im, (mpfr_ptr)nullptr); }
  MpC(const MpC &) = delete;
  MpC &operator=(const MpC &) = delete;
};

void set(MpC &r, fathom::XComplexValue z);
void copy(MpC &r, const MpC &a);

// The reference of f at z; the function is named as in xcomplex.h.
using RefFn = void (*)(MpC &r, const MpC &z);
void refExp(MpC &r, const MpC &z);
void refLog(MpC &r, const MpC &z);
void refSin(MpC &r, const MpC &z);
void refCos(MpC &r, const MpC &z);
void refTan(MpC &r, const MpC &z);
void refSinh(MpC &r, const MpC &z);
void refCosh(MpC &r, const MpC &z);
void refTanh(MpC &r, const MpC &z);
void refAsinh(MpC &r, const MpC &z);
void refAsin(MpC &r, const MpC &z);
void refAcos(MpC &r, const MpC &z);
void refAcosh(MpC &r, const MpC &z);
void refAtanh(MpC &r, const MpC &z);
void refAtan(MpC &r, const MpC &z);
void refExp10(MpC &r, const MpC &z);
void refLog10(MpC &r, const MpC &z);
void refCbrt(MpC &r, const MpC &z);   // the principal cube root
// y^x = exp(x log y).
void refPow(MpC &r, const MpC &y, const MpC &x);

} // namespace xrtest
