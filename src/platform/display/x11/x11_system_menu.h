// The window's system menu on X11: a small popup listing the entries of the
// window's system menu (Move, Minimize, Close, then whatever was appended),
// opened with Alt+Space. Arrow keys, Enter, Escape and the mouse choose; a
// choice is sent to the window as WM_SYSCOMMAND with the entry's id.
#ifndef KEL_PLATFORM_DISPLAY_X11_SYSTEM_MENU_H
#define KEL_PLATFORM_DISPLAY_X11_SYSTEM_MENU_H

#include <X11/Xlib.h>

#include <memory>
#include <string>
#include <vector>

#include "platform.h"
#include "x11_connection.h"
#include "x11_drawing.h"

namespace kelplat::x11 {

struct SystemMenuEntry {
  std::string text;
  UINT id = 0;
  bool separator = false;
};

// The entries of the window's system menu, read through the platform.
std::vector<SystemMenuEntry> read_system_menu(HWND hwnd);

// The entry to select after `current` going `step` (+1 down, -1 up),
// skipping separators and wrapping around; -1 when no entry can be chosen.
// A `current` of -1 starts before the first entry (or after the last).
int next_selectable(const std::vector<SystemMenuEntry>& entries, int current, int step);

class SystemMenuPopup : public EventTarget {
 public:
  // Opens the popup with its top-left corner at the root position (moved to
  // stay on the screen) and takes the keyboard and the pointer.
  SystemMenuPopup(std::shared_ptr<Connection> connection, HWND owner,
                  std::vector<SystemMenuEntry> entries, int root_x, int root_y);
  ~SystemMenuPopup();
  SystemMenuPopup(const SystemMenuPopup&) = delete;
  SystemMenuPopup& operator=(const SystemMenuPopup&) = delete;

  void handle_event(XEvent& event) override;

  // Layout, in pixels.
  static constexpr int kTextInset = 20;
  static constexpr int kSeparatorHeight = 7;
  static constexpr int kMinWidth = 120;

 private:
  int entry_height(const SystemMenuEntry& entry) const;
  int entry_at(int y) const;
  void draw();
  void select(int index);
  void choose(int index);
  void close();
  void handle_key(XKeyEvent& key);

  std::shared_ptr<Connection> connection_;
  HWND owner_;
  std::vector<SystemMenuEntry> entries_;
  CoreFont font_;
  Window window_ = 0;
  GC gc_ = nullptr;
  int width_ = 0;
  int height_ = 0;
  int selected_ = -1;
};

}  // namespace kelplat::x11

#endif  // KEL_PLATFORM_DISPLAY_X11_SYSTEM_MENU_H
