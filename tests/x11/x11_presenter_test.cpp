// Presenting rectangles of a window's shown picture on an X window, through
// shared memory and through plain image requests, checked by reading the
// window back from the server.
#include <gtest/gtest.h>

#if __has_include(<X11/Xlib.h>)

#include <cstdlib>
#include <vector>

#include "platform/display/x11/x11_connection.h"
#include "platform/display/x11/x11_presenter.h"
#include "x11_session.h"

namespace kelplat::x11 {
namespace {

using x11_test::XSession;

TEST(X11PixelFormat, ConvertsToTheVisualsChannelOrder) {
  PixelFormat native;
  EXPECT_EQ(native.convert(0x00123456), 0x00123456u);
  PixelFormat reversed{0, 8, 16, 0, false};
  EXPECT_EQ(reversed.convert(0x00112233), 0x00332211u);
  PixelFormat with_alpha{16, 8, 0, 0xFF000000u, false};
  EXPECT_EQ(with_alpha.convert(0x00ABCDEF), 0xFFABCDEFu);
  // Bits above the colour never leak into the result.
  EXPECT_EQ(reversed.convert(0xFF000000), 0u);
}

// A picture whose every pixel differs from its neighbours, with rows longer
// than the picture is wide.
struct TestPicture {
  int width, height, stride;
  std::vector<uint32_t> pixels;
  TestPicture(int w, int h) : width(w), height(h), stride(w + 7), pixels(size_t(stride) * h, 0) {
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        pixels[size_t(y) * stride + x] = uint32_t(0x10000 * (x + 1) + 0x100 * (y + 1) + 0x55);
  }
  display::PictureView view() const { return {pixels.data(), width, height, stride}; }
  uint32_t at(int x, int y) const { return pixels[size_t(y) * stride + x]; }
};

class X11Presenter : public ::testing::TestWithParam<bool> {};

// A connection of this process to the session's server and a black window
// of 120 x 90 on it. Declared after the session, so it closes first.
struct Target {
  std::shared_ptr<Connection> connection;
  Window window = 0;

  explicit Target(XSession& session) {
    setenv("DISPLAY", session.name().c_str(), 1);
    connection = Connection::open();
    if (!connection) return;
    Display* display = connection->display();
    XSetWindowAttributes attributes{};
    attributes.background_pixel = 0;
    attributes.colormap = connection->colormap();
    window = XCreateWindow(display, connection->root(), 10, 10, 120, 90, 0,
                           connection->visual().depth, InputOutput, connection->visual().visual,
                           CWBackPixel | CWColormap, &attributes);
    XMapWindow(display, window);
    XSync(display, False);
  }
  void sync() const { XSync(connection->display(), False); }
};

// Expects the window to show the picture's `rect` moved by (dx, dy), and
// black wherever `shown` says nothing was put.
void expect_shown(XSession& session, Window window, const TestPicture& picture,
                  const std::vector<RECT>& rects, int dx, int dy) {
  std::vector<uint32_t> screen = session.capture(window, 0, 0, 120, 90);
  ASSERT_EQ(screen.size(), 120u * 90u);
  int wrong = 0;
  for (int y = 0; y < 90; ++y) {
    for (int x = 0; x < 120; ++x) {
      uint32_t expected = 0;
      for (const RECT& r : rects)
        if (x - dx >= r.left && x - dx < r.right && y - dy >= r.top && y - dy < r.bottom)
          expected = picture.at(x - dx, y - dy);
      wrong += screen[size_t(y) * 120 + x] != expected;
    }
  }
  EXPECT_EQ(wrong, 0);
}

TEST_P(X11Presenter, PutsExactlyTheRectangle) {
  X11_SESSION_OR_SKIP(session);
  Target target(session);
  ASSERT_NE(target.window, 0u);
  bool allow_shm = GetParam();
  Presenter presenter(target.connection, target.window, allow_shm);
  TestPicture picture(100, 70);
  RECT first{5, 6, 40, 30}, second{60, 40, 100, 70};
  presenter.present(first, picture.view(), 3, 4);
  EXPECT_EQ(presenter.uses_shm(), allow_shm && target.connection->has_shm());
  target.sync();
  expect_shown(session, target.window, picture, {first}, 3, 4);
  // A second put while the server may still read the first.
  presenter.present(second, picture.view(), 3, 4);
  target.sync();
  expect_shown(session, target.window, picture, {first, second}, 3, 4);
}

TEST_P(X11Presenter, FollowsAPictureOfAnotherSize) {
  X11_SESSION_OR_SKIP(session);
  Target target(session);
  ASSERT_NE(target.window, 0u);
  Presenter presenter(target.connection, target.window, GetParam());
  TestPicture small(30, 20), large(110, 85);
  presenter.present(RECT{0, 0, 30, 20}, small.view(), 0, 0);
  presenter.present(RECT{0, 0, 110, 85}, large.view(), 0, 0);
  target.sync();
  expect_shown(session, target.window, large, {RECT{0, 0, 110, 85}}, 0, 0);
}

TEST_P(X11Presenter, EmptyRectanglesAndMissingPixelsPutNothing) {
  X11_SESSION_OR_SKIP(session);
  Target target(session);
  ASSERT_NE(target.window, 0u);
  Presenter presenter(target.connection, target.window, GetParam());
  TestPicture picture(50, 50);
  presenter.present(RECT{10, 10, 10, 40}, picture.view(), 0, 0);
  presenter.present(RECT{30, 30, 20, 20}, picture.view(), 0, 0);
  presenter.present(RECT{0, 0, 50, 50}, display::PictureView{}, 0, 0);
  target.sync();
  expect_shown(session, target.window, picture, {}, 0, 0);
}

// (Xlib defines Bool as a macro, so the values are spelt out.)
INSTANTIATE_TEST_SUITE_P(SharedMemoryAndPlain, X11Presenter, ::testing::Values(true, false),
                         [](const ::testing::TestParamInfo<bool>& info) {
                           return info.param ? "SharedMemory" : "Plain";
                         });

}  // namespace
}  // namespace kelplat::x11

#else

TEST(X11Presenter, NeedsX11Headers) { GTEST_SKIP() << "built without X11 headers"; }

#endif
