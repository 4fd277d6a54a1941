// B5: calling a small function through a pointer per iteration; the pointer
// is read from a volatile so that the call is not inlined.
#include <cstdio>
#include <cstdlib>
static double inc(double v) { return v + 1.0; }
int main(int, char **argv) {
  long n = std::atol(argv[1]);
  double (*volatile slot)(double) = inc;
  double (*f)(double) = slot;
  double x = 0.0;
  for (long i = 0; i < n; ++i) x = f(x);
  std::printf("%.17g\n", x);
}
