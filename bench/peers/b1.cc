// B1: counted loop of real additions.
#include <cstdio>
#include <cstdlib>
int main(int, char **argv) {
  long n = std::atol(argv[1]);
  double x = 0.0;
  for (long i = 0; i < n; ++i) x += 1.0;
  std::printf("%.17g\n", x);
}
