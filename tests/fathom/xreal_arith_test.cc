// Add, subtract, multiply, divide and square root against MPFR at 128 bits
// with the model's exponent range: every result must agree bit for bit.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "fathom/xreal.h"
#include "xreal_mpfr.h"
#include "xreal_random.h"

namespace {

using fathom::XRealValue;
using namespace xrtest;

using MpfrBinary = int (*)(mpfr_ptr, mpfr_srcptr, mpfr_srcptr, mpfr_rnd_t);
using PairSource = std::function<void(RandomXReal &, XRealValue &, XRealValue &)>;

constexpr int64_t kPairs = 1000000;

XRealValue referenceBinary(MpfrBinary op, XRealValue a, XRealValue b) {
  Mp ma, mb, r;
  toMpfr(ma.v, a);
  toMpfr(mb.v, b);
  finish(r.v, op(r.v, ma.v, mb.v, MPFR_RNDN));
  return fromMpfr(r.v);
}

// Runs `count` pairs from `source` and reports the first few mismatches.
void checkBinary(uint64_t seed, int64_t count, const PairSource &source,
                 XRealValue (*op)(XRealValue, XRealValue), MpfrBinary reference) {
  MpfrModel model;
  RandomXReal rnd(seed);
  int failures = 0;
  for (int64_t i = 0; i < count && failures < 5; i++) {
    XRealValue a, b;
    source(rnd, a, b);
    XRealValue got = op(a, b), want = referenceBinary(reference, a, b);
    if (!sameValue(got, want)) {
      failures++;
      ADD_FAILURE() << "a    " << describe(a) << "b    " << describe(b) << "got  "
                    << describe(got) << "want " << describe(want);
    }
  }
}

XRealValue nearbyOf(RandomXReal &rnd, XRealValue a, int64_t maxShift, bool negative) {
  int64_t e = (int64_t)a.w0 - fathom::XR_BIAS + rnd.uniform(-maxShift, maxShift);
  return rnd.withExponent(std::clamp(e, kEminBinary - 127, kEmaxBinary), negative);
}

// a and -a with its last bits disturbed: heavy cancellation.
XRealValue cancelling(RandomXReal &rnd, XRealValue a) {
  XRealValue b = fathom::neg(a);
  if (a.w0 <= fathom::XR_EMIN || a.w0 >= fathom::XR_EMAX) return b;   // keep b on the grid
  int k = (int)rnd.uniform(0, 3);
  if (k == 0) b.w2 ^= (uint32_t)rnd.bits() & ((1u << rnd.uniform(0, 31)) | 1);
  if (k == 1) b.w3 ^= (uint32_t)rnd.bits();
  if (k == 2) b.w0 += rnd.coin() ? 1 : -1;
  return b;
}

const PairSource kAddPairs = [](RandomXReal &rnd, XRealValue &a, XRealValue &b) {
  a = rnd.any();
  switch (rnd.uniform(0, 7)) {
  case 0: b = rnd.any(); break;
  case 1: b = nearbyOf(rnd, a, 0, rnd.coin()); break;
  case 2: b = nearbyOf(rnd, a, 3, rnd.coin()); break;
  case 3: b = nearbyOf(rnd, a, 200, rnd.coin()); break;
  case 4: b = cancelling(rnd, a); break;
  case 5:
    a = rnd.withExponent(rnd.uniform(kEminBinary - 127, kEminBinary + 130), rnd.coin());
    b = nearbyOf(rnd, a, 130, rnd.coin());
    break;
  case 6:
    a = rnd.withExponent(kEmaxBinary - rnd.uniform(0, 2), false);
    b = nearbyOf(rnd, a, 130, false);
    break;
  default: b = nearbyOf(rnd, a, 64, rnd.coin()); break;
  }
};

// Exponent pairs whose sum (product) or difference (quotient) lands near
// the edges of the range, plus unconstrained and moderate ones.
void edgePair(RandomXReal &rnd, XRealValue &a, XRealValue &b, int sign) {
  int64_t ea = rnd.uniform(-kEmaxBinary / 2, kEmaxBinary / 2);
  int64_t target = rnd.coin() ? kEminBinary + rnd.uniform(-200, 10) : kEmaxBinary + rnd.uniform(-2, 1);
  int64_t eb = sign * (target - ea);
  a = rnd.withExponent(ea, rnd.coin());
  b = rnd.withExponent(std::clamp(eb, kEminBinary - 127, kEmaxBinary), rnd.coin());
}

const PairSource kMulPairs = [](RandomXReal &rnd, XRealValue &a, XRealValue &b) {
  switch (rnd.uniform(0, 3)) {
  case 0: a = rnd.any(), b = rnd.any(); break;
  case 1: edgePair(rnd, a, b, 1); break;
  default:
    a = rnd.withExponent(rnd.uniform(-100, 100), rnd.coin());
    b = rnd.withExponent(rnd.uniform(-100, 100), rnd.coin());
    break;
  }
};

const PairSource kDivPairs = [](RandomXReal &rnd, XRealValue &a, XRealValue &b) {
  switch (rnd.uniform(0, 4)) {
  case 0: a = rnd.any(), b = rnd.any(); break;
  case 1: edgePair(rnd, a, b, -1); break;
  case 2:                                          // exact quotients: a = b * small
    b = rnd.withExponent(rnd.uniform(-100, 100), rnd.coin());
    b.w2 = b.w3 = 0;
    a = fathom::mul(b, fathom::fromInt64(rnd.uniform(-1000, 1000) | 1));
    break;
  default:
    a = rnd.withExponent(rnd.uniform(-100, 100), rnd.coin());
    b = nearbyOf(rnd, a, 1, rnd.coin());
    break;
  }
};

TEST(FathomXRealArith, AddAgreesWithMpfr) {
  checkBinary(1, scaled(kPairs), kAddPairs, fathom::add, mpfr_add);
}

TEST(FathomXRealArith, SubAgreesWithMpfr) {
  checkBinary(2, scaled(kPairs), kAddPairs, fathom::sub, mpfr_sub);
}

TEST(FathomXRealArith, MulAgreesWithMpfr) {
  checkBinary(3, scaled(kPairs), kMulPairs, fathom::mul, mpfr_mul);
}

TEST(FathomXRealArith, DivAgreesWithMpfr) {
  checkBinary(4, scaled(kPairs), kDivPairs, fathom::div, mpfr_div);
}

XRealValue referenceSqrt(XRealValue x) {
  Mp mx, r;
  toMpfr(mx.v, x);
  finish(r.v, mpfr_sqrt(r.v, mx.v, MPFR_RNDN));
  return fromMpfr(r.v);
}

// Radicands: anywhere in the range, squares of short significands (exact
// roots) and their neighbours one unit away.
XRealValue radicand(RandomXReal &rnd) {
  if (rnd.coin()) return rnd.withExponent(rnd.exponent(), false);
  XRealValue y = rnd.withExponent(rnd.uniform(-1000, 1000), false);
  y.w2 = y.w3 = 0;
  XRealValue x = fathom::mul(y, y);
  int64_t step = rnd.uniform(-1, 1);
  x.w2 += (uint32_t)step;                      // one unit of the last place
  return x;
}

TEST(FathomXRealArith, SqrtAgreesWithMpfr) {
  MpfrModel model;
  RandomXReal rnd(5);
  int failures = 0;
  for (int64_t i = 0; i < scaled(kPairs) && failures < 5; i++) {
    XRealValue x = radicand(rnd);
    XRealValue got = fathom::sqrt(x), want = referenceSqrt(x);
    if (!sameValue(got, want)) {
      failures++;
      ADD_FAILURE() << "x    " << describe(x) << "got  " << describe(got) << "want "
                    << describe(want);
    }
  }
}

} // namespace
