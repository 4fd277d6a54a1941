// Any byte sequence read as a keystroke trace: every code read is a code that
// the writer encodes back to the same bytes, and naming it never fails.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "kor/InputCode.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char *data, size_t size) {
  FILE *in = fmemopen(const_cast<unsigned char *>(data), size, "rb");
  if (!in) return 0;
  size_t pos = 0;
  for (int code; (code = KOR::read_trace_code(in)) != -1;) {
    unsigned char bytes[2];
    int n = KOR::encode_trace_code(code, bytes);
    if (pos + n > size || std::memcmp(bytes, data + pos, n) != 0) std::abort();
    pos += n;
    if (std::strlen(KOR::key_name(code)) == 0) std::abort();
  }
  std::fclose(in);
  return 0;
}
