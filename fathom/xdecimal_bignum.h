// Private: fixed-capacity big integers for the rare decimal conversions that
// a 192-bit approximation cannot decide.  They live on the stack; nothing
// is allocated.
#pragma once

#include <cstdint>

namespace fathom::detail {

constexpr int kBigLimbs = 640;                   // 40960 bits
constexpr int64_t kBigBits = kBigLimbs * 64;

// An unsigned integer, least significant limb first, no leading zero limbs.
struct BigInt {
  int size;
  uint64_t limb[kBigLimbs];
};

// m * 2^e.
struct BigFloat {
  BigInt m;
  int64_t e;
};

void setSmall(BigInt &x, uint64_t v);
void setLimbs(BigInt &x, const uint64_t *v, int n);
void copyBig(BigInt &to, const BigInt &from);
int64_t bitLength(const BigInt &x);
// x = x * m + add; false (x unchanged or partly updated) when it would not fit.
bool mulSmallAdd(BigInt &x, uint64_t m, uint64_t add);
// x = x / d, returns the remainder (d != 0).
uint64_t divSmall(BigInt &x, uint64_t d);
// out = a * b (out must not alias a or b); false when it would not fit.
bool mulBig(const BigInt &a, const BigInt &b, BigInt &out);
// x = x * 2^n; false when it would not fit.
bool shiftLeft(BigInt &x, int64_t n);
// x = floor(x / 2^n); true when a non-zero bit was dropped.
bool shiftRight(BigInt &x, int64_t n);
// sign(a * 2^ea - b * 2^eb).
int compareScaledPow2(const BigInt &a, int64_t ea, const BigInt &b, int64_t eb);

// Bounds lo <= 5^t <= hi with at most p bits each (t may be negative).
// Returns true when both equal 5^t exactly.
bool pow5Bounds(int64_t t, int64_t p, BigFloat &lo, BigFloat &hi);

// sign(A * 5^t * 2^a - B * 2^b) for t >= 0, exactly whenever A * 5^t fits
// the capacity (with 192 bits to spare), else by bounds of up to 16384 bits.
// *decided is false only when those bounds could not separate the two, that
// is when they agree to within about 2^-16000.
int compareWithPow5(const BigInt &A, int64_t t, int64_t a, const BigInt &B, int64_t b,
                    bool *decided);

} // namespace fathom::detail
