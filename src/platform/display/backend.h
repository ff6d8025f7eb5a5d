// The interface between the window manager (src/platform/user/) and a display
// back end: the only code that knows a display system exists.
//
// The window manager owns every window's state (geometry, invalid region, the
// shown picture, its message queue); a back end only mirrors windows on a
// display and turns display input into posted messages. Adding a back end
// means implementing Backend and adding its line to the table in
// user/display_backend.cpp; the window manager does not change.
#ifndef KEL_PLATFORM_DISPLAY_BACKEND_H
#define KEL_PLATFORM_DISPLAY_BACKEND_H

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform.h"

namespace kelplat::comdlg {
struct ChooserRequest;
}

namespace kelplat::display {

// What a back end needs to make the native side of a window.
struct WindowSpec {
  HWND hwnd = nullptr;
  std::string title;
  RECT outer{0, 0, 0, 0};     // screen coordinates, frame and caption included
  POINT client_offset{0, 0};  // client area's top-left, relative to outer's
  int client_width = 0;
  int client_height = 0;
  bool caption = false;        // caption bar with title and system menu
  bool double_clicks = false;  // the class asks for WM_xBUTTONDBLCLK (CS_DBLCLKS)
};

// A window's shown picture during present(): `height` rows of `width`
// pixels, each 0x00RRGGBB, `stride` pixels from one row to the next. Valid
// only during the call (the window manager holds the picture's lock).
struct PictureView {
  const uint32_t* pixels = nullptr;
  int width = 0;
  int height = 0;
  int stride = 0;
};

// The back end's own part of one window. Destroyed (on the window's thread)
// when the window is destroyed.
class NativeWindow {
 public:
  virtual ~NativeWindow() = default;
};

class Backend {
 public:
  virtual ~Backend() = default;

  // "headless", "x11", ...
  virtual const char* name() const = 0;
  // Size of the screen in pixels.
  virtual SIZE screen_size() = 0;

  // Native windows. Every call for a window is made on the thread that owns
  // the window. create_window returns null when the display refuses.
  virtual std::unique_ptr<NativeWindow> create_window(const WindowSpec& spec) = 0;
  virtual void show_window(NativeWindow& window, bool visible) = 0;
  // The window's new outer rectangle (screen coordinates) and client size.
  virtual void move_window(NativeWindow& window, const RECT& outer, int client_width,
                           int client_height) = 0;
  // Shows `rect` (client coordinates, right and bottom exclusive, already
  // clipped to the picture) of the window's shown picture.
  virtual void present(NativeWindow& window, const RECT& rect, const PictureView& picture) = 0;
  // SC_MOVE (start moving the window with the pointer) and SC_MINIMIZE; a
  // back end that cannot do one ignores it.
  virtual void system_command(NativeWindow& window, UINT command) = 0;

  // Modal dialogs, run on the calling thread (any thread), which they block
  // until answered.
  //
  // A message box. Returns IDOK, IDCANCEL, IDYES or IDNO.
  virtual int message_box(HWND owner, const std::string& text, const std::string& caption,
                          UINT type) = 0;
  // Asks the user for a file name to open or save: true with *path set when
  // one was chosen; false when the user cancelled or nobody can be asked.
  virtual bool choose_file(const comdlg::ChooserRequest& request, std::string* path) = 0;

  // ---- The print dialog (PrintDlgA): asks which of `printers` to print on,
  // starting on `initial` (-1: none). Any thread; modal. Returns the chosen
  // index, or -1 when the user cancels. A back end with nobody to ask
  // returns `initial`.
  virtual int print_dialog(const std::vector<std::string>& printers, int initial) = 0;

  // Per-thread event source. event_fd() is a descriptor that the calling
  // thread's GetMessageA polls together with its queue's wake-up (-1: none).
  // dispatch_pending() reads the display events waiting for the calling
  // thread's windows and posts them as messages (PostMessageA, or
  // post_key_message for keys); it never blocks. The window manager calls it
  // before each wait and whenever event_fd() becomes readable.
  virtual int event_fd() = 0;
  virtual void dispatch_pending() = 0;
};

// Services of the window manager for back ends.
//
// Posts a key message (WM_KEYDOWN or WM_SYSKEYDOWN, or their key-up forms)
// with the character the display gave for the key: a byte of the Western code
// page (1..255), 0 for a key that types nothing, or -1 to let TranslateMessage
// derive it from the virtual key. TranslateMessage posts WM_CHAR with it.
BOOL post_key_message(HWND hwnd, UINT message, WPARAM virtual_key, LPARAM lparam, int character);
// The display moved the window (the user dragged it): records its new outer
// top-left corner without calling back into the back end.
void native_window_moved(HWND hwnd, int x, int y);

// The back end in use. backend() chooses it on first use (the first window or
// the first question about the display): the one KEL_DISPLAY names ("x11",
// "headless"), or else the first of the table that can run here.
// chosen_backend() is null until then.
Backend& backend();
Backend* chosen_backend();

// The back ends of this build. make_x11_backend gives null when no X
// display can be opened.
std::unique_ptr<Backend> make_headless_backend();
#ifdef KEL_HAVE_X11
std::unique_ptr<Backend> make_x11_backend();
#endif
// A headless back end that refuses every window: what a program gets when
// the back end it asked for by name cannot run.
std::unique_ptr<Backend> make_windowless_backend();

}  // namespace kelplat::display

#endif  // KEL_PLATFORM_DISPLAY_BACKEND_H
