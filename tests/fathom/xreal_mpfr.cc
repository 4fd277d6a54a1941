// MPFR reference model of the extended real (see xreal_mpfr.h).
#include "xreal_mpfr.h"

#include <gmp.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace xrtest {

// MPFR writes x = 0.1b... * 2^E, one more than our binary exponent; the
// smallest normal has 127 bits of emulated subnormals below it.
constexpr mpfr_exp_t kModelEmax = kEmaxBinary + 1;
constexpr mpfr_exp_t kModelEmin = kEminBinary + 1 - 127;

MpfrModel::MpfrModel() : savedEmin_(mpfr_get_emin()), savedEmax_(mpfr_get_emax()) {
  mpfr_set_emin(kModelEmin);
  mpfr_set_emax(kModelEmax);
}

MpfrModel::~MpfrModel() {
  mpfr_set_emin(savedEmin_);
  mpfr_set_emax(savedEmax_);
}

static unsigned __int128 significand(XRealValue x) {
  unsigned __int128 f = (unsigned __int128)x.w5 << 96 | (unsigned __int128)x.w4 << 64 |
                        (unsigned __int128)x.w3 << 32 | x.w2;
  return f | (unsigned __int128)1 << 127;
}

void toMpfr(mpfr_t r, XRealValue x) {
  bool negative = fathom::signBit(x);
  if (fathom::isNaN(x)) {
    mpfr_set_nan(r);
  } else if (fathom::isInf(x)) {
    mpfr_set_inf(r, negative ? -1 : 1);
  } else if (fathom::isZero(x)) {
    mpfr_set_zero(r, negative ? -1 : 1);
  } else {
    unsigned __int128 sig = significand(x);
    uint64_t limbs[2] = {(uint64_t)sig, (uint64_t)(sig >> 64)};
    mpz_t z;
    mpz_init(z);
    mpz_import(z, 2, -1, sizeof(uint64_t), 0, 0, limbs);
    if (negative) mpz_neg(z, z);
    int64_t e = (int64_t)x.w0 - fathom::XR_BIAS - 127;
    int t = mpfr_set_z_2exp(r, z, (mpfr_exp_t)e, MPFR_RNDN);
    mpz_clear(z);
    if (t != 0) std::abort();                 // the target is too narrow
  }
}

XRealValue fromMpfr(const mpfr_t r) {
  bool negative = mpfr_signbit(r);
  if (mpfr_nan_p(r)) return fathom::nan(false);
  if (mpfr_inf_p(r)) return fathom::infinity(negative);
  if (mpfr_zero_p(r)) return fathom::zero(negative);
  mpz_t z;
  mpz_init(z);
  mpfr_exp_t e = mpfr_get_z_2exp(z, r);
  mpz_abs(z, z);
  mp_bitcnt_t zeros = mpz_scan1(z, 0);           // wider numbers carry trailing zeros
  mpz_tdiv_q_2exp(z, z, zeros);
  e += (mpfr_exp_t)zeros;
  size_t bits = mpz_sizeinbase(z, 2);
  if (bits > 128) std::abort();
  mpz_mul_2exp(z, z, 128 - bits);
  uint64_t limbs[2] = {0, 0};
  mpz_export(limbs, nullptr, -1, sizeof(uint64_t), 0, 0, z);
  mpz_clear(z);
  int64_t binaryExponent = (int64_t)e + (int64_t)bits - 1;
  XRealValue x;
  x.w0 = (uint32_t)(fathom::XR_BIAS + binaryExponent);
  x.w1 = 0;
  x.w2 = (uint32_t)limbs[0];
  x.w3 = (uint32_t)(limbs[0] >> 32);
  x.w4 = (uint32_t)limbs[1];
  x.w5 = ((uint32_t)(limbs[1] >> 32) & 0x7FFFFFFF) | (negative ? 0x80000000u : 0);
  return x;
}

void finish(mpfr_t r, int ternary) {
  ternary = mpfr_check_range(r, ternary, MPFR_RNDN);
  mpfr_subnormalize(r, ternary, MPFR_RNDN);
}

bool sameValue(XRealValue a, XRealValue b) {
  if (fathom::isNaN(a) || fathom::isNaN(b)) return fathom::isNaN(a) && fathom::isNaN(b);
  return std::memcmp(&a, &b, sizeof a) == 0;
}

std::string describe(XRealValue x) {
  char buf[128];
  FILE *f = fmemopen(buf, sizeof buf, "w");
  fathom::dump(f, "", x);
  std::fclose(f);
  buf[sizeof buf - 1] = 0;
  return buf;
}

int64_t scaled(int64_t count) {
  const char *s = std::getenv("KOR_TEST_SCALE");
  return s && std::strcmp(s, "quick") == 0 ? count / 20 : count;
}

} // namespace xrtest
