// The fixed parts of the screen as composed pieces: the row split, the
// status bar at every width class, the clock and date, the busy indicator,
// the label layout score, the legend layouts, attributes and error texts.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <map>

#include "kor/Display.h"
#include "kor/DisplayParts.h"
#include "kor/LabelLayout.h"
#include "kor/Surface.h"

using namespace KOR;

namespace {

constexpr int B = ATTR_BOLD;

// Pieces painted onto blank rows; trailing blanks removed.
std::map<int, std::string> render(const std::vector<Piece> &pieces) {
  std::map<int, std::string> rows;
  for (const Piece &p : pieces) {
    std::string &r = rows[p.row];
    size_t end = static_cast<size_t>(p.col) + p.text.size();
    if (r.size() < end) r.resize(end, ' ');
    r.replace(static_cast<size_t>(p.col), p.text.size(), p.text);
  }
  for (auto &[row, text] : rows) text.erase(text.find_last_not_of(' ') + 1);
  return rows;
}

// The attribute of the piece covering (row, col); -1 when none does.
int attr_at(const std::vector<Piece> &pieces, int row, int col) {
  for (const Piece &p : pieces)
    if (p.row == row && col >= p.col && col < p.col + static_cast<int>(p.text.size())) return p.attr;
  return -1;
}

std::tm sunday_dec_6_2026(int hour, int minute) {
  std::tm t{};
  t.tm_year = 126;
  t.tm_mon = 11;
  t.tm_mday = 6;
  t.tm_wday = 0;
  t.tm_hour = hour;
  t.tm_min = minute;
  return t;
}

// ---- Geometry --------------------------------------------------------------------

TEST(Geometry, DefaultSplitGivesSixTenthsToTheStack) {
  Geometry g;
  ASSERT_TRUE(make_geometry(24, 80, 0, 0, &g));
  EXPECT_EQ(g.main, 9);
  EXPECT_EQ(g.edit, 7);
  // Rows: status 0-1, stack 2-10, stack errors 11, labels 12, editor status
  // 13, editor 14-20, lower messages 21 = the first legend row.
  EXPECT_EQ(g.stack_message_row(), 11);
  EXPECT_EQ(g.label_row(), 12);
  EXPECT_EQ(g.edit_status_row(), 13);
  EXPECT_EQ(g.edit_top(), 14);
  EXPECT_EQ(g.message_row(), 21);
  EXPECT_EQ(g.legend_top(), 21);
}

TEST(Geometry, SmallestScreenAndRefusals) {
  Geometry g;
  ASSERT_TRUE(make_geometry(12, 40, 0, 0, &g));
  EXPECT_EQ(g.main, 2);
  EXPECT_EQ(g.edit, 2);
  EXPECT_FALSE(make_geometry(11, 80, 0, 0, &g));
  EXPECT_FALSE(make_geometry(24, 39, 0, 0, &g));
}

TEST(Geometry, HintsSetOneAreaAndTheEditorTakesTheRest) {
  Geometry g;
  ASSERT_TRUE(make_geometry(24, 80, 5, 0, &g));
  EXPECT_EQ(g.main, 5);
  EXPECT_EQ(g.edit, 11);
  ASSERT_TRUE(make_geometry(24, 80, 0, 3, &g));
  EXPECT_EQ(g.main, 13);
  EXPECT_EQ(g.edit, 3);
  ASSERT_TRUE(make_geometry(24, 80, 5, 3, &g));   // both: the default split
  EXPECT_EQ(g.main, 9);
  // A hint never leaves the other area without a row.
  ASSERT_TRUE(make_geometry(24, 80, 100, 0, &g));
  EXPECT_EQ(g.main, 15);
  EXPECT_EQ(g.edit, 1);
  ASSERT_TRUE(make_geometry(24, 80, 0, 100, &g));
  EXPECT_EQ(g.main, 1);
  EXPECT_EQ(g.edit, 15);
}

TEST(SetGeomDeathTest, TooSmallScreensEndTheShellThroughTheErrorRoutine) {
  EXPECT_EXIT(display().set_geom(24, 39, 0, 0), testing::ExitedWithCode(EINVAL), "set_geom");
  EXPECT_EXIT(display().set_geom(11, 80, 0, 0), testing::ExitedWithCode(EINVAL), "set_geom");
}

TEST(SetGeom, ZeroKeepsTheCurrentSize) {
  Display &d = display();
  d.set_geom(30, 100, 0, 0);
  d.set_geom(0, 0, 4, 0);
  EXPECT_EQ(d.geom().rows, 30);
  EXPECT_EQ(d.geom().cols, 100);
  EXPECT_EQ(d.geom().main, 4);
  d.set_geom(24, 80, 0, 0);
  EXPECT_EQ(d.geom().main, 9);
}

// ---- Attributes ------------------------------------------------------------------

TEST(RoleAttr, ColourPairsAndTheMonochromeFallback) {
  EXPECT_EQ(role_attr(Role::Error, true), B | PAIR_RED);
  EXPECT_EQ(role_attr(Role::Mode, true), B | PAIR_GREEN);
  EXPECT_EQ(role_attr(Role::Label, true), B | PAIR_WHITE_ON_BLUE);
  EXPECT_EQ(role_attr(Role::Info, true), B | PAIR_YELLOW);
  EXPECT_EQ(role_attr(Role::Process, true), B | PAIR_CYAN);
  EXPECT_EQ(role_attr(Role::Legend, true), B | PAIR_MAGENTA);
  EXPECT_EQ(role_attr(Role::Separator, true), B);
  EXPECT_EQ(role_attr(Role::Plain, true), 0);
  // Without colours: label text bold reverse, everything else highlighted bold.
  EXPECT_EQ(role_attr(Role::Label, false), B | ATTR_REVERSE);
  for (Role r : {Role::Error, Role::Mode, Role::Info, Role::Process, Role::Legend, Role::Separator})
    EXPECT_EQ(role_attr(r, false), B);
  EXPECT_EQ(role_attr(Role::Plain, false), 0);
}

// ---- Clock and date ----------------------------------------------------------------

TEST(Clock, TwelveHourClockWithMidnightAndNoonAsTwelve) {
  EXPECT_EQ(clock_text(sunday_dec_6_2026(0, 0)), "12:00am");
  EXPECT_EQ(clock_text(sunday_dec_6_2026(12, 0)), "12:00pm");
  EXPECT_EQ(clock_text(sunday_dec_6_2026(9, 30)), " 9:30am");
  EXPECT_EQ(clock_text(sunday_dec_6_2026(11, 59)), "11:59am");
  EXPECT_EQ(clock_text(sunday_dec_6_2026(13, 5)), " 1:05pm");
  EXPECT_EQ(clock_text(sunday_dec_6_2026(23, 59)), "11:59pm");
}

TEST(Clock, DateWithThreeLetterNamesAndAPaddedDay) {
  EXPECT_EQ(date_text(sunday_dec_6_2026(0, 0)), "Sun, Dec  6, 2026");
  std::tm t = sunday_dec_6_2026(0, 0);
  t.tm_wday = 3;
  t.tm_mon = 4;
  t.tm_mday = 27;
  t.tm_year = 99;
  EXPECT_EQ(date_text(t), "Wed, May 27, 1999");
}

// ---- Status bar --------------------------------------------------------------------

StatusInfo info_at(int hour, int minute) {
  StatusInfo info;
  info.when = sunday_dec_6_2026(hour, minute);
  return info;
}

TEST(StatusBar, At72ColumnsTheFieldsStartAtZeroAndTheClockEndsAt71) {
  StatusInfo info = info_at(0, 0);
  info.marker = true;
  auto pieces = status_pieces(info, 72, true);
  auto rows = render(pieces);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0], "*MAIN  hex-64   std   rad/rect                 Sun, Dec  6, 2026 12:00am");
  EXPECT_EQ(rows[0].size(), 72u);
  EXPECT_EQ(attr_at(pieces, 0, 0), B | PAIR_RED);       // the marker
  EXPECT_EQ(attr_at(pieces, 0, 1), B | PAIR_GREEN);     // MAIN
  EXPECT_EQ(attr_at(pieces, 0, 7), B | PAIR_GREEN);     // hex
  EXPECT_EQ(attr_at(pieces, 0, 10), B);                 // the "-" separator
  EXPECT_EQ(attr_at(pieces, 0, 11), B | PAIR_GREEN);    // 64
  EXPECT_EQ(attr_at(pieces, 0, 25), B);                 // the "/" separator
  EXPECT_EQ(attr_at(pieces, 0, 47), B | PAIR_YELLOW);   // date
  EXPECT_EQ(attr_at(pieces, 0, 71), B | PAIR_YELLOW);   // clock
  EXPECT_EQ(pulse_column(72), 33);
}

TEST(StatusBar, At80ColumnsTheFieldsWidenByOneStep) {
  StatusInfo info = info_at(12, 0);
  info.header.kind = StackHeader::UNDO;
  info.format.base = DisplayFormat::DEC;
  info.format.setWordSize(32);
  info.format.format = DisplayFormat::FIX;
  info.format.digits = 4;
  info.format.flags |= DisplayFormat::DEGREES | DisplayFormat::XPREC;
  info.format.vecMode = 1;
  auto pieces = status_pieces(info, 80, true);
  auto rows = render(pieces);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0], " UNDO   dec-32   fix-4   deg/cylin           xprec   Sun, Dec  6, 2026  12:00pm");
  EXPECT_EQ(attr_at(pieces, 0, 1), B | PAIR_YELLOW);   // UNDO is yellow
  EXPECT_EQ(attr_at(pieces, 0, 45), B | PAIR_GREEN);   // xprec
  EXPECT_EQ(pulse_column(80), 37);
}

TEST(StatusBar, At40ColumnsTheBarTakesTwoRows) {
  StatusInfo info = info_at(13, 5);
  info.header = {StackHeader::PROCESS, 7};
  info.format.base = DisplayFormat::BIN;
  info.format.setWordSize(8);
  info.format.format = DisplayFormat::SCI;
  info.format.digits = 10;
  info.format.flags |= DisplayFormat::XPREC;
  info.format.vecMode = 2;
  auto pieces = status_pieces(info, 40, false);
  auto rows = render(pieces);
  EXPECT_EQ(rows[0], "  #007  bin-8          Sun, Dec  6, 2026");
  EXPECT_EQ(rows[1], " xprec  sci-10         rad/spher  1:05pm");
  EXPECT_EQ(attr_at(pieces, 0, 2), B);   // "#": cyan, bold without colours
  EXPECT_EQ(attr_at(pieces, 0, 3), 0);   // the number is plain
  EXPECT_EQ(pulse_column(40), 16);
}

TEST(StatusBar, NarrowScreensWithRoomKeepTheClockOnTheFirstRow) {
  StatusInfo info = info_at(23, 59);
  info.marker = true;
  info.header.kind = StackHeader::OTHER;
  auto rows = render(status_pieces(info, 71, true));
  // k = 5, g = 8: g > 7 puts the clock on row 0 at g + 3k + 41.
  EXPECT_EQ(rows[0], "         *#???       hex-64                   Sun, Dec  6, 2026 11:59pm");
  EXPECT_EQ(rows[1], "                      std                     rad/rect");
}

TEST(StatusBar, WideScreensSpreadTheFieldsAndCentreThem) {
  StatusInfo info = info_at(0, 0);
  info.marker = true;
  info.format.flags |= DisplayFormat::XPREC;
  auto pieces = status_pieces(info, 200, true);
  // k = 5 (the most), g = 46.
  const std::pair<int, const char *> starts[] = {{46, "*"},  {47, "MAIN"},   {58, "hex-64"},
                                                  {71, " std"}, {83, "rad/rect "}, {111, "xprec"},
                                                  {123, "Sun, Dec  6, 2026"}, {146, "12:00am"}};
  std::string row = render(pieces)[0];
  for (auto [col, text] : starts) EXPECT_EQ(row.substr(static_cast<size_t>(col), std::strlen(text)), text);
  EXPECT_EQ(pulse_column(200), 99);
}

TEST(StatusBar, FormatFieldForms) {
  StatusInfo info = info_at(0, 0);
  info.format.format = DisplayFormat::STD;
  info.format.digits = 5;   // std with a digit count shows it
  EXPECT_EQ(render(status_pieces(info, 72, true))[0].substr(15, 6), "std-5 ");
  info.format.format = DisplayFormat::ENG;
  info.format.digits = 12;
  EXPECT_EQ(render(status_pieces(info, 72, true))[0].substr(15, 6), "eng-12");
}

// ---- Busy indicator ----------------------------------------------------------------

std::string pulse_text(const std::vector<Piece> &pieces) {
  std::string s;
  for (const Piece &p : pieces) s += p.text;
  return s;
}

TEST(Pulse, IdleIsPlainParentheses) {
  auto p = pulse_pieces(PulseValues{}, '*', 33, true);
  EXPECT_EQ(pulse_text(p), "(   )");
  for (const Piece &piece : p) EXPECT_EQ(piece.attr, 0);
  EXPECT_EQ(p.front().col, 33);
  EXPECT_EQ(p.back().col, 37);
}

TEST(Pulse, JobsShowInnerAndOuterBracketsAndTheBusyColour) {
  auto p = pulse_pieces(PulseValues{1, true, false}, '*', 0, true);
  EXPECT_EQ(pulse_text(p), "((*))");
  EXPECT_EQ(p[0].attr, B);
  EXPECT_EQ(p[2].attr, B | PAIR_GREEN);
  EXPECT_EQ(pulse_text(pulse_pieces(PulseValues{1, true, true}, '*', 0, true)), "[(*)]");
  EXPECT_EQ(pulse_text(pulse_pieces(PulseValues{1, false, true}, ' ', 0, true)), "[   ]");
  EXPECT_EQ(pulse_pieces(PulseValues{2, true, false}, '*', 0, true)[2].attr, B | PAIR_YELLOW);
  EXPECT_EQ(pulse_pieces(PulseValues{3, true, false}, '*', 0, true)[2].attr, B | PAIR_RED);
  EXPECT_EQ(pulse_pieces(PulseValues{3, true, false}, '*', 0, false)[2].attr, B);
  // The busy character is blank whenever s is 0.
  EXPECT_EQ(pulse_text(pulse_pieces(PulseValues{0, true, false}, '*', 0, true)), "(( ))");
}

// ---- Label layout ------------------------------------------------------------------

TEST(LabelBounds, ByScreenWidth) {
  auto bounds = [](int w) { LabelBounds b = label_bounds(w); return std::make_pair(b.min, b.max); };
  EXPECT_EQ(bounds(40), std::make_pair(4, 5));
  EXPECT_EQ(bounds(47), std::make_pair(4, 5));
  EXPECT_EQ(bounds(48), std::make_pair(4, 6));
  EXPECT_EQ(bounds(80), std::make_pair(6, 8));
  EXPECT_EQ(bounds(99), std::make_pair(8, 9));
  EXPECT_EQ(bounds(100), std::make_pair(8, 10));
  EXPECT_EQ(bounds(120), std::make_pair(10, 10));
  EXPECT_EQ(bounds(121), std::make_pair(10, 10));
}

// The first page of the Real menu: Neg Abs Sign Sqrt Cbrt Xrt Fact Pi.
const std::vector<int> REAL_PAGE = {3, 3, 4, 4, 4, 3, 4, 2};

TEST(LabelLayout, RealMenuAt80ColumnsTiesSevenAndEightAndTakesEight) {
  // Eight labels: p = 10, odd slacks of 5 shrink to width 7 and free a column
  // each, leaving 4 spare columns; no room for wider gaps.
  LabelLayout eight = layout_labels(REAL_PAGE, 8, 80);
  EXPECT_EQ(eight.widths, (std::vector<int>{7, 7, 8, 8, 8, 7, 8, 8}));
  EXPECT_EQ(eight.margin, 2);
  EXPECT_EQ(eight.separator, 1);
  EXPECT_EQ(eight.score, 8);
  // Seven labels: wider gaps (separator 2) earn the point the eighth label would.
  LabelLayout seven = layout_labels(REAL_PAGE, 7, 80);
  EXPECT_EQ(seven.separator, 2);
  EXPECT_EQ(seven.score, 8);
  EXPECT_EQ(layout_labels(REAL_PAGE, 6, 80).score, 7);
  LabelLayout chosen = choose_labels(REAL_PAGE, 80);
  EXPECT_EQ(chosen.count, 8);
  EXPECT_GE(chosen.count, 6);
}

TEST(LabelLayout, ALongLabelTakesSpareColumnsAndStillScoresAsCut) {
  // p = 10, b = 8: the 10-character label gets the one spare column.
  LabelLayout l = layout_labels({10, 2, 2, 2}, 4, 40);
  EXPECT_EQ(l.widths, (std::vector<int>{9, 8, 8, 8}));
  EXPECT_EQ(l.margin, 0);
  EXPECT_EQ(l.separator, 1);
  EXPECT_EQ(l.score, -2 + 3);
}

TEST(LabelLayout, RoomyLabelsNarrowToMakeGapsBetweenAllLabels) {
  // p = 12, b = 10, one spare column: three roomy labels give one each so
  // that every pair of labels gets a gap.
  LabelLayout l = layout_labels({2, 2, 2, 2, 2}, 5, 60);
  EXPECT_EQ(l.widths, (std::vector<int>{9, 9, 9, 10, 10}));
  EXPECT_EQ(l.separator, 2);
  EXPECT_EQ(l.margin, 0);
  EXPECT_EQ(l.score, 1 + 5);
  // The whole row is used: numbers, widths and gaps add up to the width.
  int used = l.margin + l.count;
  for (int w : l.widths) used += w;
  used += (l.count - 1) * l.separator;
  EXPECT_EQ(used, 60);
}

TEST(LabelLayout, MissingEntriesAreEmptyLabels) {
  LabelLayout l = layout_labels({4}, 4, 40);
  ASSERT_EQ(l.widths.size(), 4u);
  EXPECT_EQ(l.widths[1], 40 / 4 - 3);   // an empty label gives a column back
  LabelLayout none = choose_labels({}, 80);
  EXPECT_GE(none.count, 6);
  EXPECT_LE(none.count, 8);
}

TEST(LabelPieces, NumbersAndCentredTextWithTheLargerHalfLeft) {
  LabelLayout l = layout_labels(REAL_PAGE, 8, 80);
  auto pieces = label_pieces(l, {"Neg", "Abs", "Sign", "Sqrt", "Cbrt", "Xrt", "Fact", "Pi"}, 12, 80, true);
  auto rows = render(pieces);
  EXPECT_EQ(rows[12], "  1  Neg   2  Abs   3  Sign   4  Sqrt   5  Cbrt   6  Xrt   7  Fact   8   Pi");
  EXPECT_EQ(attr_at(pieces, 12, 2), B | PAIR_YELLOW);               // number
  EXPECT_EQ(attr_at(pieces, 12, 3), B | PAIR_WHITE_ON_BLUE);        // the label box
  EXPECT_EQ(attr_at(pieces, 12, 10), -1);                            // the gap
  // A tenth label is numbered 0; a text too long for its box is cut.
  LabelLayout ten = layout_labels(std::vector<int>(10, 3), 10, 130);
  auto tenth = label_pieces(ten, std::vector<std::string>(10, "abc"), 0, 130, false);
  EXPECT_EQ(tenth[18].text, "0");
  LabelLayout tight = layout_labels({12, 2, 2, 2}, 4, 40);
  auto cut = label_pieces(tight, {"ABCDEFGHIJKL", "a", "b", "c"}, 0, 40, false);
  EXPECT_EQ(cut[1].text, "ABCDEFGHI");
}

// ---- Legend ------------------------------------------------------------------------

TEST(Legend, NarrowScreensUseThreeRowsOfSixShortNames) {
  auto rows = render(legend_pieces(24, 40, false, true));
  EXPECT_EQ(rows[21], " A-Arry B-Bin C-Cmpx E-Edit H-Hlp I-List");
  EXPECT_EQ(rows[22], " L-Log  M-Mem N-NMth O-Opts P-Ps  R-Real");
  EXPECT_EQ(rows[23], " F-SpFn S-Stk Q-Stat T-Trig U-Usr V-Var");
  // 50 columns: c = 2, m = 0; each place moves right by 2 per step.
  auto wider = render(legend_pieces(24, 50, false, true));
  EXPECT_EQ(wider[21], " A-Arry   B-Bin   C-Cmpx   E-Edit   H-Hlp   I-List");
}

TEST(Legend, MiddleScreensUseTwoRowsOfNineShortNames) {
  auto rows = render(legend_pieces(24, 60, false, true));
  EXPECT_EQ(rows.count(21), 0u);
  EXPECT_EQ(rows[22], " A-Arry B-Bin C-Cmpx E-Edit H-Hlp I-List L-Log  M-Mem N-NMth");
  EXPECT_EQ(rows[23], " O-Opts P-Ps  R-Real F-SpFn S-Stk Q-Stat T-Trig U-Usr V-Var");
  // 70 columns: c = 1, m = 1.
  auto wider = render(legend_pieces(24, 70, false, true));
  EXPECT_EQ(wider[22].substr(0, 17), "  A-Arry  B-Bin  ");
}

TEST(Legend, WideScreensUseLongNames) {
  auto rows = render(legend_pieces(24, 80, false, true));
  EXPECT_EQ(rows[22], " A Array  B Binary  C Complex E Edit   H Help   I List  L Logs  M Mem   N NuMath");
  EXPECT_EQ(rows[23], " O Option P Process R Real    F SpecFn S Stack  Q Stat  T Trig  U User  V Vars");
  EXPECT_EQ(render(legend_pieces(24, 79, false, true))[22].substr(0, 9), "A Array  ");
  // From 119 columns the spread stops growing: c = 5, m = (40 - 39) / 2 = 0.
  auto wide = legend_pieces(24, 119, false, true);
  EXPECT_EQ(wide[2].col, 14);   // the second item: 1 * 5 + 9 + 0
  auto w118 = legend_pieces(24, 118, false, true);
  EXPECT_EQ(w118[0].col, 4);    // c = 4, m = (39 - 31) / 2
}

TEST(Legend, LettersHighlightedNamesPlain) {
  auto pieces = legend_pieces(24, 80, false, true);
  EXPECT_EQ(attr_at(pieces, 22, 1), B | PAIR_MAGENTA);
  EXPECT_EQ(attr_at(pieces, 22, 3), 0);
  EXPECT_EQ(attr_at(legend_pieces(24, 80, false, false), 22, 1), B);
}

TEST(Legend, PartialRedrawOnlyWhatSharesTheMessageRow) {
  auto narrow = legend_pieces(24, 40, true, true);
  EXPECT_EQ(narrow.size(), 12u);   // six items: letter and name each
  for (const Piece &p : narrow) EXPECT_EQ(p.row, 21);
  EXPECT_TRUE(legend_pieces(24, 60, true, true).empty());
  EXPECT_TRUE(legend_pieces(24, 80, true, true).empty());
}

// ---- Error texts -------------------------------------------------------------------

TEST(ErrorText, TitleThenReasonThenDetail) {
  EXPECT_EQ(Display::error_text("Drop", 0, ERR_TOO_FEW_ARGS, nullptr), "Drop Error: Too Few Arguments");
  EXPECT_EQ(Display::error_text(nullptr, ENOENT, 0, "name"),
            "System Error: No such file or directory.  [name]");
  EXPECT_EQ(Display::error_text(nullptr, 0, ERR_BAD_TYPE, nullptr), "KOR Error: Bad Argument Type");
  EXPECT_EQ(Display::error_text("", 0, ERR_BAD_TYPE, "x"), "KOR Error: Bad Argument Type  [x]");
  EXPECT_EQ(Display::error_text("Suspend", 0, 0, "Job control not supported."),
            "Suspend Error: Job control not supported.");
  EXPECT_EQ(Display::error_text(nullptr, 0, 0, "plain"), "KOR Error: plain");
  // A named error with a system error keeps the name as the title.
  EXPECT_EQ(Display::error_text("Open", ENOENT, 0, nullptr), "Open Error: No such file or directory.");
}

} // namespace
