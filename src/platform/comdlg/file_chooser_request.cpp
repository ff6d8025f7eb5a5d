// Reading a file dialog's request and storing its answer.
#include "file_chooser_request.h"

#include <cctype>
#include <cstring>

namespace kelplat::comdlg {

namespace {

// No real dialog has filters this long; a list without its final empty
// string stops here instead of running through memory.
constexpr size_t kMaxFilterBytes = 64 * 1024;

std::vector<std::string> split_patterns(const std::string& list) {
  std::vector<std::string> patterns;
  size_t start = 0;
  while (start <= list.size()) {
    size_t end = list.find(';', start);
    if (end == std::string::npos) end = list.size();
    std::string pattern = list.substr(start, end - start);
    size_t first = pattern.find_first_not_of(' ');
    size_t last = pattern.find_last_not_of(' ');
    if (first != std::string::npos) patterns.push_back(pattern.substr(first, last - first + 1));
    start = end + 1;
  }
  return patterns;
}

char fold(char c) { return char(std::tolower(static_cast<unsigned char>(c))); }

std::string transformed(const std::string& text, int (*change)(int)) {
  std::string out = text;
  for (char& c : out) c = char(change(static_cast<unsigned char>(c)));
  return out;
}

}  // namespace

std::vector<FileFilter> parse_filters(const char* filter_pairs) {
  std::vector<FileFilter> filters;
  if (!filter_pairs) return filters;
  const char* p = filter_pairs;
  const char* limit = filter_pairs + kMaxFilterBytes;
  while (p < limit && *p) {
    size_t description_length = strnlen(p, size_t(limit - p));
    const char* patterns = p + description_length + 1;
    if (patterns >= limit) break;
    size_t patterns_length = strnlen(patterns, size_t(limit - patterns));
    // An empty pattern list is the list's end, not a filter.
    if (patterns_length == 0 || patterns + patterns_length >= limit) break;
    filters.push_back({std::string(p, description_length),
                       split_patterns(std::string(patterns, patterns_length))});
    p = patterns + patterns_length + 1;
  }
  return filters;
}

bool matches_pattern(const std::string& name, const std::string& pattern) {
  // Iterative wildcard match: on a mismatch, the last '*' takes one more
  // character. Linear in practice, never recursive.
  size_t n = 0, p = 0, star = std::string::npos, resume = 0;
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == '?' || fold(pattern[p]) == fold(name[n]))) {
      ++n;
      ++p;
    } else if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      resume = n;
    } else if (star != std::string::npos) {
      p = star + 1;
      n = ++resume;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

bool matches_any(const std::string& name, const std::vector<std::string>& patterns) {
  if (patterns.empty()) return true;
  for (const auto& pattern : patterns)
    if (matches_pattern(name, pattern)) return true;
  return false;
}

std::vector<std::string> pattern_case_forms(const std::string& pattern) {
  std::vector<std::string> forms{transformed(pattern, std::tolower)};
  std::string upper = transformed(pattern, std::toupper);
  if (upper != forms[0]) forms.push_back(upper);
  if (pattern != forms[0] && pattern != upper) forms.push_back(pattern);
  return forms;
}

ChooserRequest make_request(const OPENFILENAMEA& ofn, bool save) {
  ChooserRequest request;
  request.save = save;
  request.flags = ofn.Flags;
  request.title = ofn.lpstrTitle && *ofn.lpstrTitle ? ofn.lpstrTitle : (save ? "Save As" : "Open");
  if (ofn.lpstrInitialDir) request.initial_dir = ofn.lpstrInitialDir;
  request.initial_name.assign(ofn.lpstrFile, strnlen(ofn.lpstrFile, ofn.nMaxFile));
  request.filters = parse_filters(ofn.lpstrFilter);
  if (ofn.nFilterIndex >= 1 && ofn.nFilterIndex <= request.filters.size())
    request.active_filter = ofn.nFilterIndex - 1;
  return request;
}

bool store_chosen_path(OPENFILENAMEA* ofn, const std::string& path) {
  if (path.empty() || path.size() >= ofn->nMaxFile || path.find('\0') != std::string::npos)
    return false;
  std::memcpy(ofn->lpstrFile, path.c_str(), path.size() + 1);
  return true;
}

}  // namespace kelplat::comdlg
