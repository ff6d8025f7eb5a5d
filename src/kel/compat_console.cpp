// The console and DOS companions of classic programs (kel/compat/conio.h and
// dos.h): terminal output with escape sequences, getche, the clock, itoa and
// a tone. Text attributes are the DOS ones (colours 0..15, 128 blinks) and are
// sent before the text of cprintf and cputs whenever they have changed.
#include <atomic>
#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <ctime>
#include <string>

#include "kel_internal.h"
// After the library's own headers: these define far, near and huge away.
#include "kel/compat/conio.h"
#include "kel/compat/dos.h"

#ifndef _WIN32
#include <csignal>
#include <pthread.h>
#include <unistd.h>
#endif

namespace {

KelLock console_lock;
int text_color = LIGHTGRAY;
int text_background = BLACK;
bool attributes_sent = true;  // the terminal starts with its own colours

// Terminal colour numbers 0..7 of DOS colours 0..7 (the two orders differ in
// the places of blue and red).
int terminal_color(int dos_color) {
  static const int kOrder[8] = {0, 4, 2, 6, 1, 5, 3, 7};
  return kOrder[dos_color & 7];
}

void write_console(const std::string& text) {
  std::fputs(text.c_str(), stdout);
  std::fflush(stdout);
}

// The select-graphic-rendition sequence of the current attributes.
std::string attribute_sequence() {
  int fg = text_color & 15, bg = text_background & 15;
  std::string seq = "\033[0;" + std::to_string((fg >= 8 ? 90 : 30) + terminal_color(fg)) + ";" +
                    std::to_string((bg >= 8 ? 100 : 40) + terminal_color(bg));
  if (text_color & BLINK) seq += ";5";
  return seq + "m";
}

// Writes text with the attributes in force; the caller holds console_lock.
void write_attributed(const std::string& text) {
  write_console(attributes_sent ? text : attribute_sequence() + text);
  attributes_sent = true;
}

void set_attribute(int& field, int value) {
  KelLockGuard guard(console_lock);
  field = value;
  attributes_sent = false;
}

struct tm local_calendar(std::time_t when) {
  struct tm local = {};
#ifdef _WIN32
  localtime_s(&local, &when);
#else
  localtime_r(&when, &local);
#endif
  return local;
}

}  // namespace

extern "C" {

int getche(void) {
  int c = getch();
  if (c > 0) {
    KelLockGuard guard(console_lock);
    write_console(std::string(1, static_cast<char>(c)));
  }
  return c;
}

void clrscr(void) {
  KelLockGuard guard(console_lock);
  write_console("\033[2J\033[H");
}

void clreol(void) {
  KelLockGuard guard(console_lock);
  write_console("\033[K");
}

void gotoxy(int x, int y) {
  if (x < 1 || y < 1) return;  // outside the screen: the cursor stays
  KelLockGuard guard(console_lock);
  write_console("\033[" + std::to_string(y) + ";" + std::to_string(x) + "H");
}

void textcolor(int color) { set_attribute(text_color, color); }

void textbackground(int color) { set_attribute(text_background, color); }

void normvideo(void) {
  KelLockGuard guard(console_lock);
  text_color = LIGHTGRAY;
  text_background = BLACK;
  attributes_sent = true;
  write_console("\033[0m");
}

int cprintf(const char* format, ...) {
  if (!format) return -1;
  va_list args;
  va_start(args, format);
  va_list again;
  va_copy(again, args);
  int length = std::vsnprintf(nullptr, 0, format, args);
  va_end(args);
  if (length < 0) {
    va_end(again);
    return length;
  }
  std::string text(static_cast<size_t>(length) + 1, '\0');
  std::vsnprintf(&text[0], text.size(), format, again);
  va_end(again);
  text.resize(static_cast<size_t>(length));
  KelLockGuard guard(console_lock);
  write_attributed(text);
  return length;
}

int cputs(const char* text) {
  if (!text) return -1;
  KelLockGuard guard(console_lock);
  write_attributed(text);
  return 0;
}

int putch(int c) {
  KelLockGuard guard(console_lock);
  write_attributed(std::string(1, static_cast<char>(c)));
  return c;
}

// --------------------------------------------------------------- dos.h
void kel_gettime(struct time* t) {
  if (!t) return;
  using namespace std::chrono;
  system_clock::time_point now = system_clock::now();
  struct tm local = local_calendar(system_clock::to_time_t(now));
  t->ti_hour = static_cast<unsigned char>(local.tm_hour);
  t->ti_min = static_cast<unsigned char>(local.tm_min);
  t->ti_sec = static_cast<unsigned char>(local.tm_sec);
  long long ms = duration_cast<milliseconds>(now.time_since_epoch()).count();
  t->ti_hund = static_cast<unsigned char>(ms % 1000 / 10);
}

void kel_getdate(struct date* d) {
  if (!d) return;
  struct tm local = local_calendar(std::time(nullptr));
  d->da_year = local.tm_year + 1900;
  d->da_mon = static_cast<char>(local.tm_mon + 1);
  d->da_day = static_cast<char>(local.tm_mday);
}

char* kel_itoa(int value, char* buffer, int radix) {
  if (!buffer) return buffer;
  buffer[0] = '\0';
  if (radix < 2 || radix > 36) return buffer;
  // Digits of the magnitude (as unsigned, so INT_MIN works), in reverse.
  bool negative = value < 0 && radix == 10;
  unsigned magnitude = negative ? 0u - static_cast<unsigned>(value) : static_cast<unsigned>(value);
  char digits[40];
  int count = 0;
  do {
    digits[count++] = "0123456789abcdefghijklmnopqrstuvwxyz"[magnitude % radix];
    magnitude /= radix;
  } while (magnitude);
  char* out = buffer;
  if (negative) *out++ = '-';
  while (count) *out++ = digits[--count];
  *out = '\0';
  return buffer;
}

}  // extern "C"

// ---------------------------------------------------------------- tone
namespace {

// One tone at a time, played by a thread in slices of 100 ms until nosound.
struct Tone {
  HANDLE thread = nullptr;
  std::atomic<bool> stop{false};
  unsigned frequency = 0;
};
Tone tone;
KelLock tone_lock;

#ifdef _WIN32
DWORD WINAPI play_tone(LPVOID) {
  while (!tone.stop.load()) Beep(tone.frequency, 100);
  return 0;
}
bool sound_device_present() { return true; }
#else
const int kSampleRate = 8000;

bool sound_device_present() {
  static const bool present =
      access("/dev/snd", F_OK) == 0 && system("command -v aplay >/dev/null 2>&1") == 0;
  return present;
}

// A square wave into the player's standard input. A player that cannot open
// the device ends, and the write that follows fails: SIGPIPE is blocked on
// this thread so that it ends the tone rather than the program.
DWORD WINAPI play_tone(LPVOID) {
  sigset_t pipe_signal;
  sigemptyset(&pipe_signal);
  sigaddset(&pipe_signal, SIGPIPE);
  pthread_sigmask(SIG_BLOCK, &pipe_signal, nullptr);
  FILE* player = popen("aplay -q -t raw -f U8 -r 8000 -c 1 2>/dev/null", "w");
  if (!player) return 0;
  unsigned char slice[kSampleRate / 10];
  unsigned long long sample = 0;
  while (!tone.stop.load()) {
    for (unsigned char& s : slice) {
      s = (sample++ * tone.frequency * 2 / kSampleRate) % 2 ? 160 : 96;
    }
    if (fwrite(slice, 1, sizeof slice, player) != sizeof slice || fflush(player) != 0) break;
  }
  pclose(player);
  return 0;
}
#endif

void stop_tone() {
  if (!tone.thread) return;
  tone.stop = true;
  WaitForSingleObject(tone.thread, INFINITE);
  CloseHandle(tone.thread);
  tone.thread = nullptr;
}

}  // namespace

extern "C" {

void kel_sound(unsigned frequency) {
  KelLockGuard guard(tone_lock);
  stop_tone();
  if (frequency == 0 || frequency > 20000 || !sound_device_present()) return;
  tone.frequency = frequency;
  tone.stop = false;
  tone.thread = CreateThread(nullptr, 0, play_tone, nullptr, 0, nullptr);
}

void kel_nosound(void) {
  KelLockGuard guard(tone_lock);
  stop_tone();
}

}  // extern "C"
