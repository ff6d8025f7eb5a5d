// Font faces: which installed font file a font request draws with.
//
// Every request falls into one of a few kinds (serif, sans, fixed, script,
// small). Each kind has an explicit list of installed families, tried in
// order through fontconfig, so the same machine always resolves a request to
// the same file; metric-compatible families come first. When none of them is
// installed, fontconfig's best match for the kind's generic name is used, and
// failing that any scalable font file at all. Faces are opened once per file
// and live as long as the process.
#ifndef KEL_PLATFORM_GDI_TEXT_FACES_H
#define KEL_PLATFORM_GDI_TEXT_FACES_H

#include <ft2build.h>
#include FT_FREETYPE_H

#include <mutex>
#include <string>

#include "platform.h"

namespace kelplat::gdi::text {

enum class FaceKind { Serif, Sans, Fixed, Script, Small };

// What the face name, pitch and family of a request ask for.
struct FaceRequest {
  FaceKind kind = FaceKind::Sans;
  bool bold = false;
  bool italic = false;
};

FaceRequest classify(const LOGFONTA& logfont);

// One opened font file. FreeType faces are not safe for use by two threads at
// once: every use of `face` (and of the sizes made from it) holds `mutex`.
struct FaceEntry {
  FT_Face face = nullptr;
  std::mutex mutex;
  std::string file;
};

// The face for a request, or null when no font can be found at all.
FaceEntry* resolve_face(const FaceRequest& request);

}  // namespace kelplat::gdi::text

#endif  // KEL_PLATFORM_GDI_TEXT_FACES_H
