// B3: a real conditional inside a counted loop.
#include <cstdio>
#include <cstdlib>
int main(int, char **argv) {
  long n = std::atol(argv[1]);
  double x = 0.0;
  for (long i = 0; i < n; ++i) {
    if (x < 0.0) x += 1.0;
    else x -= 1.0;
  }
  std::printf("%.17g\n", x);
}
