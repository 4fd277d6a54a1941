// The accuracy bounds of the special-function tests, in ulps of the
// reference value (or of the local amplitude where noted), in one table.
// They are the measured maxima (docs/special-functions.md) rounded up.
#pragma once

#include <cstring>

namespace sftol {

struct Tolerance {
  const char *name;
  double ulps;
};

inline constexpr Tolerance kTolerances[] = {
    {"erf", 2},         {"erfc", 2},        {"lnerfc", 2},      {"dawson", 2},
    {"gamma", 2},       {"lngamma", 2},     {"factorial", 2},   {"digamma", 2},
    {"trigamma", 2},    {"e1", 2},          {"ei", 2},          {"li", 2},
    {"si", 2},          {"ci", 1},          {"shi", 2},         {"chi", 2},
    {"fresnelc", 2},    {"fresnels", 2},    {"zeta", 2},        {"dilog", 2},
    {"besseli0", 2.5},    {"besseli1", 2},    {"besselk0", 2},    {"besselk1", 2},
    {"besselj0", 2.5},    {"besselj1", 2.5},    {"bessely0", 2.5},    {"bessely1", 2.5},
    {"elliptick", 2},   {"elliptice", 1.5},   {"besseljn", 2},    {"besselyn", 2},
    {"besselin", 2.5},    {"besselkn", 2},    {"expinten", 1},    {"beta", 1},
    {"gammalower", 2},  {"gammap", 2},      {"ellippi", 1},     {"ellipf", 1},
    {"ellipe", 1},      {"jacobisn", 4.5},    {"jacobicn", 3.5},    {"jacobidn", 1},
    {"ellippiinc", 1},  {"betalower", 1},   {"betai", 1},
};

inline double tolerance(const char *name) {
  for (const Tolerance &t : kTolerances)
    if (std::strcmp(t.name, name) == 0) return t.ulps;
  return 0;   // a table without a bound fails
}

} // namespace sftol
