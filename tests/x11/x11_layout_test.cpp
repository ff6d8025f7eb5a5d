// Layout of the X11 display's own windows: line breaking of the error box's
// text, the box's geometry and buttons, and moving through the system menu.
#include <gtest/gtest.h>

#if __has_include(<X11/Xlib.h>)

#include <cstdlib>
#include <string>
#include <vector>

#include "platform/display/x11/x11_message_box.h"
#include "platform/display/x11/x11_system_menu.h"
#include "platform/display/x11/x11_text_layout.h"

namespace kelplat::x11 {
namespace {

using Lines = std::vector<std::string>;

// Every character is 10 pixels wide.
int fixed_width(std::string_view text) { return int(text.size()) * 10; }

TEST(X11TextWrap, BreaksBetweenWords) {
  EXPECT_EQ(wrap_text("hello world", 60, fixed_width, 10), (Lines{"hello", "world"}));
  EXPECT_EQ(wrap_text("hello world", 110, fixed_width, 10), (Lines{"hello world"}));
  EXPECT_EQ(wrap_text("a bb ccc dddd", 70, fixed_width, 10), (Lines{"a bb", "ccc", "dddd"}));
}

TEST(X11TextWrap, KeepsLineEndsAndFoldsBlanks) {
  EXPECT_EQ(wrap_text("a\nb\r\nc", 100, fixed_width, 10), (Lines{"a", "b", "c"}));
  EXPECT_EQ(wrap_text("a\n\nb", 100, fixed_width, 10), (Lines{"a", "", "b"}));
  EXPECT_EQ(wrap_text("  a   b\tc  ", 100, fixed_width, 10), (Lines{"a b c"}));
  EXPECT_EQ(wrap_text("", 100, fixed_width, 10), (Lines{""}));
}

TEST(X11TextWrap, CutsWordsWiderThanALine) {
  EXPECT_EQ(wrap_text("abcdefghij", 30, fixed_width, 10), (Lines{"abc", "def", "ghi", "j"}));
  EXPECT_EQ(wrap_text("xy abcdefgh", 30, fixed_width, 10), (Lines{"xy", "abc", "def", "gh"}));
  // No width at all still makes progress, one character per line.
  EXPECT_EQ(wrap_text("abc", 0, fixed_width, 10), (Lines{"a", "b", "c"}));
  EXPECT_EQ(wrap_text("ab", -5, fixed_width, 10), (Lines{"a", "b"}));
}

TEST(X11TextWrap, LongTextIsCutWithEllipsis) {
  std::string text;
  for (int i = 0; i < 100; ++i) text += "line\n";
  Lines lines = wrap_text(text, 100, fixed_width, 5);
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[0], "line");
  EXPECT_EQ(lines[4], "line...");
}

TEST(X11TextWrap, WorkStaysBoundedForHugeText) {
  std::string huge(1 << 20, 'x');
  huge[500000] = ' ';
  size_t calls = 0;
  TextWidth counting = [&calls](std::string_view s) {
    ++calls;
    return int(s.size()) * 10;
  };
  Lines lines = wrap_text(huge, 360, counting, 40);
  ASSERT_EQ(lines.size(), 40u);
  EXPECT_EQ(lines[0], std::string(36, 'x'));
  EXPECT_LT(calls, 5000u);
}

TEST(X11MessageBox, ButtonsAndDismissal) {
  auto answers = [](UINT type) {
    std::vector<int> out;
    for (const auto& button : message_box_buttons(type)) out.push_back(button.answer);
    return out;
  };
  EXPECT_EQ(answers(MB_OK | MB_ICONERROR), (std::vector<int>{IDOK}));
  EXPECT_EQ(answers(MB_OKCANCEL), (std::vector<int>{IDOK, IDCANCEL}));
  EXPECT_EQ(answers(MB_YESNO | MB_ICONQUESTION), (std::vector<int>{IDYES, IDNO}));
  EXPECT_EQ(answers(0xF), (std::vector<int>{IDOK}));  // unknown kinds get OK
  EXPECT_EQ(message_box_dismiss_answer(MB_OK | MB_ICONERROR), IDOK);
  EXPECT_EQ(message_box_dismiss_answer(MB_OKCANCEL), IDCANCEL);
  EXPECT_EQ(message_box_dismiss_answer(MB_YESNO), 0);
}

bool inside(const RECT& inner, int width, int height) {
  return inner.left >= 0 && inner.top >= 0 && inner.right <= width && inner.bottom <= height &&
         inner.left < inner.right && inner.top < inner.bottom;
}

TEST(X11MessageBox, ErrorBoxLayout) {
  using L = MessageBoxLayout;
  MessageBoxLayout layout = layout_message_box(
      "Drawing operation was attempted when there was no current window.", 16, fixed_width, 15);
  ASSERT_TRUE(layout.has_icon);
  EXPECT_EQ(layout.icon.right - layout.icon.left, L::kIconSize);
  EXPECT_TRUE(inside(layout.icon, layout.width, layout.button_area_top));
  EXPECT_GE(layout.text_left, layout.icon.right);
  ASSERT_EQ(layout.lines.size(), 2u);  // 66 characters, 36 to a line
  for (const auto& line : layout.lines) {
    EXPECT_LE(fixed_width(line), L::kTextWidth);
    EXPECT_LE(layout.text_left + fixed_width(line), layout.width - L::kMargin);
  }
  EXPECT_LE(layout.text_top + 2 * layout.line_height, layout.button_area_top);
  ASSERT_EQ(layout.buttons.size(), 1u);
  const RECT& ok = layout.buttons[0];
  EXPECT_TRUE(inside(ok, layout.width, layout.height));
  EXPECT_GE(ok.top, layout.button_area_top);
  EXPECT_LE(std::abs(ok.left - (layout.width - ok.right)), 1);  // centred
}

TEST(X11MessageBox, ShortTextWithoutIconAndTwoButtons) {
  MessageBoxLayout layout = layout_message_box("x", MB_OKCANCEL, fixed_width, 15);
  EXPECT_FALSE(layout.has_icon);
  EXPECT_EQ(layout.text_left, MessageBoxLayout::kMargin);
  EXPECT_GE(layout.width, MessageBoxLayout::kMinWidth);
  ASSERT_EQ(layout.buttons.size(), 2u);
  EXPECT_LE(layout.buttons[0].right + MessageBoxLayout::kButtonGap, layout.buttons[1].left);
  EXPECT_EQ(layout.buttons[0].top, layout.buttons[1].top);
  for (const RECT& button : layout.buttons)
    EXPECT_TRUE(inside(button, layout.width, layout.height));
}

TEST(X11MessageBox, HugeTextStaysOnScreen) {
  std::string text(1 << 20, 'w');
  MessageBoxLayout layout = layout_message_box(text, 16, fixed_width, 15);
  EXPECT_EQ(layout.lines.size(), MessageBoxLayout::kMaxLines);
  EXPECT_LE(layout.width, 2 * MessageBoxLayout::kMargin + MessageBoxLayout::kIconSize +
                              MessageBoxLayout::kMargin + MessageBoxLayout::kTextWidth + 30);
  EXPECT_LT(layout.height, 1000);
}

std::vector<SystemMenuEntry> menu(std::initializer_list<const char*> texts) {
  std::vector<SystemMenuEntry> entries;
  UINT id = 1;
  for (const char* text : texts) {
    SystemMenuEntry entry;
    entry.separator = *text == 0;
    entry.text = text;
    entry.id = entry.separator ? 0 : id++;
    entries.push_back(entry);
  }
  return entries;
}

TEST(X11SystemMenu, SelectionSkipsSeparatorsAndWraps) {
  auto entries = menu({"Move", "Minimize", "Close", "", "Save image as...", ""});
  EXPECT_EQ(next_selectable(entries, -1, 1), 0);
  EXPECT_EQ(next_selectable(entries, -1, -1), 4);
  EXPECT_EQ(next_selectable(entries, 2, 1), 4);
  EXPECT_EQ(next_selectable(entries, 4, 1), 0);
  EXPECT_EQ(next_selectable(entries, 0, -1), 4);
  EXPECT_EQ(next_selectable(entries, 4, -1), 2);
  EXPECT_EQ(next_selectable(entries, 99, 1), 0);
}

TEST(X11SystemMenu, NothingToSelect) {
  EXPECT_EQ(next_selectable({}, -1, 1), -1);
  EXPECT_EQ(next_selectable(menu({"", ""}), -1, 1), -1);
  EXPECT_EQ(next_selectable(menu({"", "Only", ""}), 1, 1), 1);
}

}  // namespace
}  // namespace kelplat::x11

#else

TEST(X11Layout, NeedsX11Headers) { GTEST_SKIP() << "built without X11 headers"; }

#endif
