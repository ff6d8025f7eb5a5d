#include "text_faces.h"

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <map>
#include <optional>
#include <tuple>
#include <utility>
#include <vector>

#include "handle_table.h"

namespace kelplat::gdi::text {
namespace {

bool same_name(const char* a, const char* b) {
  for (; *a && *b; ++a, ++b) {
    if (std::tolower(static_cast<unsigned char>(*a)) !=
        std::tolower(static_cast<unsigned char>(*b)))
      return false;
  }
  return *a == *b;
}

struct NamedFace {
  const char* name;
  FaceKind kind;
  bool bold;
};

// The face names programs ask for, and the kind of face each one stands for.
// clang-format off
constexpr NamedFace kNamedFaces[] = {
    {"Console", FaceKind::Fixed, false},      {"Times New Roman", FaceKind::Serif, false},
    {"Small Fonts", FaceKind::Small, false},  {"MS Sans Serif", FaceKind::Sans, false},
    {"Arial", FaceKind::Sans, false},         {"Script", FaceKind::Script, false},
    {"Courier New", FaceKind::Fixed, false},  {"Courier New Bold", FaceKind::Fixed, true},
    {"System", FaceKind::Fixed, false},
};
// clang-format on

FaceKind kind_of_family(BYTE pitch_and_family) {
  switch (pitch_and_family & 0xF0) {
    case FF_ROMAN:
      return FaceKind::Serif;
    case FF_MODERN:
      return FaceKind::Fixed;
    case FF_SCRIPT:
      return FaceKind::Script;
    case FF_SWISS:
    case FF_DECORATIVE:
      return FaceKind::Sans;
    default:
      return (pitch_and_family & 3) == FIXED_PITCH ? FaceKind::Fixed : FaceKind::Sans;
  }
}

// Installed families tried for each kind, best first.
std::vector<const char*> candidates(FaceKind kind) {
  switch (kind) {
    case FaceKind::Serif:
      return {"Liberation Serif", "DejaVu Serif", "Nimbus Roman", "FreeSerif", "Noto Serif"};
    case FaceKind::Sans:
      return {"Liberation Sans", "DejaVu Sans", "Nimbus Sans", "FreeSans", "Noto Sans"};
    case FaceKind::Fixed:
      return {"Liberation Mono", "DejaVu Sans Mono", "Nimbus Mono PS", "FreeMono",
              "Noto Sans Mono"};
    case FaceKind::Script:
      return {"Z003", "URW Chancery L"};
    case FaceKind::Small:
      return {"DejaVu Sans", "Liberation Sans Narrow", "Liberation Sans", "Nimbus Sans Narrow",
              "FreeSans"};
  }
  return {};
}

const char* generic_name(FaceKind kind) {
  switch (kind) {
    case FaceKind::Serif:
      return "serif";
    case FaceKind::Fixed:
      return "monospace";
    case FaceKind::Script:
      return "cursive";
    default:
      return "sans-serif";
  }
}

struct FileRef {
  std::string file;
  int index = 0;
};

class FaceRegistry {
 public:
  FaceEntry* resolve(const FaceRequest& request) {
    std::lock_guard<std::mutex> lock(mutex_);
    int key = int(request.kind) * 4 + (request.bold ? 2 : 0) + (request.italic ? 1 : 0);
    auto found = resolved_.find(key);
    if (found != resolved_.end()) return found->second;
    FaceEntry* entry = search(request);
    resolved_[key] = entry;
    return entry;
  }

 private:
  FaceEntry* search(const FaceRequest& request) {
    if (!start()) return nullptr;
    for (const char* family : candidates(request.kind)) {
      if (auto ref = match(family, request, true))
        if (FaceEntry* entry = open(*ref)) return entry;
    }
    if (auto ref = match(generic_name(request.kind), request, false))
      if (FaceEntry* entry = open(*ref)) return entry;
    for (const FileRef& ref : every_scalable_file())
      if (FaceEntry* entry = open(ref)) return entry;
    return nullptr;
  }

  bool start() {
    if (!started_) {
      started_ = true;
      fontconfig_ok_ = FcInit() == FcTrue;
      freetype_ok_ = FT_Init_FreeType(&library_) == 0;
    }
    return fontconfig_ok_ && freetype_ok_;
  }

  // fontconfig's match for the family; with `exact`, only when the match
  // really is that family (fontconfig substitutes freely otherwise).
  static std::optional<FileRef> match(const char* family, const FaceRequest& request, bool exact) {
    FcPattern* pattern = FcPatternCreate();
    if (!pattern) return std::nullopt;
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family));
    FcPatternAddInteger(pattern, FC_WEIGHT, request.bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, request.italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* matched = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    if (!matched) return std::nullopt;
    std::optional<FileRef> ref;
    if (!exact || has_family(matched, family)) ref = file_of(matched);
    FcPatternDestroy(matched);
    return ref;
  }

  static bool has_family(FcPattern* pattern, const char* family) {
    FcChar8* value = nullptr;
    for (int i = 0; FcPatternGetString(pattern, FC_FAMILY, i, &value) == FcResultMatch; ++i) {
      if (same_name(reinterpret_cast<const char*>(value), family)) return true;
    }
    return false;
  }

  static std::optional<FileRef> file_of(FcPattern* pattern) {
    FcChar8* file = nullptr;
    if (FcPatternGetString(pattern, FC_FILE, 0, &file) != FcResultMatch || !file)
      return std::nullopt;
    int index = 0;
    FcPatternGetInteger(pattern, FC_INDEX, 0, &index);
    return FileRef{reinterpret_cast<const char*>(file), index};
  }

  // Every scalable font fontconfig knows, in file-name order.
  static std::vector<FileRef> every_scalable_file() {
    std::vector<FileRef> files;
    FcPattern* pattern = FcPatternBuild(nullptr, FC_SCALABLE, FcTypeBool, FcTrue, nullptr);
    FcObjectSet* objects = FcObjectSetBuild(FC_FILE, FC_INDEX, nullptr);
    FcFontSet* set = (pattern && objects) ? FcFontList(nullptr, pattern, objects) : nullptr;
    if (set) {
      for (int i = 0; i < set->nfont; ++i)
        if (auto ref = file_of(set->fonts[i])) files.push_back(*ref);
      FcFontSetDestroy(set);
    }
    if (objects) FcObjectSetDestroy(objects);
    if (pattern) FcPatternDestroy(pattern);
    std::sort(files.begin(), files.end(), [](const FileRef& a, const FileRef& b) {
      return std::tie(a.file, a.index) < std::tie(b.file, b.index);
    });
    return files;
  }

  FaceEntry* open(const FileRef& ref) {
    auto key = std::make_pair(ref.file, ref.index);
    auto found = open_.find(key);
    if (found != open_.end()) return found->second;
    FT_Face face = nullptr;
    if (FT_New_Face(library_, ref.file.c_str(), ref.index, &face) != 0) face = nullptr;
    if (face && !FT_IS_SCALABLE(face)) {
      FT_Done_Face(face);
      face = nullptr;
    }
    FaceEntry* entry = nullptr;
    if (face) {
      FT_Select_Charmap(face, FT_ENCODING_UNICODE);
      entry = new FaceEntry;  // lives as long as the process
      entry->face = face;
      entry->file = ref.file;
    }
    open_[key] = entry;
    return entry;
  }

  std::mutex mutex_;
  bool started_ = false;
  bool fontconfig_ok_ = false;
  bool freetype_ok_ = false;
  FT_Library library_ = nullptr;
  std::map<int, FaceEntry*> resolved_;
  std::map<std::pair<std::string, int>, FaceEntry*> open_;
};

}  // namespace

FaceRequest classify(const LOGFONTA& logfont) {
  char name[LF_FACESIZE + 1] = {};
  std::memcpy(name, logfont.lfFaceName, LF_FACESIZE);  // may lack its terminator
  FaceRequest request;
  request.kind = kind_of_family(logfont.lfPitchAndFamily);
  request.bold = logfont.lfWeight >= 600;
  request.italic = logfont.lfItalic != 0;
  for (const NamedFace& named : kNamedFaces) {
    if (same_name(name, named.name)) {
      request.kind = named.kind;
      request.bold = request.bold || named.bold;
      break;
    }
  }
  return request;
}

FaceEntry* resolve_face(const FaceRequest& request) {
  return immortal<FaceRegistry>().resolve(request);
}

}  // namespace kelplat::gdi::text
