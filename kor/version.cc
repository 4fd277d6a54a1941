#include "kor/version.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "fathom/banner.h"
#include "kor/kor_config.h"

namespace KOR {

const char *const INFO_URL = "https://kor-shell.org/";
const char *const CONTACT = "<korsh@kor-shell.org>";

namespace {

const char *platform_name() {
#if defined(__linux__) && defined(__x86_64__)
#if defined(__AVX2__)
  return "linux-x86_64_avx2";
#else
  return "linux-x86_64_sse2";
#endif
#elif defined(__linux__) && defined(__aarch64__)
  return "linux-aarch64_neon";
#elif defined(__linux__)
  return "linux-generic";
#else
  return "unix-generic";
#endif
}

std::string compiler_name() {
  char text[64];
#if defined(__clang__)
  std::snprintf(text, sizeof text, "clang-%d.%d.%d", __clang_major__, __clang_minor__,
                __clang_patchlevel__);
#elif defined(__GNUC__)
  std::snprintf(text, sizeof text, "gcc-%d.%d.%d", __GNUC__, __GNUC_MINOR__, __GNUC_PATCHLEVEL__);
#else
  std::snprintf(text, sizeof text, "c++");
#endif
  return text;
}

// __DATE__ ("Mmm dd yyyy") and __TIME__ as "yyyy/mm/dd hh:mm:ss".
std::string build_stamp() {
  static const char months[] = "JanFebMarAprMayJunJulAugSepOctNovDec";
  const char *date = __DATE__;
  int month = static_cast<int>((std::strstr(months, std::string(date, 3).c_str()) - months) / 3) + 1;
  int day = std::atoi(date + 4);
  int year = std::atoi(date + 7);
  char text[40];
  std::snprintf(text, sizeof text, "%04d/%02d/%02d %s", year, month, day, __TIME__);
  return text;
}

} // namespace

const std::string &version_text() {
  static const std::string text = [] {
    std::string release = KOR_RELEASE_DATE[0] ? std::string(", released ") + KOR_RELEASE_DATE
                                              : " of " + build_stamp();
    return std::string("KOR Shell version ") + KOR_VERSION + " (" + platform_name() + "/" +
           compiler_name() + ")" + release + ".";
  }();
  return text;
}

void show_version(bool features) {
  std::printf("%s\n", version_text().c_str());
  if (features) {
    std::printf("%s\n", fathom::banner());
    std::printf("Compiled features: AFN NODEBUG NOPIPE NOPOLL NOSIGNALS NOTERMIOS NOTHREADS \n");
  }
  std::printf("See %s for current information.\n", INFO_URL);
  std::printf("Send questions and comments to: %s\n", CONTACT);
  if (features) {
    std::fflush(stdout);
    std::exit(0);
  }
}

} // namespace KOR
