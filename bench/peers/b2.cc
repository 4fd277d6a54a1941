// B2: a chain of real arithmetic per iteration.
#include <cstdio>
#include <cstdlib>
int main(int, char **argv) {
  long n = std::atol(argv[1]);
  double x = 1.0;
  for (long i = 0; i < n; ++i) x = (x * 1.0000001 + 0.5) / 1.5;
  std::printf("%.17g\n", x);
}
