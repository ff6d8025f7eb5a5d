// Where a picture is drawn: which part of it, and into which rectangle of a
// device context.
#ifndef KEL_PLATFORM_PICTURE_PLACEMENT_H
#define KEL_PLATFORM_PICTURE_PLACEMENT_H

namespace kelplat::picture {

// The part of the picture is given in fractions of its width and height,
// measured from its top-left corner: (0, 0, 1, 1) is the whole picture
// upright; a range whose end lies before its start mirrors that axis. The
// destination is x, y, cx, cy in the context's logical coordinates; a
// negative cx or cy mirrors too.
struct Placement {
  double fx0 = 0, fy0 = 0, fx1 = 1, fy1 = 1;
  int x = 0, y = 0, cx = 0, cy = 0;
};

}  // namespace kelplat::picture

#endif  // KEL_PLATFORM_PICTURE_PLACEMENT_H
