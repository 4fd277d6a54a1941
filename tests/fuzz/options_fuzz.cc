// Any text read as an options file: no crash, no hang, and a value that is
// stored is one non-blank word of the input.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "kor/Options.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char *data, size_t size) {
  FILE *in = fmemopen(const_cast<unsigned char *>(data), size, "r");
  if (!in) return 0;
  KOR::Options opts;
  KOR::read_options_stream(in, opts);
  std::fclose(in);
  if (opts.rcFile) {
    const std::string &v = *opts.rcFile;
    if (v.empty() || v.size() > 254 || std::strpbrk(v.c_str(), " \t\r\n") != nullptr) std::abort();
  }
  return 0;
}
