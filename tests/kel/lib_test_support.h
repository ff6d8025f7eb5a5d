// Helpers for the library's tests: opening windows that a close request
// leaves alone, waiting for a window thread, reading what a window shows and
// what it has invalidated, and running a child process.
#ifndef KEL_TESTS_LIB_TEST_SUPPORT_H
#define KEL_TESTS_LIB_TEST_SUPPORT_H

#include <gtest/gtest.h>
#ifndef _WIN32
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "kel/kel_internal.h"
#include "platform_testing.h"

#ifndef _WIN32
extern char** environ;
#endif

namespace kel_test {

// Opens a window whose close request is ignored; it becomes current.
inline int open_window(int width = 200, int height = 150, bool dbflag = false,
                       const char* title = "test") {
  int number = initwindow(width, height, title, 0, 0, dbflag, false);
  EXPECT_GE(number, 0) << "initwindow failed";
  return number;
}

inline HWND handle_of(int number) { return KEL__WindowTable[number]; }
inline HWND current_handle() { return KEL__WindowTable[getcurrentwindow()]; }

// Waits until the window's thread has handled everything posted so far.
inline bool settle(HWND hwnd = current_handle()) { return kelplat::testing::wait_idle(hwnd); }

inline void post(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  ASSERT_TRUE(PostMessageA(hwnd, message, wparam, lparam));
}

// A platform colour as the shown picture stores it (0x00RRGGBB).
inline uint32_t as_shown(COLORREF c) {
  return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}

// What the window shows, after painting everything that is pending.
class Shown {
 public:
  explicit Shown(HWND hwnd = current_handle()) {
    settle(hwnd);
    kelplat::testing::flush_paint(hwnd);
    pixels_ = kelplat::testing::shown_pixels(hwnd, &width_, &height_);
  }
  uint32_t at(int x, int y) const { return pixels_.at(static_cast<size_t>(y) * width_ + x); }
  int width() const { return width_; }
  int height() const { return height_; }

 private:
  std::vector<uint32_t> pixels_;
  int width_ = 0;
  int height_ = 0;
};

// While it lives, the window is not painted, so a test can read what the
// calls made since its construction have invalidated.
class HeldPainting {
 public:
  explicit HeldPainting(HWND hwnd = current_handle()) : hwnd_(hwnd) {
    kelplat::testing::hold_painting(hwnd_, true);
    settle(hwnd_);
    kelplat::testing::validate(hwnd_);
  }
  ~HeldPainting() { kelplat::testing::hold_painting(hwnd_, false); }
  HeldPainting(const HeldPainting&) = delete;
  HeldPainting& operator=(const HeldPainting&) = delete;

  // The invalid rectangle so far, or {0, 0, 0, 0} when nothing is invalid;
  // forgets it afterwards.
  RECT take() {
    RECT r = {0, 0, 0, 0};
    if (!kelplat::testing::invalid_rect(hwnd_, &r)) r = RECT{0, 0, 0, 0};
    kelplat::testing::validate(hwnd_);
    return r;
  }

 private:
  HWND hwnd_;
};

inline bool same_rect(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

inline std::string describe(const RECT& r) {
  char text[64];
  std::snprintf(text, sizeof text, "{%ld, %ld, %ld, %ld}", long(r.left), long(r.top),
                long(r.right), long(r.bottom));
  return text;
}

// Takes `actual` once (it may be a call that forgets what it returns).
inline ::testing::AssertionResult rect_is(const RECT& expected, const RECT& actual) {
  if (same_rect(expected, actual)) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "expected " << describe(expected) << ", got "
                                       << describe(actual) << " ";
}

#define EXPECT_RECT(expected, actual) EXPECT_TRUE(kel_test::rect_is(expected, actual))

// ------------------------------------------------------------ child process
struct ChildResult {
  int exit_code = -1;  // -1 when it did not exit normally
  bool timed_out = false;
  std::string out;
  std::string err;
};

// The environment a child gets: this one without DISPLAY (the headless
// display), then `changes` applied in order: "NAME=value" sets NAME, a bare
// "NAME" removes it.
inline std::vector<std::string> child_environment(const std::vector<std::string>& changes) {
  std::vector<std::string> entries;
  for (char** e = environ; *e; ++e)
    if (std::strncmp(*e, "DISPLAY=", 8) != 0) entries.push_back(*e);
  for (const std::string& change : changes) {
    const std::string name = change.substr(0, change.find('=')) + "=";
    std::erase_if(entries, [&](const std::string& e) { return e.rfind(name, 0) == 0; });
    if (change.find('=') != std::string::npos) entries.push_back(change);
  }
  return entries;
}

#ifdef _WIN32
// A temporary file the child writes and the test reads; gone when closed.
inline HANDLE child_output_file() {
  char folder[MAX_PATH], name[MAX_PATH];
  GetTempPathA(MAX_PATH, folder);
  GetTempFileNameA(folder, "kel", 0, name);
  SECURITY_ATTRIBUTES inherited = {sizeof inherited, nullptr, TRUE};
  return CreateFileA(name, GENERIC_READ | GENERIC_WRITE,
                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, &inherited,
                     CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
}

// What the child wrote, with its text-mode line ends made "\n".
inline std::string read_all(HANDLE file) {
  std::string text;
  char buffer[4096];
  SetFilePointer(file, 0, nullptr, FILE_BEGIN);
  for (DWORD n = 0; ReadFile(file, buffer, sizeof buffer, &n, nullptr) && n > 0;)
    text.append(buffer, n);
  for (size_t at; (at = text.find("\r\n")) != std::string::npos;) text.erase(at, 1);
  CloseHandle(file);
  return text;
}

inline std::string command_line(const std::vector<std::string>& words) {
  std::string line;
  for (const std::string& w : words) line += (line.empty() ? "\"" : " \"") + w + "\"";
  return line;
}

// Runs a program with the environment changed as `child_environment` says,
// capturing its output; ended after `timeout_s` seconds.
inline ChildResult run_child(const std::string& path, const std::vector<std::string>& args,
                             int timeout_s = 30, const std::vector<std::string>& environment = {}) {
  ChildResult result;
  HANDLE out = child_output_file(), err = child_output_file();
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = out;
  startup.hStdError = err;
  std::vector<std::string> words = {path};
  words.insert(words.end(), args.begin(), args.end());
  std::string line = command_line(words), block;
  for (const std::string& e : child_environment(environment)) block += e + '\0';
  block += '\0';
  PROCESS_INFORMATION process = {};
  if (CreateProcessA(path.c_str(), line.data(), nullptr, nullptr, TRUE, 0, block.data(), nullptr,
                     &startup, &process)) {
    if (WaitForSingleObject(process.hProcess, DWORD(timeout_s) * 1000) != WAIT_OBJECT_0) {
      TerminateProcess(process.hProcess, 255);
      WaitForSingleObject(process.hProcess, INFINITE);
      result.timed_out = true;
    }
    DWORD code = 0;
    if (!result.timed_out && GetExitCodeProcess(process.hProcess, &code)) result.exit_code = int(code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
  result.out = read_all(out);
  result.err = read_all(err);
  return result;
}

inline std::string test_program(const char* name) {
  return std::string(KEL_TEST_PROGRAMS_DIR) + "/prog_" + name + ".exe";
}
#else
inline std::string read_all(int fd) {
  std::string text;
  char buffer[4096];
  lseek(fd, 0, SEEK_SET);
  for (ssize_t n; (n = read(fd, buffer, sizeof(buffer))) > 0;) text.append(buffer, size_t(n));
  return text;
}

// Runs a program with the environment changed as `child_environment` says,
// capturing its output; killed after `timeout_s` seconds.
inline ChildResult run_child(const std::string& path, const std::vector<std::string>& args,
                             int timeout_s = 30, const std::vector<std::string>& environment = {}) {
  ChildResult result;
  char out_name[] = "/tmp/kel_child_out_XXXXXX";
  char err_name[] = "/tmp/kel_child_err_XXXXXX";
  int out_fd = mkstemp(out_name), err_fd = mkstemp(err_name);
  unlink(out_name);
  unlink(err_name);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out_fd, 1);
  posix_spawn_file_actions_adddup2(&actions, err_fd, 2);
  std::vector<std::string> words = {path};
  words.insert(words.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& w : words) argv.push_back(w.data());
  argv.push_back(nullptr);
  std::vector<std::string> entries = child_environment(environment);
  std::vector<char*> envp;
  for (std::string& e : entries) envp.push_back(e.data());
  envp.push_back(nullptr);
  pid_t pid = 0;
  int status = 0;
  if (posix_spawn(&pid, path.c_str(), &actions, nullptr, argv.data(), envp.data()) == 0) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeout_s);
    while (waitpid(pid, &status, WNOHANG) == 0) {
      if (std::chrono::steady_clock::now() > deadline) {
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
        result.timed_out = true;
        break;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    if (!result.timed_out && WIFEXITED(status)) result.exit_code = WEXITSTATUS(status);
  }
  posix_spawn_file_actions_destroy(&actions);
  result.out = read_all(out_fd);
  result.err = read_all(err_fd);
  close(out_fd);
  close(err_fd);
  return result;
}

inline std::string test_program(const char* name) {
  return std::string(KEL_TEST_PROGRAMS_DIR) + "/prog_" + name;
}
#endif

// ------------------------------------------------------------- files
// A new empty folder under the system's temporary folder, named with
// forward slashes; `remove_folder` takes it away with what it holds.
inline std::string make_temp_folder(const char* prefix) {
  std::random_device random;
  for (;;) {
    std::filesystem::path folder =
        std::filesystem::temp_directory_path() / (prefix + std::to_string(random()));
    if (std::filesystem::create_directory(folder)) return folder.generic_string();
  }
}

inline void remove_folder(const std::string& folder) {
  std::error_code ignored;
  std::filesystem::remove_all(folder, ignored);
}

inline bool file_exists(const std::string& path) {
  std::error_code ignored;
  return std::filesystem::exists(path, ignored);
}

}  // namespace kel_test

#endif  // KEL_TESTS_LIB_TEST_SUPPORT_H
