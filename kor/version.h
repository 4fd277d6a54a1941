// Version texts of the shell.
#pragma once

#include <string>

namespace KOR {

extern const char *const INFO_URL;
extern const char *const CONTACT;

// "KOR Shell version <n> (<platform>/<compiler>) of <build date>." or
// "..., released <date>." for a configured release.
const std::string &version_text();

// Prints the version text and the contact lines on standard output; with
// `features` also Fathom's banner and the compiled features, then exits 0.
void show_version(bool features);

} // namespace KOR
