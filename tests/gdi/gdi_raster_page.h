// A 32-bit memory page for the rasterizer tests: a memory context with a
// compatible bitmap selected, pen and brush helpers, and pixel read-back.
#ifndef KEL_TESTS_GDI_RASTER_PAGE_H
#define KEL_TESTS_GDI_RASTER_PAGE_H

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <set>
#include <utility>
#include <vector>

#include "platform.h"
#include "platform/gdi/gdi_objects.h"

namespace raster_test {

using Pixel = std::pair<int, int>;  // x, y

// The pen the library always makes: geometric, square caps, bevel joins,
// dashed through a user dash list.
constexpr DWORD kLibraryPenStyle = PS_GEOMETRIC | PS_USERSTYLE | PS_ENDCAP_SQUARE | PS_JOIN_BEVEL;

class Page {
 public:
  Page(int width, int height, uint32_t background = 0) : width_(width), height_(height) {
    dc_ = CreateCompatibleDC(nullptr);
    bitmap_ = CreateBitmap(width, height, 1, 32, nullptr);
    SelectObject(dc_, bitmap_);
    clear(background);
    pen(1, RGB(255, 255, 255));
    brush(GetStockObject(NULL_BRUSH));
  }
  ~Page() {
    DeleteObject(SelectObject(dc_, GetStockObject(WHITE_PEN)));
    DeleteObject(SelectObject(dc_, GetStockObject(WHITE_BRUSH)));
    DeleteDC(dc_);
    DeleteObject(bitmap_);
  }
  Page(const Page&) = delete;
  Page& operator=(const Page&) = delete;

  HDC dc() const { return dc_; }
  int width() const { return width_; }
  int height() const { return height_; }

  void pen(int width, COLORREF color, std::vector<DWORD> dashes = {16, 0}) {
    LOGBRUSH lb{BS_SOLID, color, 0};
    HPEN p = ExtCreatePen(kLibraryPenStyle, DWORD(width), &lb, DWORD(dashes.size()), dashes.data());
    ASSERT_NE(p, nullptr);
    DeleteObject(SelectObject(dc_, p));
  }
  // A one-pixel cosmetic pen, which leaves out the end point of a line.
  void cosmetic_pen() { DeleteObject(SelectObject(dc_, CreatePen(PS_SOLID, 1, RGB(255, 255, 255)))); }
  void null_pen() { DeleteObject(SelectObject(dc_, GetStockObject(NULL_PEN))); }
  void brush(HGDIOBJ b) { DeleteObject(SelectObject(dc_, b)); }
  void solid_brush(COLORREF color) { brush(CreateSolidBrush(color)); }

  // Device pixel as stored (0x00RRGGBB).
  uint32_t at(int x, int y) const { return bitmap()->row32(y)[x]; }
  void set(int x, int y, uint32_t pixel) { bitmap()->row32(y)[x] = pixel; }
  void clear(uint32_t pixel) {
    for (int y = 0; y < height_; y++) {
      for (int x = 0; x < width_; x++) set(x, y, pixel);
    }
  }
  std::vector<uint32_t> snapshot() const {
    std::vector<uint32_t> out;
    for (int y = 0; y < height_; y++) {
      for (int x = 0; x < width_; x++) out.push_back(at(x, y));
    }
    return out;
  }
  // Every pixel that is not `background`.
  std::set<Pixel> drawn(uint32_t background = 0) const {
    std::set<Pixel> out;
    for (int y = 0; y < height_; y++) {
      for (int x = 0; x < width_; x++) {
        if (at(x, y) != background) out.insert({x, y});
      }
    }
    return out;
  }
  std::set<Pixel> with(uint32_t pixel) const {
    std::set<Pixel> out;
    for (int y = 0; y < height_; y++) {
      for (int x = 0; x < width_; x++) {
        if (at(x, y) == pixel) out.insert({x, y});
      }
    }
    return out;
  }

  void line(int x0, int y0, int x1, int y1) {
    MoveToEx(dc_, x0, y0, nullptr);
    LineTo(dc_, x1, y1);
  }

 private:
  kelplat::gdi::Bitmap* bitmap() const { return kelplat::gdi::lookup<kelplat::gdi::Bitmap>(bitmap_); }
  int width_, height_;
  HDC dc_;
  HBITMAP bitmap_;
};

// True when the pixels form one 8-connected piece.
inline bool eight_connected(const std::set<Pixel>& pixels) {
  if (pixels.empty()) return true;
  std::set<Pixel> seen{*pixels.begin()};
  std::vector<Pixel> todo{*pixels.begin()};
  while (!todo.empty()) {
    Pixel p = todo.back();
    todo.pop_back();
    for (int dy = -1; dy <= 1; dy++) {
      for (int dx = -1; dx <= 1; dx++) {
        Pixel q{p.first + dx, p.second + dy};
        if (pixels.count(q) && seen.insert(q).second) todo.push_back(q);
      }
    }
  }
  return seen.size() == pixels.size();
}

// The pixel-centre rule for polygons, worked out directly: pixel (x, y) is
// inside when an odd number of edges cross its row at or left of it, each
// crossing rounded up; edges cover rows from their upper end, excluded
// at the lower.
inline bool inside_polygon(const std::vector<POINT>& corners, int x, int y) {
  int crossings = 0;
  for (size_t i = 0; i < corners.size(); i++) {
    POINT p = corners[i], q = corners[(i + 1) % corners.size()];
    if (p.y == q.y) continue;
    if (p.y > q.y) std::swap(p, q);
    if (y < p.y || y >= q.y) continue;
    crossings += std::ceil(p.x + double(y - p.y) * (q.x - p.x) / (q.y - p.y)) <= x;
  }
  return crossings % 2 == 1;
}

}  // namespace raster_test

#endif  // KEL_TESTS_GDI_RASTER_PAGE_H
