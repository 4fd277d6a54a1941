// B4: a while loop with its counter in a variable.
#include <cstdio>
#include <cstdlib>
int main(int, char **argv) {
  double n = static_cast<double>(std::atol(argv[1]));
  double x = 0.0;
  while (x < n) x += 1.0;
  std::printf("%.17g\n", x);
}
