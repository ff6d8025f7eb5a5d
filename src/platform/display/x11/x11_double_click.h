// Double clicks for the X11 display: X reports single presses only, so the
// window pairs them itself. A press is a double click when it is the second
// press of the same button within the platform's double-click time and within
// the double-click rectangle centred on the first press; the press after a
// double click starts a new pair.
#ifndef KEL_PLATFORM_DISPLAY_X11_DOUBLE_CLICK_H
#define KEL_PLATFORM_DISPLAY_X11_DOUBLE_CLICK_H

#include <cstdint>
#include <cstdlib>

namespace kelplat::x11 {

class DoubleClickDetector {
 public:
  static constexpr uint32_t kTimeMs = 500;

  // `time_ms` is the server's millisecond clock, which wraps around; `width`
  // and `height` are the double-click rectangle's size. True when this press
  // completes a double click.
  bool press(int button, int x, int y, uint32_t time_ms, int width, int height) {
    bool is_double = armed_ && button == button_ && time_ms - time_ <= kTimeMs &&
                     std::abs(x - x_) <= width / 2 && std::abs(y - y_) <= height / 2;
    armed_ = !is_double;
    button_ = button;
    x_ = x;
    y_ = y;
    time_ = time_ms;
    return is_double;
  }

  // Forgets the pending first press (the pointer left, the window moved).
  void reset() { armed_ = false; }

 private:
  bool armed_ = false;
  int button_ = 0;
  int x_ = 0;
  int y_ = 0;
  uint32_t time_ = 0;
};

}  // namespace kelplat::x11

#endif  // KEL_PLATFORM_DISPLAY_X11_DOUBLE_CLICK_H
