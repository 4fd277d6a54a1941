// The "~" commands: parsing, their messages, the geometry commands, and
// reading and writing files with the summaries they report.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "kor/Editor.h"
#include "unit/screen_fixture.h"

using namespace KOR;

namespace {

class TildeCommands : public screen::ScreenTest {
protected:
  void SetUp() override {
    ScreenTest::SetUp();
    char tmpl[] = "/tmp/kor_tilde_XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir_ = tmpl;
  }
  void TearDown() override {
    std::string cmd = "rm -rf '" + dir_ + "'";
    EXPECT_EQ(std::system(cmd.c_str()), 0);
    ScreenTest::TearDown();
  }
  std::string path(const std::string &name) const { return dir_ + "/" + name; }
  void write(const std::string &name, const std::string &content) const {
    std::ofstream(path(name), std::ios::binary) << content;
  }
  std::string read(const std::string &name) const {
    std::ifstream in(path(name), std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }

  std::string dir_;
};

TEST(ParseTilde, LetterThenTheArgumentAfterBlanks) {
  auto p = parse_tilde("~  r   my file.txt  ");
  EXPECT_EQ(p.letter, 'r');
  EXPECT_EQ(p.argument, "my file.txt");
  p = parse_tilde("~w/tmp/x");
  EXPECT_EQ(p.letter, 'w');
  EXPECT_EQ(p.argument, "/tmp/x");
  p = parse_tilde("~");
  EXPECT_EQ(p.letter, 0);
  p = parse_tilde("~   ");
  EXPECT_EQ(p.letter, 0);
  p = parse_tilde("~i");
  EXPECT_EQ(p.letter, 'i');
  EXPECT_EQ(p.argument, "");
}

TEST(FileSummary, PluralsForReadsAndWrites) {
  EXPECT_EQ(file_summary("f", 4, 6, false), " \"f\"  4 lines, 6 characters");
  EXPECT_EQ(file_summary("f", 1, 1, false), " \"f\"  1 line, 1 character");
  EXPECT_EQ(file_summary("f", 1, 0, false), " \"f\"  1 line, 0 characters");
  EXPECT_EQ(file_summary("f", 1, 1, true), " \"f\"  1 line, 1 character");
  EXPECT_EQ(file_summary("f", 0, 0, true), " \"f\"  0 line, 0 character");
  EXPECT_EQ(file_summary("f", 2, 2, true), " \"f\"  2 lines, 2 characters");
}

TEST_F(TildeCommands, BadCommandsAndMissingArguments) {
  Editor ed;
  ed.run_tilde("~x");
  EXPECT_EQ(ed.message, " Invalid ~ command (not in [eirsvw]).");
  EXPECT_EQ(row(21), "  Invalid ~ command (not in [eirsvw]).");   // from column 1
  EXPECT_EQ(grid->beeps, 1);
  for (const char *cmd : {"~r", "~W  ", "~e", "~S"}) {
    ed.run_tilde(cmd);
    EXPECT_EQ(ed.message, " Invalid ~ command (no argument).") << cmd;
  }
  ed.run_tilde("~v");
  EXPECT_EQ(ed.message, " Not supported on this platform.");
  ed.readOnly = true;
  ed.run_tilde("~V");
  EXPECT_EQ(ed.message, " Buffer is read-only.");
  ed.run_tilde("~r somefile");
  EXPECT_EQ(ed.message, " Buffer is read-only.");
}

TEST_F(TildeCommands, VersionIsAMessageNotAnError) {
  Editor ed;
  int beeps = grid->beeps;
  ed.run_tilde("~ I");
  EXPECT_EQ(ed.message.rfind(" KOR Shell version ", 0), 0u) << ed.message;
  EXPECT_EQ(grid->beeps, beeps);
}

TEST_F(TildeCommands, StackAndEditorRowsAskForARedraw) {
  Editor ed;
  ed.run_tilde("~s 5");
  EXPECT_EQ(display().geom().main, 5);
  EXPECT_EQ(display().geom().edit, 11);
  EXPECT_EQ(coder().next_code(), IC_REDRAW);
  ed.run_tilde("~E 3");
  EXPECT_EQ(display().geom().main, 13);
  EXPECT_EQ(display().geom().edit, 3);
  EXPECT_EQ(coder().next_code(), IC_REDRAW);
  // The split is kept for a resized window.
  EXPECT_EQ(display().editHint, 3);
  EXPECT_EQ(display().mainHint, 0);
  ed.run_tilde("~s none");   // no number: back to the default split
  EXPECT_EQ(display().geom().main, 9);
  EXPECT_EQ(coder().next_code(), IC_REDRAW);
}

TEST_F(TildeCommands, ReadingThreeLinesReportsFourLinesAndSixCharacters) {
  write("abc", "a\nb\nc\n");
  Editor ed;
  EditorMessage m = ed.read_file(path("abc"));
  EXPECT_FALSE(m.error);
  EXPECT_EQ(m.text, " \"" + path("abc") + "\"  4 lines, 6 characters");
  EXPECT_EQ(ed.text(), "a\nb\nc\n");
  EXPECT_EQ(ed.lines.size(), 4u);
  EXPECT_EQ(ed.line_index(), 0u);   // the buffer was empty: the cursor goes to the start
  EXPECT_EQ(ed.col, 1u);
}

TEST_F(TildeCommands, WriteThenReadRoundTrip) {
  Editor ed;
  ed.set_text("a\nb\nc");
  EditorMessage w = ed.write_file(path("out"));
  EXPECT_FALSE(w.error);
  EXPECT_EQ(w.text, " \"" + path("out") + "\"  3 lines, 6 characters");
  EXPECT_EQ(read("out"), "a\nb\nc\n");
  Editor back;
  EXPECT_EQ(back.read_file(path("out")).text, " \"" + path("out") + "\"  4 lines, 6 characters");
  EXPECT_EQ(back.text(), "a\nb\nc\n");
}

TEST_F(TildeCommands, TextReadInsideALineKeepsTheRestOnALineOfItsOwn) {
  write("two", "1\n2");
  Editor ed;
  ed.set_text("xy");
  ed.col = 2;   // between x and y
  EXPECT_EQ(ed.read_file(path("two")).text, " \"" + path("two") + "\"  2 lines, 3 characters");
  EXPECT_EQ(ed.text(), "x1\n2\ny");
  EXPECT_EQ(ed.line_index(), 0u);   // back where the text went in
  EXPECT_EQ(ed.col, 2u);
}

TEST_F(TildeCommands, TextReadAtTheEndOfALineStartsANewLine) {
  write("z", "z\n");
  Editor ed;
  ed.set_text("ab");
  ed.col = 3;
  ed.read_file(path("z"));
  EXPECT_EQ(ed.text(), "ab\nz\n");
  EXPECT_EQ(ed.line_index(), 1u);
  EXPECT_EQ(ed.col, 1u);
}

TEST_F(TildeCommands, ControlBytesAreDroppedAndCounted) {
  write("ctl", "a\tb\r\n\x01" "c");
  Editor ed;
  EXPECT_EQ(ed.read_file(path("ctl")).text, " \"" + path("ctl") + "\"  2 lines, 7 characters");
  EXPECT_EQ(ed.text(), "ab\nc");
}

TEST_F(TildeCommands, FailuresNameTheFileAsTyped) {
  Editor ed;
  EditorMessage r = ed.read_file(path("missing"));
  EXPECT_TRUE(r.error);
  EXPECT_EQ(r.text, " Unable to read \"" + path("missing") + "\": No such file or directory.");
  EditorMessage w = ed.write_file(dir_);   // a directory cannot be written as a file
  EXPECT_TRUE(w.error);
  EXPECT_EQ(w.text, " Unable to write \"" + dir_ + "\": Is a directory.");
  EXPECT_TRUE(ed.is_empty());
}

TEST_F(TildeCommands, TheTildeKeyReadsTheCommandOnThePromptRow) {
  write("in", "7 8");
  Editor ed;
  ed.set_text("");
  std::string line = "r " + path("in");
  for (char c : line) keys.keys.push_back(static_cast<unsigned char>(c));
  keys.keys.push_back('\r');
  key(ed, '~');
  EXPECT_EQ(ed.text(), "7 8");
  EXPECT_EQ(row(21), "  \"" + path("in") + "\"  1 line, 3 characters");
}

TEST_F(TildeCommands, APromptLeftWithCtlCDoesNothing) {
  Editor ed;
  keys.keys = {'w', ' ', 'x', 3};
  key(ed, '~');
  EXPECT_EQ(ed.message, "");
  EXPECT_EQ(row(21), "");
  EXPECT_TRUE(ed.is_empty());
}

TEST_F(TildeCommands, TildeOutsideTheTerminalIsText) {
  coder().inputFd = 3;
  Editor ed;
  key(ed, '~');
  key(ed, ';');
  EXPECT_EQ(ed.text(), "~;");
}

} // namespace
