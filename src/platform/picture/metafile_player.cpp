#include "metafile_player.h"

#include <algorithm>
#include <cmath>

namespace kelplat::picture {
namespace {

// Mapped coordinates stay well inside int, so no primitive overflows.
constexpr double kCoordinateLimit = double(1 << 30);
constexpr size_t kMaxSavedStates = 4096;

int to_int(double v, double limit = kCoordinateLimit) {
  if (!std::isfinite(v)) return 0;
  return int(std::lround(std::clamp(v, -limit, limit)));
}

}  // namespace

Player::Player(HDC hdc) : dc_(hdc), original_(capture(Mapping{})) {
  GetCurrentPositionEx(dc_, &original_position_);
}

Player::~Player() {
  apply(original_);
  MoveToEx(dc_, original_position_.x, original_position_.y, nullptr);
  for (auto& entry : objects_)
    if (entry.second) DeleteObject(entry.second);
  for (HGDIOBJ object : retired_) DeleteObject(object);
}

POINT Player::point(double x, double y) const {
  return {to_int(transform_.sx * x + transform_.ox), to_int(transform_.sy * y + transform_.oy)};
}

RECT Player::box(double left, double top, double right, double bottom) const {
  POINT a = point(left, top), b = point(right, bottom);
  return {std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
}

HGDIOBJ Player::make_pen(uint32_t style, double width, COLORREF color) const {
  int kind = int(style & PS_STYLE_MASK);
  if (kind > PS_DASHDOTDOT && kind != PS_NULL) kind = PS_SOLID;
  double scale = (std::fabs(transform_.sx) + std::fabs(transform_.sy)) / 2;
  int pixels = std::max(1, to_int(std::fabs(width) * scale, double(1 << 16)));
  return CreatePen(kind, pixels, color & 0xFFFFFF);
}

HGDIOBJ Player::make_brush(uint32_t style, COLORREF color, uint32_t hatch) const {
  switch (style) {
    case BS_NULL:
      return GetStockObject(NULL_BRUSH);
    case BS_HATCHED:
      return CreateHatchBrush(hatch <= HS_DIAGCROSS ? int(hatch) : HS_CROSS, color & 0xFFFFFF);
    default:  // solid, and patterns we show in their colour
      return CreateSolidBrush(color & 0xFFFFFF);
  }
}

HGDIOBJ Player::make_font(const FontRecord& f) const {
  constexpr double kLimit = double(1 << 16);
  return CreateFontA(to_int(f.height * std::fabs(transform_.sy), kLimit),
                     to_int(f.width * std::fabs(transform_.sx), kLimit), f.escapement, f.orientation,
                     f.weight, f.italic, f.underline, f.strike_out, f.char_set, f.out_precision,
                     f.clip_precision, f.quality, f.pitch_and_family, f.face.c_str());
}

void Player::put(uint32_t index, HGDIOBJ object) {
  erase(index);
  objects_[index] = object;
}

void Player::select(uint32_t index) {
  auto it = objects_.find(index);
  if (it != objects_.end() && it->second) SelectObject(dc_, it->second);
}

void Player::select_stock(int stock) {
  if (stock >= WHITE_BRUSH && stock <= DEFAULT_GUI_FONT && stock != DEFAULT_PALETTE) {
    if (HGDIOBJ object = GetStockObject(stock)) SelectObject(dc_, object);
  }
}

bool Player::in_use(HGDIOBJ object) const {
  if (object == GetCurrentObject(dc_, OBJ_PEN) || object == GetCurrentObject(dc_, OBJ_BRUSH) ||
      object == GetCurrentObject(dc_, OBJ_FONT))
    return true;
  return std::any_of(saved_.begin(), saved_.end(), [object](const State& s) {
    return s.pen == object || s.brush == object || s.font == object;
  });
}

void Player::erase(uint32_t index) {
  auto it = objects_.find(index);
  if (it == objects_.end()) return;
  if (HGDIOBJ object = it->second) {
    if (in_use(object))
      retired_.push_back(object);
    else
      DeleteObject(object);
  }
  objects_.erase(it);
}

Player::State Player::capture(const Mapping& mapping) const {
  return {mapping,
          GetCurrentObject(dc_, OBJ_PEN),
          GetCurrentObject(dc_, OBJ_BRUSH),
          GetCurrentObject(dc_, OBJ_FONT),
          GetTextColor(dc_),
          GetBkColor(dc_),
          GetBkMode(dc_),
          GetROP2(dc_),
          GetTextAlign(dc_)};
}

void Player::apply(const State& s) {
  for (HGDIOBJ object : {s.pen, s.brush, s.font})
    if (object) SelectObject(dc_, object);
  SetTextColor(dc_, s.text_color);
  SetBkColor(dc_, s.bk_color);
  SetBkMode(dc_, s.bk_mode);
  SetROP2(dc_, s.rop2);
  SetTextAlign(dc_, s.text_align);
}

void Player::save(const Mapping& mapping) {
  if (saved_.size() < kMaxSavedStates) saved_.push_back(capture(mapping));
}

bool Player::restore(int which, Mapping* mapping) {
  size_t index;
  if (which < 0 && size_t(-int64_t(which)) <= saved_.size())
    index = saved_.size() - size_t(-int64_t(which));
  else if (which > 0 && size_t(which) <= saved_.size())
    index = size_t(which) - 1;
  else
    return false;
  State state = saved_[index];
  saved_.resize(index);
  apply(state);
  *mapping = state.mapping;
  return true;
}

void Player::text(POINT at, const std::string& latin1, const RECT* opaque_box) {
  if (opaque_box) {
    HBRUSH brush = CreateSolidBrush(GetBkColor(dc_));
    FillRect(dc_, opaque_box, brush);
    DeleteObject(brush);
  }
  if (!latin1.empty()) TextOutA(dc_, at.x, at.y, latin1.data(), int(latin1.size()));
}

}  // namespace kelplat::picture
