// Small drawing helpers for the X11 display's own windows (the frame of a
// window without caption, the system menu, the error box), which are drawn
// with core X requests rather than through the window's pages.
#ifndef KEL_PLATFORM_DISPLAY_X11_DRAWING_H
#define KEL_PLATFORM_DISPLAY_X11_DRAWING_H

#include <X11/Xlib.h>

#include <cstdint>
#include <string_view>

#include "x11_connection.h"

namespace kelplat::x11 {

// Colours of the display's own decorations, 0x00RRGGBB.
namespace colors {
constexpr uint32_t kFace = 0xD4D0C8;
constexpr uint32_t kHighlight = 0xFFFFFF;
constexpr uint32_t kLight = 0xE8E6E2;
constexpr uint32_t kShadow = 0x808080;
constexpr uint32_t kDarkShadow = 0x404040;
constexpr uint32_t kText = 0x000000;
constexpr uint32_t kSelection = 0x0A246A;
constexpr uint32_t kSelectedText = 0xFFFFFF;
constexpr uint32_t kWindow = 0xFFFFFF;
constexpr uint32_t kErrorRed = 0xD42020;
}  // namespace colors

// A core font for labels, with a fallback to the server's "fixed" font. Text
// is given in the platform's code page and drawn as Latin-1.
class CoreFont {
 public:
  explicit CoreFont(Display* display);
  ~CoreFont();
  CoreFont(const CoreFont&) = delete;
  CoreFont& operator=(const CoreFont&) = delete;

  int width(std::string_view text) const;
  int ascent() const { return font_ ? font_->ascent : 10; }
  int descent() const { return font_ ? font_->descent : 3; }
  int line_height() const { return ascent() + descent(); }
  // Draws with the GC's foreground; (x, y) is the baseline's left end.
  void draw(Window window, GC gc, int x, int y, std::string_view text) const;

 private:
  Display* display_;
  XFontStruct* font_ = nullptr;
};

// A pixel value of the connection's visual for a 0x00RRGGBB colour.
inline unsigned long pixel_of(const Connection& connection, uint32_t rgb) {
  return connection.visual().format.convert(rgb);
}

void fill_rect(const Connection& connection, Window window, GC gc, int x, int y, int width,
               int height, uint32_t rgb);

// A raised (or, with `sunken`, lowered) bevel of two lines on each side,
// inside the rectangle: the look of frames and buttons.
void draw_bevel(const Connection& connection, Window window, GC gc, int x, int y, int width,
                int height, bool sunken);

}  // namespace kelplat::x11

#endif  // KEL_PLATFORM_DISPLAY_X11_DRAWING_H
