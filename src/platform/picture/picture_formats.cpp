#include "picture_formats.h"

#include "decoders.h"

namespace kelplat::picture {
namespace {

using namespace std::string_view_literals;

// Tried in this order.
const RasterFormat kRasterFormats[] = {
    {"bmp", {"BM"sv}, decode_bmp},
    {"gif", {"GIF87a"sv, "GIF89a"sv}, decode_gif},
    {"jpeg", {"\xFF\xD8\xFF"sv}, decode_jpeg, true},
    {"png", {"\x89PNG\r\n\x1A\n"sv}, decode_png},
    {"icon", {"\0\0\1\0"sv, "\0\0\2\0"sv}, decode_icon},  // icons and cursors
};

}  // namespace

bool RasterFormat::matches(Bytes file) const {
  for (std::string_view signature : signatures)
    if (!signature.empty() && file.starts_with(signature.data(), signature.size())) return true;
  return false;
}

const RasterFormat* raster_format_of(Bytes file) {
  for (const RasterFormat& format : kRasterFormats)
    if (format.matches(file)) return &format;
  return nullptr;
}

}  // namespace kelplat::picture
