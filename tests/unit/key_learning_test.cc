// Raw key mode's special keys: key files, the fall-backs, and the learning
// dialogue, through a scripted screen and keyboard.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "kor/KeyLearning.h"

using namespace KOR;
namespace fs = std::filesystem;

namespace {

// The screen as rows of text, a keyboard of whole key sequences, and the
// messages written to standard error.
class FakeSetup : public KeySetupIO {
public:
  FakeSetup() : messages_(open_memstream(&buf_, &size_)) {}
  ~FakeSetup() override {
    std::fclose(messages_);
    std::free(buf_);
  }

  bool can_learn() const override { return learnable; }
  void end_screen() override { ended = true; }
  void clear() override {
    rows.clear();
    log.push_back("clear");
  }
  void show(int row, const std::string &text) override {
    rows[row] = text;
    log.push_back(std::to_string(row) + ":" + text);
  }
  int read_sequence(unsigned char *buf, int max) override {
    if (typed.empty()) throw std::runtime_error("read past the scripted keys");
    std::string s = typed.front();
    typed.pop_front();
    int n = static_cast<int>(std::min<size_t>(s.size(), static_cast<size_t>(max)));
    std::copy(s.begin(), s.begin() + n, buf);
    return n;
  }
  void pause() override { ++pauses; }
  FILE *messages() override { return messages_; }

  std::string written() {
    std::fflush(messages_);
    return std::string(buf_, size_);
  }

  bool learnable = true;
  bool ended = false;
  int pauses = 0;
  std::deque<std::string> typed;
  std::map<int, std::string> rows;
  std::vector<std::string> log;

private:
  char *buf_ = nullptr;
  size_t size_ = 0;
  FILE *messages_;
};

class KeyLoading : public testing::Test {
protected:
  void SetUp() override {
    char templ[] = "/tmp/korkeys.XXXXXX";
    root_ = mkdtemp(templ);
    env_.kordir = root_ + "/kor";
  }
  void TearDown() override { fs::remove_all(root_); }

  std::string path(const std::string &type) { return env_.kordir + "/term/" + type; }
  void write(const std::string &type, const std::string &text) {
    fs::create_directories(env_.kordir + "/term");
    std::ofstream(path(type)) << text;
  }
  std::string read(const std::string &type) {
    std::ifstream in(path(type));
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
  }
  // A key file of the built-in table with one entry changed.
  std::string builtin_file(int changed = -1, const std::string &line = "") {
    char *buf = nullptr;
    size_t size = 0;
    FILE *f = open_memstream(&buf, &size);
    write_key_file(f, SpecialKeys::builtin());
    std::fclose(f);
    std::istringstream in(std::string(buf, size));
    std::free(buf);
    std::string out, l;
    for (int i = 0; std::getline(in, l); ++i) out += (i == changed ? line : l) + "\n";
    return out;
  }
  // Sequences for all 39 keys: ESC O and a letter of its own.
  static std::deque<std::string> all_special() {
    std::deque<std::string> keys;
    for (int i = 0; i < SpecialKeys::COUNT; ++i) keys.push_back(std::string("\x1bO") + char('A' + i));
    return keys;
  }

  std::string root_;
  KeySetupEnv env_;
  FakeSetup io_;
  std::string type_;
};

TEST_F(KeyLoading, NoTerminalTypeIsDefaultWithoutTouchingFiles) {
  SpecialKeys keys = load_special_keys(env_, io_, false, &type_);
  EXPECT_EQ(type_, "default");
  EXPECT_EQ(keys.max_length(), 5);
  EXPECT_EQ(keys[0].length, 3);
  EXPECT_FALSE(fs::exists(env_.kordir));
  EXPECT_EQ(io_.written(), "");
  EXPECT_TRUE(io_.log.empty());
}

TEST_F(KeyLoading, KorTermWinsOverTerm) {
  write("mine", builtin_file(0, "Up_Arrow 3 0x1b 0x4f 0x41"));
  env_.korterm = "mine";
  env_.term = "xterm";
  SpecialKeys keys = load_special_keys(env_, io_, false, &type_);
  EXPECT_EQ(type_, "mine");
  EXPECT_EQ(keys[0].seq[1], 'O');
  EXPECT_EQ(io_.written(), "");
}

TEST_F(KeyLoading, TermWithAKeyFileUsesIt) {
  write("vt220", builtin_file(6, "Home 4 0x1b 0x5b 0x31 0x7e"));
  env_.term = "vt220";
  SpecialKeys keys = load_special_keys(env_, io_, false, &type_);
  EXPECT_EQ(type_, "vt220");
  EXPECT_EQ(keys[6].length, 4);
}

TEST_F(KeyLoading, TermWithoutAKeyFileWarnsOnceAndUsesTheBuiltinTable) {
  env_.term = "xterm";
  SpecialKeys keys = load_special_keys(env_, io_, false, &type_);
  EXPECT_EQ(type_, "default");
  EXPECT_EQ(io_.written(),
            "Warning: " + path("xterm") + " could not be opened; using default.\n");
  EXPECT_EQ(keys.max_length(), 5);
  EXPECT_TRUE(io_.log.empty());   // no learning
}

// The fatal messages go to the real standard error, for the death test to see.
struct StderrSetup : FakeSetup {
  FILE *messages() override { return stderr; }
};

TEST_F(KeyLoading, KorTermWithoutATerminalIsFatal) {
  env_.korterm = "myterm";
  EXPECT_EXIT(
      {
        StderrSetup io;
        io.learnable = false;
        load_special_keys(env_, io, false, &type_);
      },
      testing::ExitedWithCode(1),
      "^Fatal: TERM file " + path("myterm") +
          ": No such file or directory\\.\nRun interactively to create key file for KORTERM "
          "myterm\\.\n$");
  EXPECT_FALSE(fs::exists(path("myterm")));
}

TEST_F(KeyLoading, TheDialogueRowsAndTheLearnedFile) {
  env_.korterm = "myterm";
  io_.typed = all_special();
  io_.typed[11] = "\r";          // Menu: disabled
  io_.typed[27] = "\x1b";        // Shift-BackSpace: a lone ESC
  io_.typed[10] = "\x7f";        // BackSpace: one ordinary byte
  io_.typed[38] = "\x1bx";       // ExtPrefix: ESC and one byte
  io_.typed[12] = "\x1b[11;2~";  // F1: seven bytes
  SpecialKeys keys = load_special_keys(env_, io_, false, &type_);
  EXPECT_EQ(type_, "myterm");

  ASSERT_GE(io_.log.size(), 6u);
  EXPECT_EQ(io_.log[0], "clear");
  EXPECT_EQ(io_.log[1], "5:Can't read " + path("myterm") + ": No such file or directory.");
  EXPECT_EQ(io_.log[2], "6:Beginning interactive initialization for KORTERM myterm:");
  EXPECT_EQ(io_.log[3], "8:Initialize special keys by pressing each in turn.");
  EXPECT_EQ(io_.log[4], "9:If key doesn't respond, press <return> to continue.");
  EXPECT_EQ(io_.log[5], "11:Up_Arrow key: ");
  EXPECT_EQ(io_.log.back(), "12:");   // the ExtPrefix refusal, cleared
  // Each refusal: its message, a pause, the row cleared, then the next prompt.
  auto after = [&](const std::string &prompt) {
    auto it = std::find(io_.log.begin(), io_.log.end(), "11:" + prompt + " key: ");
    EXPECT_NE(it, io_.log.end()) << prompt;
    return std::vector<std::string>(it + 1, std::min(it + 4, io_.log.end()));
  };
  EXPECT_EQ(after("Menu"), (std::vector<std::string>{"12:Key disabled; continuing...", "12:",
                                                     "11:F1 key: "}));
  EXPECT_EQ(after("Shift-BackSpace")[0],
            "12:Key unusable (conflicts with ESC-prefix usage); disabled...");
  EXPECT_EQ(after("BackSpace")[0], "12:Key not special (doesn't begin with ESC); continuing...");
  EXPECT_EQ(after("ExtPrefix")[0],
            "12:Key unusable (conflicts with ESC-prefix usage); disabled...");
  EXPECT_EQ(after("Up_Arrow")[0], "11:Down_Arrow key: ");
  EXPECT_EQ(io_.pauses, 4);

  for (int i : {10, 11, 27, 38}) EXPECT_EQ(keys[i].length, 0) << i;
  EXPECT_EQ(keys[0].length, 3);
  EXPECT_EQ(keys[12].length, 7);
  EXPECT_EQ(keys.max_length(), 7);

  std::istringstream file(read("myterm"));
  std::vector<std::string> lines;
  for (std::string l; std::getline(file, l);) lines.push_back(l);
  ASSERT_EQ(lines.size(), 39u);
  EXPECT_EQ(lines[0], "Up_Arrow          3 0x1b 0x4f 0x41");
  EXPECT_EQ(lines[11], "Menu              0");
  EXPECT_EQ(lines[12], "F1                7 0x1b 0x5b 0x31 0x31 0x3b 0x32 0x7e");
  EXPECT_EQ(lines[27], "Shift-BackSpace   0");
  EXPECT_EQ(lines[38], "ExtPrefix         0");

  // The next run reads what was learned, without asking.
  FakeSetup again;
  SpecialKeys reread = load_special_keys(env_, again, false, &type_);
  EXPECT_TRUE(again.log.empty());
  for (int i = 0; i < SpecialKeys::COUNT; ++i) {
    EXPECT_EQ(reread[i].length, keys[i].length) << i;
    EXPECT_EQ(reread[i].seq, keys[i].seq) << i;
  }
}

TEST_F(KeyLoading, OneReadPerKey) {
  env_.korterm = "myterm";
  io_.typed = all_special();
  load_special_keys(env_, io_, false, &type_);
  EXPECT_TRUE(io_.typed.empty());   // exactly one read per key
  EXPECT_EQ(io_.pauses, 0);
}

TEST_F(KeyLoading, BadKeyFileIsDeletedAndLearnedAgain) {
  write("myterm", builtin_file(4, "Page_Up many"));
  env_.korterm = "myterm";
  io_.typed = all_special();
  SpecialKeys keys = load_special_keys(env_, io_, false, &type_);
  ASSERT_FALSE(io_.log.empty());
  EXPECT_EQ(io_.log[1], "5:Can't read " + path("myterm") + ": Invalid argument.");
  EXPECT_EQ(keys[4].seq[2], 'A' + 4);
  EXPECT_NE(read("myterm").find("Page_Up           3 0x1b 0x4f 0x45\n"), std::string::npos);
}

TEST_F(KeyLoading, BadKeyFileFromTermFallsBackToTheBuiltinTable) {
  write("xterm", builtin_file(4, "Page_Up many"));
  env_.term = "xterm";
  SpecialKeys keys = load_special_keys(env_, io_, false, &type_);
  EXPECT_EQ(type_, "default");
  EXPECT_FALSE(fs::exists(path("xterm")));
  EXPECT_EQ(io_.written(), "Warning: " + path("xterm") + " could not be opened; using default.\n");
  EXPECT_EQ(keys[4].length, 4);
}

TEST_F(KeyLoading, WithTheDebugFlagABadEntryIsReportedAndLeftDisabled) {
  write("myterm", builtin_file(4, "Page_Up many"));
  env_.korterm = "myterm";
  env_.debug = true;
  SpecialKeys keys = load_special_keys(env_, io_, false, &type_);
  // "many" is not a length: the scan stops there, and the next entry reads
  // the rest of the line as its name and length.
  EXPECT_EQ(io_.written().substr(0, 40), "key Page_Up not present? Found Page_Up\n\r");
  EXPECT_GE(io_.pauses, 1);
  EXPECT_EQ(keys[4].length, 0);
  EXPECT_EQ(keys[3].length, 3);
  EXPECT_TRUE(fs::exists(path("myterm")));
  EXPECT_TRUE(io_.log.empty());
}

TEST_F(KeyLoading, RelearnSkipsAGoodFile) {
  write("myterm", builtin_file());
  env_.korterm = "myterm";
  io_.typed = all_special();
  SpecialKeys keys = load_special_keys(env_, io_, true, &type_);
  EXPECT_EQ(keys[0].seq[1], 'O');
  EXPECT_EQ(read("myterm").substr(0, 35), "Up_Arrow          3 0x1b 0x4f 0x41\n");
}

TEST_F(KeyLoading, UnwritableKeyFileKeepsTheLearnedKeysForThisRun) {
  fs::create_directories(root_);
  std::ofstream(env_.kordir) << "a file, not a directory";
  env_.korterm = "myterm";
  io_.typed = all_special();
  SpecialKeys keys = load_special_keys(env_, io_, false, &type_);
  EXPECT_EQ(keys[0].length, 3);
  ASSERT_GE(io_.log.size(), 3u);
  EXPECT_EQ(io_.log[io_.log.size() - 2].substr(0, 14), "12:Can't write");
  EXPECT_EQ(io_.pauses, 1);
}

TEST_F(KeyLoading, OverlongTypeNameIsFatal) {
  std::string name(503, 't');
  env_.korterm = name.c_str();
  EXPECT_EXIT(load_special_keys(env_, io_, false, &type_),
              testing::ExitedWithCode(ENAMETOOLONG), "init_special");
}

TEST(LearnVerdict, WhichKeysAreKept) {
  auto verdict = [](const std::string &s) {
    const char *v = learn_verdict(reinterpret_cast<const unsigned char *>(s.data()),
                                  static_cast<int>(s.size()));
    return std::string(v ? v : "kept");
  };
  const std::string esc = "Key unusable (conflicts with ESC-prefix usage); disabled...";
  const std::string notSpecial = "Key not special (doesn't begin with ESC); continuing...";
  EXPECT_EQ(verdict("\x1b[A"), "kept");
  EXPECT_EQ(verdict("\x1b[1;5A"), "kept");
  EXPECT_EQ(verdict("\r"), "Key disabled; continuing...");
  EXPECT_EQ(verdict("\x1b"), esc);
  EXPECT_EQ(verdict("\x1bx"), esc);
  EXPECT_EQ(verdict("a"), notSpecial);
  EXPECT_EQ(verdict("\n"), notSpecial);
  EXPECT_EQ(verdict("\r\r"), notSpecial);
  EXPECT_EQ(verdict("[A~"), notSpecial);
  EXPECT_EQ(verdict(""), notSpecial);
}

} // namespace
