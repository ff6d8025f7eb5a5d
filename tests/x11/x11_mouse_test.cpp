// Pointer input from a virtual X server: moves, clicks and double clicks of
// the three buttons fill the mouse queues in client coordinates and call the
// handlers, in the order they happened.
#include <gtest/gtest.h>

#if __has_include(<X11/Xlib.h>)

#include <sstream>
#include <string>
#include <vector>

#include "x11_session.h"

// The mouse event kinds.
#include <graphics.h>

namespace {

using x11_test::XSession;

struct MouseEvent {
  int kind, x, y;
  bool operator==(const MouseEvent& o) const { return kind == o.kind && x == o.x && y == o.y; }
};

std::ostream& operator<<(std::ostream& out, const MouseEvent& e) {
  return out << std::hex << "0x" << e.kind << std::dec << "@" << e.x << "," << e.y;
}

// The probe's "handler" and "queue" lines, and its last position.
struct MouseReport {
  std::vector<MouseEvent> handled;
  std::vector<MouseEvent> queued;
  MouseEvent last{0, -1, -1};

  // Events other than moves, in order.
  std::vector<MouseEvent> buttons() const {
    std::vector<MouseEvent> out;
    for (const auto& e : handled)
      if (e.kind != WM_MOUSEMOVE) out.push_back(e);
    return out;
  }
  std::vector<MouseEvent> queued_of(int kind) const {
    std::vector<MouseEvent> out;
    for (const auto& e : queued)
      if (e.kind == kind) out.push_back(e);
    return out;
  }
};

MouseReport parse(const std::vector<std::string>& lines) {
  MouseReport report;
  for (const auto& line : lines) {
    std::istringstream in(line);
    std::string word;
    in >> word;
    MouseEvent e{0, 0, 0};
    if (word == "handler" && in >> e.kind >> e.x >> e.y) report.handled.push_back(e);
    if (word == "queue" && in >> e.kind >> e.x >> e.y) report.queued.push_back(e);
    if (word == "last") in >> report.last.x >> report.last.y;
  }
  return report;
}

class X11Mouse : public ::testing::Test {
 protected:
  // Starts the probe and finds where its client area is on the screen.
  bool start(XSession& session) {
    probe_ = session.run("prog_x11_probe", {"mouse"});
    if (!probe_ || !probe_->read_until("ready", nullptr, XSession::kTimeoutMs)) return false;
    std::vector<Window> windows = session.windows_of(probe_->pid(), 1);
    if (windows.size() != 1) return false;
    window_ = windows[0];
    x11_test::Placement p = session.placement(window_);
    origin_x_ = p.x;
    origin_y_ = p.y;
    return p.width == 320 && p.height == 240;
  }

  bool move(XSession& session, int x, int y) {
    return session.pointer_to(origin_x_ + x, origin_y_ + y);
  }

  bool click(XSession& session, int x, int y, int button, int count = 1) {
    return move(session, x, y) && session.xdotool({"click", "--repeat", std::to_string(count),
                                                   "--delay", "60", std::to_string(button)});
  }

  MouseReport finish(XSession& session) {
    std::vector<std::string> lines;
    EXPECT_TRUE(session.keys(window_, {"q"}));
    EXPECT_TRUE(probe_->read_until("done", &lines, XSession::kTimeoutMs));
    EXPECT_EQ(probe_->wait_exit(XSession::kTimeoutMs), 0);
    return parse(lines);
  }

  std::unique_ptr<x11_test::Child> probe_;
  Window window_ = 0;
  int origin_x_ = 0, origin_y_ = 0;
};

TEST_F(X11Mouse, ClicksOfEachButtonInOrder) {
  X11_SESSION_OR_SKIP(session);
  ASSERT_TRUE(start(session));
  ASSERT_TRUE(click(session, 10, 20, 1));
  ASSERT_TRUE(click(session, 50, 60, 3));
  ASSERT_TRUE(click(session, 300, 230, 2));
  MouseReport report = finish(session);
  std::vector<MouseEvent> expected{{WM_LBUTTONDOWN, 10, 20},   {WM_LBUTTONUP, 10, 20},
                                   {WM_RBUTTONDOWN, 50, 60},   {WM_RBUTTONUP, 50, 60},
                                   {WM_MBUTTONDOWN, 300, 230}, {WM_MBUTTONUP, 300, 230}};
  EXPECT_EQ(report.buttons(), expected);
  EXPECT_EQ(report.queued_of(WM_LBUTTONDOWN), (std::vector<MouseEvent>{{WM_LBUTTONDOWN, 10, 20}}));
  EXPECT_EQ(report.queued_of(WM_MBUTTONUP), (std::vector<MouseEvent>{{WM_MBUTTONUP, 300, 230}}));
  EXPECT_EQ(report.last.x, 300);
  EXPECT_EQ(report.last.y, 230);
}

TEST_F(X11Mouse, DoubleClicksPairPressesOfOneButton) {
  X11_SESSION_OR_SKIP(session);
  ASSERT_TRUE(start(session));
  ASSERT_TRUE(click(session, 40, 30, 1, 2));
  ASSERT_TRUE(click(session, 200, 100, 3, 2));
  // Three quick presses: a double click, then the start of a new pair.
  ASSERT_TRUE(click(session, 100, 150, 1, 3));
  MouseReport report = finish(session);
  std::vector<MouseEvent> expected{
      {WM_LBUTTONDOWN, 40, 30},     {WM_LBUTTONUP, 40, 30},       {WM_LBUTTONDBLCLK, 40, 30},
      {WM_LBUTTONUP, 40, 30},       {WM_RBUTTONDOWN, 200, 100},   {WM_RBUTTONUP, 200, 100},
      {WM_RBUTTONDBLCLK, 200, 100}, {WM_RBUTTONUP, 200, 100},     {WM_LBUTTONDOWN, 100, 150},
      {WM_LBUTTONUP, 100, 150},     {WM_LBUTTONDBLCLK, 100, 150}, {WM_LBUTTONUP, 100, 150},
      {WM_LBUTTONDOWN, 100, 150},   {WM_LBUTTONUP, 100, 150}};
  EXPECT_EQ(report.buttons(), expected);
  EXPECT_EQ(report.queued_of(WM_LBUTTONDBLCLK).size(), 2u);
  EXPECT_EQ(report.queued_of(WM_RBUTTONDBLCLK),
            (std::vector<MouseEvent>{{WM_RBUTTONDBLCLK, 200, 100}}));
}

TEST_F(X11Mouse, ClicksApartAreNotDoubleClicks) {
  X11_SESSION_OR_SKIP(session);
  ASSERT_TRUE(start(session));
  ASSERT_TRUE(click(session, 10, 10, 1));
  ASSERT_TRUE(click(session, 20, 10, 1));  // quick, but 10 pixels away
  ASSERT_TRUE(click(session, 20, 10, 3));  // same place, other button
  MouseReport report = finish(session);
  EXPECT_TRUE(report.queued_of(WM_LBUTTONDBLCLK).empty());
  EXPECT_TRUE(report.queued_of(WM_RBUTTONDBLCLK).empty());
  EXPECT_EQ(report.queued_of(WM_LBUTTONDOWN).size(), 2u);
}

TEST_F(X11Mouse, MovesInsideTheClientAreaOnly) {
  X11_SESSION_OR_SKIP(session);
  ASSERT_TRUE(start(session));
  ASSERT_TRUE(move(session, 5, 6));
  ASSERT_TRUE(move(session, 319, 239));
  ASSERT_TRUE(move(session, 400, 100));  // beside the window
  ASSERT_TRUE(move(session, -50, -50));  // above and left of it
  ASSERT_TRUE(move(session, 160, 120));
  MouseReport report = finish(session);
  std::vector<MouseEvent> expected{
      {WM_MOUSEMOVE, 5, 6}, {WM_MOUSEMOVE, 319, 239}, {WM_MOUSEMOVE, 160, 120}};
  EXPECT_EQ(report.handled, expected);
  EXPECT_EQ(report.queued_of(WM_MOUSEMOVE), expected);
  EXPECT_EQ(report.last, (MouseEvent{0, 160, 120}));
}

}  // namespace

#else

TEST(X11Mouse, NeedsX11Headers) { GTEST_SKIP() << "built without X11 headers"; }

#endif
