#include "kor/KeyLearning.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "kor/kor_error.h"

namespace KOR {

namespace {

constexpr size_t TYPE_NAME_MAX = 502;   // the longest type that fits a path buffer

struct BadEntryCtx {
  KeySetupIO *io;
  const SpecialKeys *keys;
};

// -@: a bad entry is reported and left disabled, so a broken key file can be
// examined instead of being deleted.
void report_bad_entry(void *ctx, int index, const char *word) {
  auto *c = static_cast<BadEntryCtx *>(ctx);
  std::fprintf(c->io->messages(), "key %s not present? Found %s\n\r", (*c->keys)[index].name, word);
  c->io->pause();
}

[[noreturn]] void cannot_learn(KeySetupIO &io, const std::string &path, int err,
                               const std::string &type) {
  io.end_screen();
  std::fprintf(io.messages(), "Fatal: TERM file %s: %s.\n", path.c_str(), std::strerror(err));
  std::fprintf(io.messages(), "Run interactively to create key file for KORTERM %s.\n",
               type.c_str());
  std::exit(1);
}

void notice(KeySetupIO &io, const std::string &text) {
  io.show(12, text);
  io.pause();
  io.show(12, "");
}

// The file is kept for the next run; when it cannot be written the learned
// keys still serve this run, and the user is told why they will be asked again.
void save_keys(KeySetupIO &io, const std::string &kordir, const std::string &path,
               const SpecialKeys &keys) {
  mkdir(kordir.c_str(), 0777);
  mkdir((kordir + "/term").c_str(), 0777);
  FILE *out = std::fopen(path.c_str(), "w");
  if (out) {
    write_key_file(out, keys);
    if (std::fclose(out) == 0) return;
  }
  notice(io, "Can't write " + path + ": " + std::strerror(errno) + ".");
}

SpecialKeys learn_and_save(KeySetupIO &io, const KeySetupEnv &env, const std::string &path,
                           int err, const std::string &type) {
  io.clear();
  io.show(5, "Can't read " + path + ": " + std::strerror(err) + ".");
  io.show(6, "Beginning interactive initialization for KORTERM " + type + ":");
  io.show(8, "Initialize special keys by pressing each in turn.");
  io.show(9, "If key doesn't respond, press <return> to continue.");
  SpecialKeys keys;
  learn_keys(io, keys);
  save_keys(io, env.kordir, path, keys);
  return keys;
}

} // namespace

const char *learn_verdict(const unsigned char *bytes, int n) {
  bool esc = n >= 1 && bytes[0] == IC_ESC;
  if (esc && n >= 3) return nullptr;
  if (n == 1 && bytes[0] == 13) return "Key disabled; continuing...";
  if (esc) return "Key unusable (conflicts with ESC-prefix usage); disabled...";
  return "Key not special (doesn't begin with ESC); continuing...";
}

void learn_keys(KeySetupIO &io, SpecialKeys &keys) {
  for (int i = 0; i < SpecialKeys::COUNT; ++i) {
    io.show(11, std::string(keys[i].name) + " key: ");
    unsigned char bytes[SpecialKeys::MAX_SEQUENCE];
    int n = io.read_sequence(bytes, SpecialKeys::MAX_SEQUENCE);
    const char *refusal = learn_verdict(bytes, n);
    if (refusal) {
      notice(io, refusal);
      keys.disable(i);
    } else {
      keys.set(i, bytes, n);
    }
  }
}

SpecialKeys load_special_keys(const KeySetupEnv &env, KeySetupIO &io, bool relearn,
                              std::string *type) {
  *type = env.korterm ? env.korterm : env.term ? env.term : "default";
  for (;;) {
    if (*type == "default") return SpecialKeys::builtin();
    if (type->size() > TYPE_NAME_MAX) kor_error(ENAMETOOLONG, "Terminal", __LINE__, "init_special");
    std::string path = key_file_path(env.kordir, *type);
    // A bad file deleted for relearning has no open error of its own.
    int err = EINVAL;
    FILE *in = nullptr;
    if (!relearn) {
      in = std::fopen(path.c_str(), "r");
      err = errno;
    }
    if (in) {
      SpecialKeys keys;
      BadEntryCtx ctx{&io, &keys};
      int bad = read_key_file(in, keys, env.debug ? report_bad_entry : nullptr, &ctx);
      std::fclose(in);
      if (bad == 0 || env.debug) return keys;
      std::remove(path.c_str());
      relearn = true;
      continue;
    }
    if (!env.korterm) {
      std::fprintf(io.messages(), "Warning: %s could not be opened; using %s.\n", path.c_str(),
                   "default");
      *type = "default";
      continue;
    }
    if (!io.can_learn()) cannot_learn(io, path, err, *type);
    return learn_and_save(io, env, path, err, *type);
  }
}

} // namespace KOR
