// Line breaking for the X11 display's own windows.
#include "x11_text_layout.h"

namespace kelplat::x11 {
namespace {

class LineBreaker {
 public:
  LineBreaker(int max_width, const TextWidth& width_of, size_t max_lines)
      : max_width_(max_width), width_of_(width_of), max_lines_(max_lines) {}

  // Lines beyond the limit are never looked at, so the work stays small
  // whatever the length of the text.
  bool full() const { return max_lines_ > 0 && lines_.size() > max_lines_; }

  void add_paragraph(std::string_view paragraph) {
    std::string line;
    size_t i = 0;
    while (i < paragraph.size() && !full()) {
      if (is_blank(paragraph[i])) {
        ++i;
        continue;
      }
      size_t end = i;
      while (end < paragraph.size() && !is_blank(paragraph[end])) ++end;
      add_word(line, paragraph.substr(i, end - i));
      i = end;
    }
    lines_.push_back(std::move(line));
  }

  std::vector<std::string> take() { return std::move(lines_); }

 private:
  static bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

  bool fits(std::string_view s) const { return width_of_(s) <= max_width_; }

  // Length of the longest prefix of `word` that fits, at least 1, so even a
  // width of zero makes progress.
  size_t fitting_prefix(std::string_view word) const {
    size_t n = 1;
    while (n < word.size() && fits(word.substr(0, n + 1))) ++n;
    return n;
  }

  void add_word(std::string& line, std::string_view word) {
    if (!line.empty()) {
      std::string candidate = line + " " + std::string(word);
      if (fits(candidate)) {
        line = std::move(candidate);
        return;
      }
      lines_.push_back(std::move(line));
      line.clear();
    }
    // The rest of the word becomes the line once it fits (or is a single
    // character too wide for any line).
    while (!full()) {
      size_t n = fitting_prefix(word);
      if (n >= word.size()) break;
      lines_.emplace_back(word.substr(0, n));
      word.remove_prefix(n);
    }
    line = std::string(word);
  }

  int max_width_;
  const TextWidth& width_of_;
  size_t max_lines_;
  std::vector<std::string> lines_;
};

}  // namespace

std::vector<std::string> wrap_text(std::string_view text, int max_width, const TextWidth& width_of,
                                   size_t max_lines) {
  LineBreaker breaker(max_width, width_of, max_lines);
  size_t start = 0;
  while (!breaker.full()) {
    size_t end = text.find('\n', start);
    breaker.add_paragraph(text.substr(start, end == std::string_view::npos ? end : end - start));
    if (end == std::string_view::npos) break;
    start = end + 1;
  }
  std::vector<std::string> lines = breaker.take();
  if (max_lines > 0 && lines.size() > max_lines) {
    lines.resize(max_lines);
    lines.back() += "...";
  }
  return lines;
}

}  // namespace kelplat::x11
