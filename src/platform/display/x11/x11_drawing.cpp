// Drawing helpers for the X11 display's own windows.
#include "x11_drawing.h"

#include <string>

#include "x11_keys.h"

namespace kelplat::x11 {

CoreFont::CoreFont(Display* display) : display_(display) {
  const char* names[] = {"-*-helvetica-medium-r-normal--12-*-*-*-p-*-iso8859-1",
                         "-*-*-medium-r-normal--13-*-*-*-*-*-iso8859-1", "fixed"};
  for (const char* name : names) {
    font_ = XLoadQueryFont(display, name);
    if (font_) break;
  }
}

CoreFont::~CoreFont() {
  if (font_) XFreeFont(display_, font_);
}

int CoreFont::width(std::string_view text) const {
  if (!font_) return int(text.size()) * 7;
  std::string latin1 = latin1_from_cp1252(text);
  return XTextWidth(font_, latin1.data(), int(latin1.size()));
}

void CoreFont::draw(Window window, GC gc, int x, int y, std::string_view text) const {
  if (!font_) return;
  std::string latin1 = latin1_from_cp1252(text);
  XSetFont(display_, gc, font_->fid);
  XDrawString(display_, window, gc, x, y, latin1.data(), int(latin1.size()));
}

void fill_rect(const Connection& connection, Window window, GC gc, int x, int y, int width,
               int height, uint32_t rgb) {
  if (width <= 0 || height <= 0) return;
  XSetForeground(connection.display(), gc, pixel_of(connection, rgb));
  XFillRectangle(connection.display(), window, gc, x, y, unsigned(width), unsigned(height));
}

void draw_bevel(const Connection& connection, Window window, GC gc, int x, int y, int width,
                int height, bool sunken) {
  using namespace colors;
  uint32_t outer_light = sunken ? kShadow : kLight;
  uint32_t outer_dark = sunken ? kHighlight : kDarkShadow;
  uint32_t inner_light = sunken ? kDarkShadow : kHighlight;
  uint32_t inner_dark = sunken ? kLight : kShadow;
  for (int ring = 0; ring < 2; ++ring) {
    int w = width - 2 * ring, h = height - 2 * ring, l = x + ring, t = y + ring;
    if (w <= 0 || h <= 0) return;
    fill_rect(connection, window, gc, l, t, w - 1, 1, ring ? inner_light : outer_light);
    fill_rect(connection, window, gc, l, t, 1, h - 1, ring ? inner_light : outer_light);
    fill_rect(connection, window, gc, l, t + h - 1, w, 1, ring ? inner_dark : outer_dark);
    fill_rect(connection, window, gc, l + w - 1, t, 1, h, ring ? inner_dark : outer_dark);
  }
}

}  // namespace kelplat::x11
