// keytrace: prints a keystroke trace written by `korsh -t FILE` as a
// numbered list of key names.
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "kor/InputCode.h"

int main(int argc, char *argv[]) {
  FILE *in = stdin;
  if (argc > 1 && std::strcmp(argv[1], "-") != 0) {
    in = std::fopen(argv[1], "rb");
    if (!in) {
      std::fprintf(stderr, "keytrace: cannot open %s: %s\n", argv[1], std::strerror(errno));
      return 1;
    }
  }
  int count = 0;
  for (int code; (code = KOR::read_trace_code(in)) != -1;)
    std::printf("%3d:\t%s\n", ++count, KOR::key_name(code));
  if (in != stdin) std::fclose(in);
  return 0;
}
