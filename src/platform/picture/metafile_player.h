// What playing either kind of metafile needs: the map from the metafile's
// coordinates to the context's, the table of objects the records make, the
// saved states of SaveDC records, and putting the context back afterwards.
#ifndef KEL_PLATFORM_PICTURE_METAFILE_PLAYER_H
#define KEL_PLATFORM_PICTURE_METAFILE_PLAYER_H

#include <map>
#include <string>
#include <vector>

#include "platform.h"

namespace kelplat::picture {

// Context coordinate = s * metafile coordinate + o, per axis.
struct Transform {
  double sx = 1, ox = 0, sy = 1, oy = 0;
};

// The window and viewport of a metafile's mapping mode.
struct Mapping {
  int mode = 1;  // MM_TEXT
  double window_org_x = 0, window_org_y = 0, window_ext_x = 1, window_ext_y = 1;
  double viewport_org_x = 0, viewport_org_y = 0, viewport_ext_x = 1, viewport_ext_y = 1;
};

// A font as a metafile describes it (both formats carry the same fields).
struct FontRecord {
  double height = 0, width = 0;
  int escapement = 0, orientation = 0, weight = 0;
  BYTE italic = 0, underline = 0, strike_out = 0, char_set = 0, out_precision = 0,
       clip_precision = 0, quality = 0, pitch_and_family = 0;
  std::string face;
};

class Player {
 public:
  explicit Player(HDC hdc);
  ~Player();
  Player(const Player&) = delete;
  Player& operator=(const Player&) = delete;

  HDC dc() const { return dc_; }
  void set_transform(const Transform& t) { transform_ = t; }
  POINT point(double x, double y) const;
  // A box given by two corners, mapped and put in order.
  RECT box(double left, double top, double right, double bottom) const;
  // True when the map reverses exactly one axis, which turns arcs around.
  bool mirrored() const { return (transform_.sx < 0) != (transform_.sy < 0); }

  // Objects, made at the scale of the current map.
  HGDIOBJ make_pen(uint32_t style, double width, COLORREF color) const;
  HGDIOBJ make_brush(uint32_t style, COLORREF color, uint32_t hatch) const;
  HGDIOBJ make_font(const FontRecord& font) const;

  // The object table, by the metafile's own index. A null object keeps the
  // slot taken by a kind of object we do not make.
  void put(uint32_t index, HGDIOBJ object);
  bool used(uint32_t index) const { return objects_.count(index) != 0; }
  void select(uint32_t index);
  void select_stock(int stock);
  void erase(uint32_t index);

  // SaveDC and RestoreDC: `which` < 0 counts back from the latest save,
  // > 0 names a save by number. False if there is no such save.
  void save(const Mapping& mapping);
  bool restore(int which, Mapping* mapping);

  void text(POINT at, const std::string& latin1, const RECT* opaque_box);

 private:
  struct State {
    Mapping mapping;
    HGDIOBJ pen, brush, font;
    COLORREF text_color, bk_color;
    int bk_mode, rop2;
    UINT text_align;
  };
  State capture(const Mapping& mapping) const;
  void apply(const State& state);
  bool in_use(HGDIOBJ object) const;

  HDC dc_;
  Transform transform_;
  State original_;
  POINT original_position_{0, 0};
  std::map<uint32_t, HGDIOBJ> objects_;
  std::vector<HGDIOBJ> retired_;  // erased while still selected or saved
  std::vector<State> saved_;
};

}  // namespace kelplat::picture

#endif  // KEL_PLATFORM_PICTURE_METAFILE_PLAYER_H
