// Carlson's symmetric elliptic integrals by duplication (B. C. Carlson,
// "Numerical computation of real or complex elliptic integrals", Numer.
// Algorithms 10, 1995), written over the value type T.  SfTraits<T>
// supplies sqrt, fabs, the loop tolerances and RC(1, 1 + e), the term of
// RJ's sum.  Each duplication divides the spread of the arguments by 4; the
// loop stops when the spread is below tol (tolRF for RF) times their mean
// (about 10 steps for doubles; arguments r orders of magnitude apart first
// take about log2(r) steps to come together, hence the cap of 100), then the
// Taylor series closes the sum: to 7th order for RF (error ~ spread^8), to
// 5th for RD and RJ (~ spread^6) or to 7th when SfTraits<T>::highOrder.
#pragma once

#include <cmath>

namespace fathom::sf {

template <class T> struct SfTraits;
template <class T> T carlsonRCT(T x, T y);

template <> struct SfTraits<double> {
  static double sqrt(double x) { return std::sqrt(x); }
  static double fabs(double x) { return std::fabs(x); }
  static constexpr double tol = 0x1p-9;   // spread^6 ~ 2^-54: series error below an ulp
  static constexpr double tolRF = tol;
  static constexpr bool highOrder = false;
  static double rcOnePlus(double e) { return carlsonRCT(1.0, 1.0 + e); }
};

// The kernels run in long double: the duplication loop's rounding errors
// (a few per step) then stay below a tenth of a double ulp.
template <> struct SfTraits<long double> {
  static long double sqrt(long double x) { return std::sqrt(x); }
  static long double fabs(long double x) { return std::fabs(x); }
  static constexpr long double tol = 0x1p-11L;   // spread^6 ~ 2^-66
  static constexpr long double tolRF = tol;
  static constexpr bool highOrder = false;
  static long double rcOnePlus(long double e) { return carlsonRCT(1.0L, 1.0L + e); }
};

template <class T> T maxAbs(T a, T b, T c, T d) {
  using Tr = SfTraits<T>;
  T m = Tr::fabs(a);
  if (Tr::fabs(b) > m) m = Tr::fabs(b);
  if (Tr::fabs(c) > m) m = Tr::fabs(c);
  if (Tr::fabs(d) > m) m = Tr::fabs(d);
  return m;
}

// RF's closing series at the end of the duplication.
template <class T> T carlsonRFClose(T x, T y, T z) {
  using Tr = SfTraits<T>;
  T a = (x + y + z) / T(3);
  T X = (a - x) / a, Y = (a - y) / a, Z = -(X + Y);
  T e2 = X * Y - Z * Z, e3 = X * Y * Z;
  T s = T(1) - e2 / T(10) + e3 / T(14) + e2 * e2 / T(24) - T(3) * e2 * e3 / T(44) -
        T(5) * e2 * e2 * e2 / T(208) + T(3) * e3 * e3 / T(104) + e2 * e2 * e3 / T(16);
  return s / Tr::sqrt(a);
}

template <class T> T carlsonRFT(T x, T y, T z) {
  using Tr = SfTraits<T>;
  T a = (x + y + z) / T(3);
  for (int i = 0; i < 100 && maxAbs(a - x, a - y, a - z, T(0)) > T(Tr::tolRF) * Tr::fabs(a); ++i) {
    T sx = Tr::sqrt(x), sy = Tr::sqrt(y), sz = Tr::sqrt(z);
    T l = sx * sy + sx * sz + sy * sz;
    x = (x + l) / T(4); y = (y + l) / T(4); z = (z + l) / T(4);
    a = (x + y + z) / T(3);
  }
  return carlsonRFClose(x, y, z);
}

// The series of RD and RJ in the elementary symmetric functions e2..e5 of
// the deviations: to 5th order, or to 7th (error ~ spread^8, like RF's)
// when the traits ask for it (DLMF 19.36.2).
template <class T> T rdrjSeries(T e2, T e3, T e4, T e5) {
  T s = T(1) - T(3) * e2 / T(14) + e3 / T(6) + T(9) * e2 * e2 / T(88) - T(3) * e4 / T(22) -
        T(9) * e2 * e3 / T(52) + T(3) * e5 / T(26);
  if constexpr (SfTraits<T>::highOrder)
    s = s - e2 * e2 * e2 / T(16) + T(3) * e3 * e3 / T(40) + T(3) * e2 * e4 / T(20) +
        T(45) * e2 * e2 * e3 / T(272) - T(9) * (e3 * e4 + e2 * e5) / T(68);
  return s;
}

// RD, and RF of the same arguments from the same duplication (RF is
// invariant under it) when rf is not null.
template <class T> T carlsonRDT(T x, T y, T z, T *rf = nullptr) {
  using Tr = SfTraits<T>;
  T sum = T(0), f = T(1);
  T a = (x + y + T(3) * z) / T(5);
  for (int i = 0; i < 100 && maxAbs(a - x, a - y, a - z, T(0)) > T(Tr::tol) * Tr::fabs(a); ++i) {
    T sx = Tr::sqrt(x), sy = Tr::sqrt(y), sz = Tr::sqrt(z);
    T l = sx * sy + sx * sz + sy * sz;
    sum = sum + f / (sz * (z + l));
    f = f / T(4);
    x = (x + l) / T(4); y = (y + l) / T(4); z = (z + l) / T(4);
    a = (x + y + T(3) * z) / T(5);
  }
  if (rf) *rf = carlsonRFClose(x, y, z);
  T X = (a - x) / a, Y = (a - y) / a, Z = -(X + Y) / T(3);
  T xy = X * Y, z2 = Z * Z;
  T e2 = xy - T(6) * z2, e3 = (T(3) * xy - T(8) * z2) * Z;
  T e4 = T(3) * (xy - z2) * z2, e5 = xy * z2 * Z;
  T s = rdrjSeries<T>(e2, e3, e4, e5);
  return f * s / (a * Tr::sqrt(a)) + T(3) * sum;
}

// RC(x, y) = RF(x, y, y); the principal value for y < 0.
template <class T> T carlsonRCT(T x, T y) {
  using Tr = SfTraits<T>;
  if (y < T(0)) return Tr::sqrt(x / (x - y)) * carlsonRFT(x - y, -y, -y);
  return carlsonRFT(x, y, y);
}

// RJ for p > 0, and RF of x, y, z from the same duplication when rf is
// not null.
template <class T> T carlsonRJPos(T x, T y, T z, T p, T *rf = nullptr) {
  using Tr = SfTraits<T>;
  T sum = T(0), f = T(1);
  T a = (x + y + z + T(2) * p) / T(5);
  for (int i = 0; i < 100 && maxAbs(a - x, a - y, a - z, a - p) > T(Tr::tol) * Tr::fabs(a); ++i) {
    T sx = Tr::sqrt(x), sy = Tr::sqrt(y), sz = Tr::sqrt(z), sp = Tr::sqrt(p);
    T l = sx * sy + sx * sz + sy * sz;
    T rd = T(1) / ((sp + sx) * (sp + sy) * (sp + sz));   // one division per step
    T e = (p - x) * (p - y) * (p - z) * rd * rd;
    sum = sum + f * rd * Tr::rcOnePlus(e);
    f = f / T(4);
    x = (x + l) / T(4); y = (y + l) / T(4); z = (z + l) / T(4); p = (p + l) / T(4);
    a = (x + y + z + T(2) * p) / T(5);
  }
  if (rf) *rf = carlsonRFClose(x, y, z);
  T X = (a - x) / a, Y = (a - y) / a, Z = (a - z) / a, P = -(X + Y + Z) / T(2);
  T p2 = P * P;
  T e2 = X * Y + X * Z + Y * Z - T(3) * p2;
  T e3 = X * Y * Z + T(2) * e2 * P + T(4) * p2 * P;
  T e4 = (T(2) * X * Y * Z + e2 * P + T(3) * p2 * P) * P;
  T e5 = X * Y * Z * p2;
  T s = rdrjSeries<T>(e2, e3, e4, e5);
  return f * s / (a * Tr::sqrt(a)) + T(6) * sum;
}

// RJ (and RF of x, y, z when rf is not null); for p < 0 the Cauchy
// principal value, with the arguments ordered
// x <= y <= z (Carlson 1995):
//   (y - p) RJ(x, y, z, p) = (q - y) RJ(x, y, z, q) - 3 RF(x, y, z) + 3 RC(xz/y, pq/y),
//   q = y + (z - y)(y - x)/(y - p) > 0.
template <class T> T carlsonRJT(T x, T y, T z, T p, T *rf = nullptr) {
  if (p > T(0)) return carlsonRJPos(x, y, z, p, rf);
  if (x > y) { T t = x; x = y; y = t; }
  if (y > z) { T t = y; y = z; z = t; }
  if (x > y) { T t = x; x = y; y = t; }
  T a = T(1) / (y - p);
  T b = a * (z - y) * (y - x);
  T q = y + b, f;
  T rjq = carlsonRJPos(x, y, z, q, &f);   // sets f (before it is read below)
  T r = b * rjq - T(3) * f + T(3) * carlsonRCT(x * z / y, p * q / y);
  if (rf) *rf = f;
  return a * r;
}

// The incomplete Pi = c RF + (n/3) c3 RJ(x, y, z, p) for large |n| without
// the cancellation of that sum, from the identity
//   (p - x) RJ(x, y, z, p) + (q - x) RJ(x, y, z, q) = 3 RF(x, y, z) - 3 RC(yz/x, pq/x),
//   (p - x)(q - x) = (y - x)(z - x):
//   Pi = c [RF + v RC(yz/x, pq/x) + (v/3) (q - x) RJ(q)] / (1 + v),  v = -n,
// for Carlson's scaled arguments y - x = kc^2 u, z - x = u, p - x = (1 + v) u
// (c3 = c u).  For n < 0 every term is positive; for a principal value
// (p < 0) with q > x/2 every term is O(1/n).  RC(yz/x, pq/x) =
// sqrt(x/(yz)) RC(1, 1 + e) with e = x (d - a)(d - b) / (d yz), or the
// principal value of RC when pq < 0.
template <class T> T carlsonPiLargeN(T x, T y, T z, T c, T u, T k2, T v, T p) {
  using Tr = SfTraits<T>;
  T onv = T(1) + v, d = onv * u, qx = k2 * u * u / d;
  T f;
  T j = carlsonRJT(x, y, z, x + qx, &f);
  T yz = y * z;
  T e = x * ((onv - k2) * u) * (v * u) / (d * yz);
  T rc = e > T(-1) ? Tr::rcOnePlus(e) * Tr::sqrt(x / yz) : carlsonRCT(yz / x, p * (x + qx) / x);
  return c * (f + v * rc + v / T(3) * qx * j) / onv;
}

} // namespace fathom::sf
