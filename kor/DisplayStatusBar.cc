// Drawing the status bar, the busy indicator and the clock.
#include <ctime>

#include "kor/Context.h"
#include "kor/Display.h"
#include "kor/Kernel.h"
#include "kor/Scheduler.h"
#include "kor/Terminal.h"

namespace KOR {

namespace {

std::tm local_now() {
  std::time_t now = std::time(nullptr);
  std::tm t{};
  localtime_r(&now, &t);
  return t;
}

int minute_of(const std::tm &t) { return (t.tm_yday * 24 + t.tm_hour) * 60 + t.tm_min; }

} // namespace

PulseValues scheduler_pulse_values() {
  Scheduler &s = scheduler();
  PulseValues v;
  v.a = s.nFg_ > 0;
  v.b = s.nBg_ > 0;
  if (s.nrun > 0) v.s = 1;
  else if (s.fgPid == STREAM_STOPPED && s.streamRunning) v.s = 3;   // held back by a failure
  else if (s.fgPid < 0) v.s = 2;                                     // stopped by the user
  return v;
}

StatusInfo Display::status_info(const Stack &stack, int processNumber) const {
  StatusInfo info;
  info.marker = busy_;
  Context *cx = &main_context();
  if (&stack == &main_context().main) {
    info.header.kind = StackHeader::MAIN;
  } else if (&stack == &undo_context().main) {
    info.header.kind = StackHeader::UNDO;
    cx = &undo_context();
  } else if (processNumber > 0) {
    info.header = {StackHeader::PROCESS, processNumber};
  } else {
    info.header.kind = StackHeader::OTHER;
  }
  info.format = cx->format;
  info.when = local_now();
  return info;
}

void Display::show_status(const Stack &stack, int processNumber) {
  if (!drawing()) return;
  lock();
  StatusInfo info = status_info(stack, processNumber);
  clockMinute_ = minute_of(info.when);
  const int width = geom_.cols;
  unlock();
  clear_row(0);
  clear_row(1);
  draw_pieces(status_pieces(info, width, color));
  pulse(true, false);
}

void Display::pulse(bool force, bool locked) { update_pulse(force, locked, true); }

void Display::update_pulse(bool force, bool locked, bool show) {
  if (!drawing()) return;
  PulseValues v = scheduler_pulse_values();
  // Read without the Kernel mutex: the engine calls this with it held.
  double cpu = kernel().cpuTotal;
  if (!locked) lock();
  char busy = ' ';
  if (v.s != 0) {
    // The star lights up when a job starts and then blinks with the
    // processor time that programs use.
    if (pulseShown_.s == 0) {
      star_ = true;
      blinkCpu_ = cpu;
    } else if (cpu - blinkCpu_ > 0.48) {
      star_ = !star_;
      blinkCpu_ = cpu;
    }
    busy = star_ ? '*' : ' ';
  }
  bool changed = force || !(v == pulseShown_) || busy != busyShown_;
  pulseShown_ = v;
  busyShown_ = busy;
  if (!locked) unlock();
  if (!changed) return;
  draw_pieces(pulse_pieces(v, busy, pulse_column(geom_.cols), color));
  if (show) terminal().refresh();
}

void Display::tick() {
  if (!drawing()) return;
  std::tm now = local_now();
  lock();
  bool due = minute_of(now) != clockMinute_;
  if (due) clockMinute_ = minute_of(now);
  const int width = geom_.cols;
  unlock();
  if (!due) return;
  Piece date = date_place(width), clock = clock_place(width);
  date.text = date_text(now);
  clock.text = clock_text(now);
  date.attr = clock.attr = role_attr(Role::Info, color);
  draw_pieces({date, clock});
  terminal().refresh();
}

void Display::set_busy(bool busy) {
  busy_ = busy;
  if (!drawing()) return;
  // No refresh: a short run never flashes the marker; the busy indicator's
  // next refresh shows it during a long one.
  Piece marker = marker_place(geom_.cols);
  marker.text.assign(1, busy ? '*' : ' ');
  marker.attr = role_attr(busy ? Role::Error : Role::Plain, color);
  draw_pieces({marker});
}

void Display::table_changed() {
  // Never wait for the screen here: the scheduler's lock is held.  No
  // refresh either: a short command line does not flash the indicator, and
  // during a long one the next pulse shows it.
  if (!drawing() || terminal().trylock() != 0) return;
  terminal().unlock();
  update_pulse(false, false, false);
}

} // namespace KOR
