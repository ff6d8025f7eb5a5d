// Puts rectangles of a window's shown picture on its X window: through a
// shared-memory image when the server offers MIT-SHM and accepts our segment,
// else with plain XPutImage.
#ifndef KEL_PLATFORM_DISPLAY_X11_PRESENTER_H
#define KEL_PLATFORM_DISPLAY_X11_PRESENTER_H

#include <X11/Xlib.h>
#include <X11/extensions/XShm.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "backend.h"
#include "x11_connection.h"

namespace kelplat::x11 {

class Presenter {
 public:
  // Without `allow_shm` every put goes through XPutImage, as on a remote
  // display.
  Presenter(std::shared_ptr<Connection> connection, Window window, bool allow_shm = true);
  ~Presenter();
  Presenter(const Presenter&) = delete;
  Presenter& operator=(const Presenter&) = delete;

  // Copies `rect` (picture coordinates, already clipped to the picture) to
  // the window at `rect` moved by (`dx`, `dy`), then flushes.
  void present(const RECT& rect, const display::PictureView& picture, int dx, int dy);

  bool uses_shm() const { return shm_image_ != nullptr; }

 private:
  // A shared-memory image of the given size, or none when the server refuses
  // one (it is remote, or the segment cannot be attached).
  bool make_shm_image(int width, int height);
  void release_shm_image();
  void copy_rows(const RECT& rect, const display::PictureView& picture, uint8_t* data,
                 int bytes_per_line) const;
  void put_shm(const RECT& rect, const display::PictureView& picture, int dx, int dy);
  void put_plain(const RECT& rect, const display::PictureView& picture, int dx, int dy);

  std::shared_ptr<Connection> connection_;
  Window window_;
  GC gc_;
  bool shm_refused_;
  XImage* shm_image_ = nullptr;
  XShmSegmentInfo shm_info_{};
  // The server may still be reading the segment from the last put.
  bool shm_put_pending_ = false;
  std::vector<uint32_t> converted_;  // for visuals whose layout is not the picture's
};

}  // namespace kelplat::x11

#endif  // KEL_PLATFORM_DISPLAY_X11_PRESENTER_H
