// Enhanced (EMF) and Windows (WMF, placeable or plain) metafiles: their size,
// and playing their records onto a device context through our own drawing
// functions.
#ifndef KEL_PLATFORM_PICTURE_METAFILE_H
#define KEL_PLATFORM_PICTURE_METAFILE_H

#include "placement.h"
#include "platform.h"
#include "raster_image.h"

namespace kelplat::picture {

struct MetafileInfo {
  bool enhanced = false;
  int32_t width_himetric = 0;  // hundredths of a millimetre
  int32_t height_himetric = 0;
};

// Recognises a metafile and reads its size; false for anything else, or for
// a metafile without a usable size.
bool read_metafile_info(Bytes file, MetafileInfo* info);

// Plays the records onto the context, mapping the picture to the placement.
// The context's pen, brush, font, colours, modes and current position are
// the same afterwards; every object the records made is deleted. Records we
// do not draw are skipped; a damaged record ends the playback.
void play_metafile(Bytes file, const MetafileInfo& info, HDC hdc, const Placement& where);

// The two formats (emf_player.cpp, wmf_player.cpp).
bool read_emf_info(Bytes file, MetafileInfo* info);
bool read_wmf_info(Bytes file, MetafileInfo* info);
void play_emf(Bytes file, HDC hdc, const Placement& where);
void play_wmf(Bytes file, HDC hdc, const Placement& where);

}  // namespace kelplat::picture

#endif  // KEL_PLATFORM_PICTURE_METAFILE_H
