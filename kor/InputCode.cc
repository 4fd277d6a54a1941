#include "kor/InputCode.h"

namespace KOR {
namespace {

struct NamedCode {
  InputCode code;
  const char *name;
};

constexpr NamedCode NAMED_CODES[] = {
    {0, "Null"},           {27, "ESC"},
    {28, "Ctl-\\"},        {29, "Ctl-]"},
    {30, "Ctl-^"},         {31, "Ctl-_"},
    {127, "DEL"},          {128, "META"},
    {256, "IC_EXT"},       {257, "Up"},
    {258, "Down"},         {259, "Right"},
    {260, "Left"},         {261, "Shift-Up"},
    {262, "Shift-Down"},   {263, "Shift-Right"},
    {264, "Shift-Left"},   {265, "PageUp"},
    {266, "PageDown"},     {267, "End"},
    {268, "Home"},         {269, "BackSpace"},
    {270, "Delete"},       {271, "Shift-BackSpace"},
    {272, "Shift-Delete"}, {273, "Insert"},
    {274, "Help"},         {275, "Clear"},
    {276, "NewLine"},      {277, "Local"},
    {278, "EVAL"},         {279, "EOF"},
    {280, "INT"},          {281, "TSTP"},
    {282, "QUIT"},         {283, "TERM"},
    {284, "WINCH"},        {285, "REDRAW"},
    {286, "PULSE"},        {287, "INPUT"},
    {288, "PROC"},         {289, "COMP"},
    {0x3fff, "IC_NULL"},
};

const char *named(InputCode k) {
  for (const NamedCode &n : NAMED_CODES)
    if (n.code == k) return n.name;
  return nullptr;
}

} // namespace

const char *key_name(InputCode code) {
  static char text[32];
  InputCode k = code & IC_MASK;
  const char *prefix = (code & IC_META_BIT) ? "Meta-" : "";
  if (k >= 1 && k <= 26) {
    std::snprintf(text, sizeof text, "%sCtl-%c", prefix, static_cast<char>(k + 64));
  } else if (k >= 32 && k <= 126) {
    std::snprintf(text, sizeof text, "%s'%c'", prefix, static_cast<char>(k));
  } else if (k >= 290 && k <= 299) {
    std::snprintf(text, sizeof text, "%sF%d", prefix, k - 289);
  } else if (k >= 300 && k <= 309) {
    std::snprintf(text, sizeof text, "%sShift-F%d", prefix, k - 299);
  } else if (k >= 310 && k <= 335) {
    std::snprintf(text, sizeof text, "%sMenu-%c", prefix, static_cast<char>(k - 245));
  } else if (const char *name = named(k)) {
    std::snprintf(text, sizeof text, "%s%s", prefix, name);
  } else {
    std::snprintf(text, sizeof text, "%s0x%04x", prefix, static_cast<unsigned>(k));
  }
  return text;
}

int read_trace_code(FILE *in) {
  int b = std::fgetc(in);
  if (b == EOF) return -1;
  if (b != 0x00 && b != 0x80) return b;
  int c = std::fgetc(in);
  if (c == EOF) return -1;
  if (b == 0x80) return c + IC_META_BIT;
  if (c == 0x00 || c == 0x80) return c;
  return 0x100 + (c & 0x7f) + ((c & 0x80) ? IC_META_BIT : 0);
}

int encode_trace_code(InputCode code, unsigned char out[2]) {
  bool meta = (code & IC_META_BIT) != 0;
  if (code & 0x100) {
    out[0] = 0x00;
    out[1] = static_cast<unsigned char>((meta ? code - 128 : code) & 0xff);
    return 2;
  }
  if (meta) {
    out[0] = 0x80;
    out[1] = static_cast<unsigned char>(code & 0xff);
    return 2;
  }
  if (code == 0 || code == 128) {
    out[0] = 0x00;
    out[1] = static_cast<unsigned char>(code);
    return 2;
  }
  out[0] = static_cast<unsigned char>(code & 0xff);
  return 1;
}

} // namespace KOR
