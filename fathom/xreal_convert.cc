// Conversions of the extended real with doubles and 64-bit integers.
#include <algorithm>
#include <bit>

#include "fathom/xreal.h"
#include "fathom/xreal_internal.h"

namespace fathom {

using namespace detail;

// w0 of a normal double is its IEEE biased exponent plus this offset.
constexpr int64_t kDoubleOffset = 0x7FFFFC50;

// m * 2^k exactly, m != 0.
static XRealValue fromScaled(bool negative, uint64_t m, int64_t k) {
  int lz = __builtin_clzll(m);
  return packFinite(negative, kBias + k + 63 - lz, (u128)(m << lz) << 64);
}

XRealValue fromDouble(double d) {
  uint64_t bits = std::bit_cast<uint64_t>(d);
  bool negative = bits >> 63;
  int64_t be = (int64_t)(bits >> 52) & 0x7FF;
  uint64_t frac = bits & ((1ull << 52) - 1);
  if (be == 0x7FF) return makeSpecial(negative, frac ? XR_NAN : XR_INF);
  if (be == 0) return frac ? fromScaled(negative, frac, -1074) : makeSpecial(negative, XR_ZERO);
  return packFinite(negative, be + kDoubleOffset, kTop | (u128)frac << 75);
}

XRealValue fromUint64(uint64_t u) {
  return u ? fromScaled(false, u, 0) : makeSpecial(false, XR_ZERO);
}

XRealValue fromInt64(int64_t i) {
  if (i == 0) return makeSpecial(false, XR_ZERO);
  uint64_t m = i < 0 ? 0 - (uint64_t)i : (uint64_t)i;
  return fromScaled(i < 0, m, 0);
}

// Rounds sig (128 bits, top bit set) right by `shift` bits, ties to even.
static uint64_t roundShift(u128 sig, int shift) {
  if (shift > 128) return 0;
  if (shift == 128) return sig > kTop ? 1 : 0;
  u128 kept = sig >> shift;
  u128 rest = sig & (((u128)1 << shift) - 1);
  u128 half = (u128)1 << (shift - 1);
  if (rest > half || (rest == half && (kept & 1))) kept++;
  return (uint64_t)kept;
}

double toDouble(XRealValue x) {
  uint64_t sign = (uint64_t)signBit(x) << 63;
  if (x.w0 == 0) {
    if (x.w1 == XR_ZERO) return std::bit_cast<double>(sign);
    if (x.w1 == XR_INF) return std::bit_cast<double>(sign | 0x7FF0000000000000ull);
    return std::bit_cast<double>(sign | 0x7FF8000000000000ull);
  }
  int64_t e = (int64_t)x.w0 - kBias;
  if (e >= 1024) return std::bit_cast<double>(sign | 0x7FF0000000000000ull);
  u128 sig = fieldOf(x) | kTop;
  // Subnormal results move the rounding point up by the missing exponent range.
  int extra = e < -1022 ? (int)std::min<int64_t>(-1022 - e, 200) : 0;
  uint64_t m = roundShift(sig, 75 + extra);
  // m carries the implicit bit, so adding it raises the exponent field by one,
  // and a rounding carry to 2^53 (or from subnormal to normal) raises it again.
  uint64_t exponentField = extra ? 0 : (uint64_t)(e + 1022) << 52;
  return std::bit_cast<double>(sign | (exponentField + m));
}

} // namespace fathom
