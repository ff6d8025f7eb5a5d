#include "metafile.h"

namespace kelplat::picture {

bool read_metafile_info(Bytes file, MetafileInfo* info) {
  return read_emf_info(file, info) || read_wmf_info(file, info);
}

void play_metafile(Bytes file, const MetafileInfo& info, HDC hdc, const Placement& where) {
  if (info.enhanced)
    play_emf(file, hdc, where);
  else
    play_wmf(file, hdc, where);
}

}  // namespace kelplat::picture
