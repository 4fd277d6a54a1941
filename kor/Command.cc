#include "kor/Command.h"

#include <cstring>
#include <string_view>

#include "kor/Context.h"
#include "kor/NameHash.h"
#include "kor/handlers.h"

namespace OP {
namespace {

#include "commands_hash.inc"

} // namespace

const Command COMMANDS[IFN_COUNT] = {
#define KOR_CMD(ID, NAME, LOOKUP, DISPLAY, LABEL, FLAGS, FAST, HANDLER, OPT, BRIEF, HELP) \
  {NAME, LOOKUP, DISPLAY, LABEL, BRIEF, HELP, HANDLER, OPT, FAST, ifn_##ID, FLAGS},
#include "kor/commands.def"
#undef KOR_CMD
};

namespace {

// Index order is byte order of the names, user commands and internal ones apart.
constexpr const char *NAMES[] = {
#define KOR_CMD(ID, NAME, LOOKUP, DISPLAY, LABEL, FLAGS, FAST, HANDLER, OPT, BRIEF, HELP) NAME,
#include "kor/commands.def"
#undef KOR_CMD
};

constexpr bool is_letter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

constexpr bool table_in_order() {
  for (uint32_t i = 1; i < IFN_COUNT; ++i) {
    if (i == USER_COMMANDS) continue;
    const char *a = NAMES[i - 1], *b = NAMES[i];
    if (is_letter(a[0]) != is_letter(b[0])) {
      if (!is_letter(a[0])) return false;   // letters come before symbols
      continue;
    }
    if (std::string_view(a) >= std::string_view(b)) return false;
  }
  return true;
}
static_assert(table_in_order(), "command table records out of byte order");

const Command *probe(const uint32_t *seeds, const int16_t *slots, const char *word, size_t length,
                     bool aliasTable) {
  using namespace namehash;
  uint32_t seed = seeds[hash(word, length, 0) % BUCKETS];
  int16_t index = slots[hash(word, length, seed) % SLOTS];
  if (index < 0) return nullptr;
  const Command &c = COMMANDS[index];
  std::string_view key = c.name;
  char low[16];
  if (aliasTable) {
    if (c.lookup) {
      key = c.lookup;
    } else {
      size_t n = std::strlen(c.name);
      for (size_t i = 0; i < n; ++i)
        low[i] = static_cast<char>(c.name[i] >= 'A' && c.name[i] <= 'Z' ? c.name[i] + 32 : c.name[i]);
      key = std::string_view(low, n);
    }
  }
  if (key.size() != length || key[0] != word[0]) return nullptr;
  return std::memcmp(key.data(), word, length) == 0 ? &c : nullptr;
}

} // namespace

const Command *find(const char *word, size_t length, bool aliases) {
  if (length < 1 || length > 8) return nullptr;
  if (aliases && word[0] >= 'a' && word[0] <= 'z')
    return probe(ALIAS_SEEDS, ALIAS_SLOTS, word, length, true);
  return probe(EXACT_SEEDS, EXACT_SLOTS, word, length, false);
}

const Command *find_interactive(const char *word, size_t length) {
  if (length < 4 || length > 10) return nullptr;
  return probe(INTERACTIVE_SEEDS, INTERACTIVE_SLOTS, word, length, false);
}

EXEC::Status pending(KOR::Context &cx) {
  return cx.fail(cx.SP ? *cx.SP : nullptr, KOR::ERR_UNDER_CONSTRUCTION, 0, false);
}

} // namespace OP
