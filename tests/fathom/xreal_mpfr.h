// MPFR reference model of the extended real: 128-bit precision, the same
// largest exponent, and gradual underflow on the grid 2^(EMIN-BIAS-127)
// (MPFR's emulated subnormals), so that correctly rounded MPFR results must
// equal Fathom's bit for bit.
#pragma once

#include <mpfr.h>

#include <cstdint>
#include <string>

#include "fathom/xreal.h"

namespace xrtest {

using fathom::XRealValue;

// Binary exponents: a value with 1 <= |x| < 2 has exponent 0.
constexpr int64_t kEminBinary = (int64_t)fathom::XR_EMIN - fathom::XR_BIAS;   // -332192809
constexpr int64_t kEmaxBinary = (int64_t)fathom::XR_EMAX - fathom::XR_BIAS;   // +332192810

// Sets MPFR's exponent range to the model for the lifetime of the object.
class MpfrModel {
public:
  MpfrModel();
  ~MpfrModel();
  MpfrModel(const MpfrModel &) = delete;
  MpfrModel &operator=(const MpfrModel &) = delete;

private:
  mpfr_exp_t savedEmin_, savedEmax_;
};

// A 128-bit MPFR number, initialised and cleared with its scope.
struct Mp {
  mpfr_t v;
  explicit Mp(mpfr_prec_t prec = 128) { mpfr_init2(v, prec); }
  ~Mp() { mpfr_clear(v); }
  Mp(const Mp &) = delete;
  Mp &operator=(const Mp &) = delete;
};

void toMpfr(mpfr_t r, XRealValue x);        // exact (r has at least 128 bits)
XRealValue fromMpfr(const mpfr_t r);        // r must be representable
// Applies the model's overflow and underflow to a result rounded to 128 bits.
void finish(mpfr_t r, int ternary);

// Bitwise identity, all NaNs counted as equal.
bool sameValue(XRealValue a, XRealValue b);
std::string describe(XRealValue x);         // dump line for failure messages

// 1 normally, 1/20 under KOR_TEST_SCALE=quick (the sanitizer run).
int64_t scaled(int64_t count);

} // namespace xrtest
