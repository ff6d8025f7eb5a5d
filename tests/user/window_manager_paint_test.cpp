// Invalidation and painting: when WM_PAINT comes, what it covers, and what
// the window shows afterwards.
#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <thread>

#include "window_manager_test_support.h"

using kelplat::testing::flush_paint;
using kelplat::testing::hold_painting;
using kelplat::testing::invalid_rect;
using kelplat::testing::shown_pixels;
using kelplat::testing::wait_idle;
using wm_test::Behaviour;
using wm_test::WindowThread;

namespace {

constexpr int kClient = 200;  // client width and height of the test windows

bool same(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

RECT last_paint(Behaviour& b) {
  RECT r{-1, -1, -1, -1};
  for (const wm_test::Seen& s : b.seen())
    if (s.message == WM_PAINT) r = s.paint;
  return r;
}

// A page like the library's: a memory context with a bitmap compatible with
// the window, copied to the window by the paint handler under a lock.
class Page {
 public:
  Page() {
    HDC screen = GetDC(nullptr);
    dc_ = CreateCompatibleDC(screen);
    bitmap_ = CreateCompatibleBitmap(screen, kClient, kClient);
    old_ = SelectObject(dc_, bitmap_);
    ReleaseDC(nullptr, screen);
  }
  ~Page() {
    SelectObject(dc_, old_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  void set(int x, int y, COLORREF color) {
    std::lock_guard<std::mutex> lock(mutex_);
    SetPixelV(dc_, x, y, color);
  }
  void paint(HDC target, const RECT& r) {
    std::lock_guard<std::mutex> lock(mutex_);
    BitBlt(target, r.left, r.top, r.right - r.left, r.bottom - r.top, dc_, r.left, r.top, SRCCOPY);
  }

 private:
  std::mutex mutex_;
  HDC dc_;
  HBITMAP bitmap_;
  HGDIOBJ old_;
};

uint32_t pixel_at(const std::vector<uint32_t>& pixels, int x, int y) {
  return pixels.at(size_t(y) * kClient + size_t(x));
}

// Holds the window thread inside a message until released.
class Gate {
 public:
  void wait() {
    std::unique_lock<std::mutex> lock(mutex_);
    entered_ = true;
    cv_.notify_all();
    cv_.wait(lock, [this] { return open_; });
  }
  void wait_entered() {
    std::unique_lock<std::mutex> lock(mutex_);
    cv_.wait(lock, [this] { return entered_; });
  }
  void open() {
    std::lock_guard<std::mutex> lock(mutex_);
    open_ = true;
    cv_.notify_all();
  }

 private:
  std::mutex mutex_;
  std::condition_variable cv_;
  bool entered_ = false, open_ = false;
};

}  // namespace

TEST(WindowManagerPaint, FirstShowPaintsTheWholeClientArea) {
  WindowThread w;
  ASSERT_TRUE(w.settle());
  EXPECT_EQ(w.behaviour().count(WM_PAINT), 1);  // UpdateWindow painted it at once
  EXPECT_TRUE(same(last_paint(w.behaviour()), RECT{0, 0, kClient, kClient}));
  EXPECT_FALSE(invalid_rect(w.hwnd(), nullptr));
}

TEST(WindowManagerPaint, PaintComesAfterPostedMessagesWithTheUnionOfInvalidations) {
  Gate gate;
  constexpr UINT kBusy = WM_USER + 1, kLater = WM_USER + 2;
  WindowThread w({}, [&](Behaviour& b) {
    b.handle = [&](HWND, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
      if (m == kBusy) gate.wait();
      return std::nullopt;
    };
  });
  ASSERT_TRUE(w.settle());
  PostMessageA(w.hwnd(), kBusy, 0, 0);
  gate.wait_entered();
  RECT first{10, 10, 20, 20}, second{50, 40, 60, 45};
  InvalidateRect(w.hwnd(), &first, FALSE);
  PostMessageA(w.hwnd(), kLater, 1, 0);
  InvalidateRect(w.hwnd(), &second, FALSE);
  PostMessageA(w.hwnd(), kLater, 2, 0);
  gate.open();
  ASSERT_TRUE(w.settle());
  std::vector<UINT> order = w.behaviour().messages();
  auto busy = std::find(order.begin(), order.end(), kBusy);
  ASSERT_NE(busy, order.end());
  std::vector<UINT> after(busy, order.end());
  EXPECT_EQ(after, (std::vector<UINT>{kBusy, kLater, kLater, WM_PAINT}));
  EXPECT_TRUE(same(last_paint(w.behaviour()), RECT{10, 10, 60, 45}));
}

TEST(WindowManagerPaint, NoPaintWithoutInvalidation) {
  WindowThread w;
  ASSERT_TRUE(w.settle());
  int paints = w.behaviour().count(WM_PAINT);
  for (int i = 0; i < 50; ++i) PostMessageA(w.hwnd(), WM_USER, i, 0);
  RECT outside{kClient + 5, 0, kClient + 50, 30};
  RECT inverted{30, 30, 10, 10};
  InvalidateRect(w.hwnd(), &outside, FALSE);
  InvalidateRect(w.hwnd(), &inverted, FALSE);
  ASSERT_TRUE(wait_idle(w.hwnd()));
  EXPECT_FALSE(invalid_rect(w.hwnd(), nullptr));
  ASSERT_TRUE(flush_paint(w.hwnd()));
  EXPECT_EQ(w.behaviour().count(WM_PAINT), paints);
}

TEST(WindowManagerPaint, EndPaintShowsWhatThePaintHandlerCopied) {
  Page page;
  WindowThread w(
      {}, [&](Behaviour& b) { b.paint = [&](HDC hdc, const RECT& r) { page.paint(hdc, r); }; });
  ASSERT_TRUE(w.settle());
  for (int y = 10; y < 20; ++y)
    for (int x = 30; x < 40; ++x) page.set(x, y, RGB(255, 0, 0));
  page.set(150, 160, RGB(0, 0, 255));
  InvalidateRect(w.hwnd(), nullptr, FALSE);
  ASSERT_TRUE(flush_paint(w.hwnd()));
  int width = 0, height = 0;
  std::vector<uint32_t> shown = shown_pixels(w.hwnd(), &width, &height);
  ASSERT_EQ(width, kClient);
  ASSERT_EQ(height, kClient);
  EXPECT_EQ(pixel_at(shown, 30, 10), 0xFF0000u);
  EXPECT_EQ(pixel_at(shown, 39, 19), 0xFF0000u);
  EXPECT_EQ(pixel_at(shown, 40, 19), 0u);
  EXPECT_EQ(pixel_at(shown, 29, 10), 0u);
  EXPECT_EQ(pixel_at(shown, 150, 160), 0x0000FFu);

  // Only the invalid rectangle is copied again.
  page.set(5, 5, RGB(0, 255, 0));
  page.set(100, 100, RGB(0, 255, 0));
  RECT corner{0, 0, 50, 50};
  InvalidateRect(w.hwnd(), &corner, FALSE);
  ASSERT_TRUE(flush_paint(w.hwnd()));
  shown = shown_pixels(w.hwnd());
  EXPECT_EQ(pixel_at(shown, 5, 5), 0x00FF00u);
  EXPECT_EQ(pixel_at(shown, 100, 100), 0u);
}

TEST(WindowManagerPaint, HeldPaintingKeepsTheRegionForInspection) {
  WindowThread w;
  ASSERT_TRUE(w.settle());
  hold_painting(w.hwnd(), true);
  int paints = w.behaviour().count(WM_PAINT);
  RECT a{5, 6, 7, 8}, b{100, 90, 120, 95}, huge{-2000000000, 150, 2000000000, 2000000000};
  InvalidateRect(w.hwnd(), &a, FALSE);
  InvalidateRect(w.hwnd(), &b, FALSE);
  ASSERT_TRUE(wait_idle(w.hwnd()));
  RECT r;
  ASSERT_TRUE(invalid_rect(w.hwnd(), &r));
  EXPECT_TRUE(same(r, RECT{5, 6, 120, 95}));
  EXPECT_TRUE(GetUpdateRect(w.hwnd(), &r, FALSE));
  EXPECT_TRUE(same(r, RECT{5, 6, 120, 95}));
  kelplat::testing::validate(w.hwnd());
  EXPECT_FALSE(invalid_rect(w.hwnd(), &r));

  InvalidateRect(w.hwnd(), &huge, FALSE);  // clipped to the client area
  ASSERT_TRUE(invalid_rect(w.hwnd(), &r));
  EXPECT_TRUE(same(r, RECT{0, 150, kClient, kClient}));
  RECT top_band{0, 0, kClient, 170};
  ValidateRect(w.hwnd(), &top_band);
  ASSERT_TRUE(invalid_rect(w.hwnd(), &r));
  EXPECT_TRUE(same(r, RECT{0, 170, kClient, kClient}));
  RECT inside{10, 200, 12, 210}, validated{10, 155, 12, 160};
  InvalidateRect(w.hwnd(), &inside, FALSE);
  InvalidateRect(w.hwnd(), &validated, FALSE);  // no longer in the region
  ASSERT_TRUE(invalid_rect(w.hwnd(), &r));
  EXPECT_TRUE(same(r, RECT{0, 155, kClient, kClient}));
  EXPECT_EQ(w.behaviour().count(WM_PAINT), paints);

  hold_painting(w.hwnd(), false);
  ASSERT_TRUE(w.settle());
  EXPECT_EQ(w.behaviour().count(WM_PAINT), paints + 1);
  EXPECT_TRUE(same(last_paint(w.behaviour()), RECT{0, 155, kClient, kClient}));
}

TEST(WindowManagerPaint, UpdateWindowPaintsBeforeItReturns) {
  WindowThread w;
  ASSERT_TRUE(w.settle());
  hold_painting(w.hwnd(), true);
  int paints = w.behaviour().count(WM_PAINT);
  RECT r{1, 2, 3, 4};
  InvalidateRect(w.hwnd(), &r, FALSE);
  ASSERT_TRUE(UpdateWindow(w.hwnd()));
  EXPECT_EQ(w.behaviour().count(WM_PAINT), paints + 1);
  EXPECT_TRUE(same(last_paint(w.behaviour()), r));
  EXPECT_FALSE(invalid_rect(w.hwnd(), nullptr));
  ASSERT_TRUE(UpdateWindow(w.hwnd()));  // nothing invalid: no paint
  EXPECT_EQ(w.behaviour().count(WM_PAINT), paints + 1);
  hold_painting(w.hwnd(), false);
}

TEST(WindowManagerPaint, AHiddenWindowIsPaintedOnlyOnceShown) {
  WindowThread w({.show = false});
  InvalidateRect(w.hwnd(), nullptr, FALSE);
  ASSERT_TRUE(wait_idle(w.hwnd()));
  ASSERT_TRUE(flush_paint(w.hwnd()));
  EXPECT_EQ(w.behaviour().count(WM_PAINT), 0);
  EXPECT_EQ(GetWindowLongA(w.hwnd(), GWL_STYLE) & WS_VISIBLE, 0);
  EXPECT_FALSE(ShowWindow(w.hwnd(), SW_SHOW));  // it was hidden
  EXPECT_NE(GetWindowLongA(w.hwnd(), GWL_STYLE) & WS_VISIBLE, 0);
  ASSERT_TRUE(w.settle());
  EXPECT_EQ(w.behaviour().count(WM_PAINT), 1);
  EXPECT_TRUE(same(last_paint(w.behaviour()), RECT{0, 0, kClient, kClient}));
  EXPECT_TRUE(ShowWindow(w.hwnd(), SW_SHOW));  // already shown
}

// Drawing from another thread invalidates far more often than the window
// paints: the paints merge the invalid areas instead of following each one.
TEST(WindowManagerPaint, ManyInvalidationsMergeIntoFewPaints) {
  WindowThread w;
  ASSERT_TRUE(w.settle());
  int paints = w.behaviour().count(WM_PAINT);
  constexpr int kCalls = 200000;
  for (int i = 0; i < kCalls; ++i) {
    RECT pixel{i % kClient, (i / kClient) % kClient, i % kClient + 1, (i / kClient) % kClient + 1};
    ASSERT_TRUE(InvalidateRect(w.hwnd(), &pixel, FALSE));
  }
  ASSERT_TRUE(w.settle());
  int made = w.behaviour().count(WM_PAINT) - paints;
  EXPECT_GE(made, 1);
  EXPECT_LT(made, kCalls / 50);
  EXPECT_FALSE(invalid_rect(w.hwnd(), nullptr));
  // Together, the new paints cover every pixel that was invalidated.
  RECT covered{0, 0, 0, 0};
  int index = 0;
  for (const wm_test::Seen& s : w.behaviour().seen()) {
    if (s.message != WM_PAINT || index++ < paints) continue;
    covered = covered.right == 0
                  ? s.paint
                  : RECT{std::min(covered.left, s.paint.left), std::min(covered.top, s.paint.top),
                         std::max(covered.right, s.paint.right),
                         std::max(covered.bottom, s.paint.bottom)};
  }
  EXPECT_TRUE(same(covered, RECT{0, 0, kClient, kClient}));
}

TEST(WindowManagerPaint, ContextsAndBadHandles) {
  WindowThread w;
  ASSERT_TRUE(w.settle());
  HWND bogus = reinterpret_cast<HWND>(uintptr_t(0x2345));
  PAINTSTRUCT ps;
  EXPECT_EQ(BeginPaint(w.hwnd(), &ps), nullptr);  // only the owner thread paints
  EXPECT_EQ(BeginPaint(bogus, &ps), nullptr);
  ps.hdc = nullptr;
  EXPECT_FALSE(EndPaint(w.hwnd(), &ps));
  EXPECT_FALSE(EndPaint(w.hwnd(), nullptr));
  EXPECT_FALSE(InvalidateRect(bogus, nullptr, FALSE));
  EXPECT_FALSE(ValidateRect(bogus, nullptr));
  EXPECT_FALSE(UpdateWindow(bogus));
  EXPECT_TRUE(shown_pixels(bogus).empty());
  EXPECT_FALSE(invalid_rect(bogus, nullptr));
  EXPECT_FALSE(wait_idle(bogus, 10));
  EXPECT_FALSE(flush_paint(bogus, 10));

  HDC hdc = GetDC(w.hwnd());
  ASSERT_NE(hdc, nullptr);
  EXPECT_EQ(ReleaseDC(w.hwnd(), hdc), 1);
  EXPECT_EQ(ReleaseDC(w.hwnd(), hdc), 0);  // already released
  HDC screen = GetDC(nullptr);
  ASSERT_NE(screen, nullptr);
  EXPECT_EQ(ReleaseDC(nullptr, screen), 1);
  EXPECT_EQ(ReleaseDC(nullptr, screen), 0);
}

TEST(WindowManagerPaint, WaitIdleOnTheOwnerThreadRefusesAtOnce) {
  Behaviour b;
  HWND hwnd = wm_test::make_window(b, {.show = false});
  ASSERT_NE(hwnd, nullptr);
  EXPECT_FALSE(wait_idle(hwnd, 5000));  // would wait for itself
  DestroyWindow(hwnd);
}
