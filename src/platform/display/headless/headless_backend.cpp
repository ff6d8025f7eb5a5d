// The headless display: windows exist only in the window manager (their
// shown picture is what a test reads back), input comes only from posted
// messages, and message boxes are written to standard error.
#include <unistd.h>

#include <cerrno>
#include <string>

#include "backend.h"

namespace kelplat::display {
namespace {

constexpr int kScreenWidth = 1920;
constexpr int kScreenHeight = 1080;

class HeadlessWindow : public NativeWindow {};

// Writes the whole text to standard error, retrying short writes, so that
// lines of boxes shown by different threads do not mix.
void write_stderr(const std::string& text) {
  size_t done = 0;
  while (done < text.size()) {
    ssize_t n = ::write(STDERR_FILENO, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;
    done += size_t(n);
  }
}

class HeadlessBackend : public Backend {
 public:
  const char* name() const override { return "headless"; }
  SIZE screen_size() override { return SIZE{kScreenWidth, kScreenHeight}; }

  std::unique_ptr<NativeWindow> create_window(const WindowSpec&) override {
    return std::make_unique<HeadlessWindow>();
  }
  void show_window(NativeWindow&, bool) override {}
  void move_window(NativeWindow&, const RECT&, int, int) override {}
  void present(NativeWindow&, const RECT&, const PictureView&) override {}
  void system_command(NativeWindow&, UINT) override {}

  // Nobody can answer, so the box takes its default button.
  int message_box(HWND, const std::string& text, const std::string& caption, UINT type) override {
    write_stderr(caption + ": " + text + "\n");
    return (type & 0xF) == MB_YESNO ? IDYES : IDOK;
  }

  int event_fd() override { return -1; }
  void dispatch_pending() override {}
};

}  // namespace

std::unique_ptr<Backend> make_headless_backend() { return std::make_unique<HeadlessBackend>(); }

}  // namespace kelplat::display
