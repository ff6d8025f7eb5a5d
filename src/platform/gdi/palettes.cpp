// Logical palettes and the fixed colour tables.
//
// Every page and window of the portable platform is 32 bits per pixel, so
// there is no hardware palette: selecting a palette only changes the colour
// tables that DIB calls hand out, RealizePalette maps nothing (it returns 0),
// and the system palette is a fixed set (the 20 static colours, then black).
#include <algorithm>
#include <cstring>

#include "gdi_core.h"
#include "palette_tables.h"

namespace kelplat::gdi {

const PALETTEENTRY kStaticColors[kStaticColorCount] = {
    {0, 0, 0, 0},       {128, 0, 0, 0},     {0, 128, 0, 0},     {128, 128, 0, 0},
    {0, 0, 128, 0},     {128, 0, 128, 0},   {0, 128, 128, 0},   {192, 192, 192, 0},
    {192, 220, 192, 0}, {166, 202, 240, 0}, {255, 251, 240, 0}, {160, 160, 164, 0},
    {128, 128, 128, 0}, {255, 0, 0, 0},     {0, 255, 0, 0},     {255, 255, 0, 0},
    {0, 0, 255, 0},     {255, 0, 255, 0},   {0, 255, 255, 0},   {255, 255, 255, 0}};

namespace {

constexpr int kSystemPaletteSize = 256;

uint32_t rgb_pixel(int r, int g, int b) { return uint32_t(r) << 16 | uint32_t(g) << 8 | uint32_t(b); }

// The 16 standard colours: the first eight static colours, then the
// bright ones.
std::vector<uint32_t> standard_16() {
  std::vector<uint32_t> table;
  for (int i : {0, 1, 2, 3, 4, 5, 6, 7, 12, 13, 14, 15, 16, 17, 18, 19}) {
    table.push_back(entry_pixel(kStaticColors[i]));
  }
  return table;
}

// Ten static colours, a 6 x 6 x 6 colour cube, 20 greys, ten static colours.
std::vector<uint32_t> standard_256() {
  std::vector<uint32_t> table;
  for (int i = 0; i < 10; i++) table.push_back(entry_pixel(kStaticColors[i]));
  for (int r = 0; r < 6; r++) {
    for (int g = 0; g < 6; g++) {
      for (int b = 0; b < 6; b++) table.push_back(rgb_pixel(r * 51, g * 51, b * 51));
    }
  }
  for (int i = 1; i <= 20; i++) {
    int grey = i * 255 / 21;
    table.push_back(rgb_pixel(grey, grey, grey));
  }
  for (int i = 10; i < kStaticColorCount; i++) table.push_back(entry_pixel(kStaticColors[i]));
  return table;
}

Palette* palette_of(HPALETTE handle) { return lookup<Palette>(handle); }

// The program's own palette selected into the context, or null.
const Palette* own_palette(const DeviceContext* dc) {
  const Palette* palette = dc ? palette_of(dc->palette) : nullptr;
  return palette && !palette->stock ? palette : nullptr;
}

}  // namespace

std::vector<uint32_t> default_color_table(int bits) {
  if (bits == 1) return {0, kWhitePixel};
  if (bits == 4) return standard_16();
  return standard_256();
}

std::vector<uint32_t> context_color_table(const DeviceContext* dc, int bits) {
  const Palette* palette = own_palette(dc);
  if (!palette) return default_color_table(bits);
  std::vector<uint32_t> table(size_t(1) << bits, 0);
  size_t count = std::min(table.size(), palette->entries.size());
  for (size_t i = 0; i < count; i++) table[i] = entry_pixel(palette->entries[i]);
  return table;
}

std::vector<uint32_t> context_palette(const DeviceContext* dc) {
  std::vector<uint32_t> colors;
  const Palette* palette = own_palette(dc);
  if (palette) {
    for (const PALETTEENTRY& entry : palette->entries) colors.push_back(entry_pixel(entry));
  } else {
    for (const PALETTEENTRY& entry : kStaticColors) colors.push_back(entry_pixel(entry));
  }
  return colors;
}

}  // namespace kelplat::gdi

using namespace kelplat::gdi;

HPALETTE WINAPI CreatePalette(const LOGPALETTE* logical) {
  if (!logical || logical->palVersion != 0x300 || logical->palNumEntries == 0) return nullptr;
  auto palette = std::make_unique<Palette>();
  palette->entries.assign(logical->palPalEntry, logical->palPalEntry + logical->palNumEntries);
  return add_object<HPALETTE>(std::move(palette));
}

HPALETTE WINAPI SelectPalette(HDC hdc, HPALETTE handle, BOOL /*force_background*/) {
  DeviceContext* dc = fast_dc(hdc);
  Palette* palette = palette_of(handle);
  if (!dc || !palette) return nullptr;
  std::lock_guard<std::mutex> lock(selection_mutex());
  HPALETTE old = dc->palette;
  if (!palette->stock) palette->selections++;
  release_selection(old);
  dc->palette = handle;
  return old;
}

UINT WINAPI RealizePalette(HDC hdc) { return fast_dc(hdc) ? 0 : UINT(GDI_ERROR); }

UINT WINAPI GetSystemPaletteEntries(HDC hdc, UINT start, UINT count, LPPALETTEENTRY entries) {
  if (!fast_dc(hdc)) return 0;
  if (!entries) return kSystemPaletteSize;
  for (UINT i = 0; i < count; i++) {
    uint64_t index = uint64_t(start) + i;
    entries[i] = index < kStaticColorCount ? kStaticColors[index] : PALETTEENTRY{0, 0, 0, 0};
  }
  return count;
}

UINT WINAPI GetPaletteEntries(HPALETTE handle, UINT start, UINT count, LPPALETTEENTRY entries) {
  Palette* palette = palette_of(handle);
  if (!palette) return 0;
  size_t size = palette->entries.size();
  if (!entries) return UINT(size);
  if (start >= size) return 0;
  size_t copied = std::min(size_t(count), size - start);
  std::memcpy(entries, palette->entries.data() + start, copied * sizeof(PALETTEENTRY));
  return UINT(copied);
}
