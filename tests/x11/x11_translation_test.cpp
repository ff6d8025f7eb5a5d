// How the X11 display turns key symbols into virtual keys and characters of
// the Western code page, and pairs button presses into double clicks.
#include <gtest/gtest.h>

#if __has_include(<X11/Xlib.h>)

#define XK_PUBLISHING
#include <X11/X.h>
#include <X11/keysym.h>

#include <string>

#include "platform/display/x11/x11_double_click.h"
#include "platform/display/x11/x11_keys.h"

namespace kelplat::x11 {
namespace {

TEST(X11VirtualKeys, LettersAndDigitsIgnoreShift) {
  EXPECT_EQ(virtual_key_from_keysym(XK_a), UINT('A'));
  EXPECT_EQ(virtual_key_from_keysym(XK_A), UINT('A'));
  EXPECT_EQ(virtual_key_from_keysym(XK_z), UINT('Z'));
  EXPECT_EQ(virtual_key_from_keysym(XK_0), UINT('0'));
  EXPECT_EQ(virtual_key_from_keysym(XK_9), UINT('9'));
  // Shift+1 looks up '!', but the key is still the 1 key.
  EXPECT_EQ(key_for_virtual_key(XK_1, XK_exclam), KeySymbol(XK_1));
  EXPECT_EQ(key_for_virtual_key(XK_q, XK_Q), KeySymbol(XK_q));
}

TEST(X11VirtualKeys, KeysOfTheKeyboardTable) {
  struct Case {
    KeySymbol sym;
    UINT vk;
  } cases[] = {
      {XK_Left, VK_LEFT},
      {XK_Up, VK_UP},
      {XK_Right, VK_RIGHT},
      {XK_Down, VK_DOWN},
      {XK_Home, VK_HOME},
      {XK_End, VK_END},
      {XK_Prior, VK_PRIOR},
      {XK_Next, VK_NEXT},
      {XK_Insert, VK_INSERT},
      {XK_Delete, VK_DELETE},
      {XK_KP_Begin, VK_CLEAR},
      {XK_F1, VK_F1},
      {XK_F9, VK_F9},
      {XK_F10, VK_F10},
      {XK_F12, VK_F12},
      {XK_F24, VK_F24},
      {XK_Return, VK_RETURN},
      {XK_KP_Enter, VK_RETURN},
      {XK_Escape, VK_ESCAPE},
      {XK_BackSpace, VK_BACK},
      {XK_Tab, VK_TAB},
      {XK_ISO_Left_Tab, VK_TAB},
      {XK_Shift_L, VK_SHIFT},
      {XK_Shift_R, VK_SHIFT},
      {XK_Control_L, VK_CONTROL},
      {XK_Control_R, VK_CONTROL},
      {XK_space, VK_SPACE},
      {XK_KP_Home, VK_HOME},
      {XK_KP_Delete, VK_DELETE},
  };
  for (const Case& c : cases)
    EXPECT_EQ(virtual_key_from_keysym(c.sym), c.vk) << "keysym 0x" << std::hex << c.sym;
}

TEST(X11VirtualKeys, KeypadFollowsNumLock) {
  // Keypad 7: unshifted symbol KP_Home; with Num Lock the lookup gives KP_7.
  EXPECT_EQ(virtual_key_from_keysym(key_for_virtual_key(XK_KP_Home, XK_KP_7)),
            UINT(VK_NUMPAD0 + 7));
  EXPECT_EQ(virtual_key_from_keysym(key_for_virtual_key(XK_KP_Home, XK_KP_Home)), UINT(VK_HOME));
  // Keypad 5 without Num Lock is the keypad centre key, VK_CLEAR.
  EXPECT_EQ(virtual_key_from_keysym(key_for_virtual_key(XK_KP_Begin, XK_KP_Begin)), UINT(VK_CLEAR));
  EXPECT_EQ(virtual_key_from_keysym(key_for_virtual_key(XK_KP_Begin, XK_KP_5)),
            UINT(VK_NUMPAD0 + 5));
  for (int digit = 0; digit <= 9; ++digit)
    EXPECT_EQ(virtual_key_from_keysym(XK_KP_0 + digit), UINT(VK_NUMPAD0 + digit));
  // A key without an unshifted symbol takes the looked-up one.
  EXPECT_EQ(key_for_virtual_key(NoSymbol, XK_F3), KeySymbol(XK_F3));
}

TEST(X11VirtualKeys, UnknownSymbolsHaveNone) {
  EXPECT_EQ(virtual_key_from_keysym(0x6C1 /* Cyrillic a */), 0u);
  EXPECT_EQ(virtual_key_from_keysym(NoSymbol), 0u);
  EXPECT_EQ(virtual_key_from_keysym(0xFFFFFFFFul), 0u);
}

TEST(X11VirtualKeys, ExtendedKeysAreTheNavigationCluster) {
  EXPECT_TRUE(is_extended_key(XK_Left));
  EXPECT_TRUE(is_extended_key(XK_Delete));
  EXPECT_TRUE(is_extended_key(XK_KP_Enter));
  EXPECT_FALSE(is_extended_key(XK_KP_Left));
  EXPECT_FALSE(is_extended_key(XK_Return));
  EXPECT_FALSE(is_extended_key(XK_a));
}

TEST(X11Characters, LookedUpBytesAreTheCharacter) {
  EXPECT_EQ(char_from_key(XK_a, "a"), 'a');
  EXPECT_EQ(char_from_key(XK_A, "A"), 'A');
  EXPECT_EQ(char_from_key(XK_Return, "\r"), 13);
  EXPECT_EQ(char_from_key(XK_Escape, "\x1b"), 27);
  EXPECT_EQ(char_from_key(XK_BackSpace, "\b"), 8);
  EXPECT_EQ(char_from_key(XK_Tab, "\t"), 9);
  EXPECT_EQ(char_from_key(XK_c, "\x03"), 3);  // Control+C
  EXPECT_EQ(char_from_key(XK_eacute, "\xe9"), 0xE9);
}

TEST(X11Characters, KeysThatTypeNothing) {
  // X gives Delete the DEL character; on this platform it types nothing.
  EXPECT_EQ(char_from_key(XK_Delete, "\x7f"), -1);
  EXPECT_EQ(char_from_key(XK_KP_Delete, "\x7f"), -1);
  EXPECT_EQ(char_from_key(XK_F1, ""), -1);
  EXPECT_EQ(char_from_key(XK_Left, ""), -1);
  EXPECT_EQ(char_from_key(XK_Shift_L, ""), -1);
  // Two bytes (a compose result) are not one character of the code page.
  EXPECT_EQ(char_from_key(NoSymbol, "ab"), -1);
}

TEST(X11Characters, SymbolsOutsideLatin1UseTheCodePage) {
  EXPECT_EQ(char_from_key(XK_EuroSign, ""), 0x80);
  EXPECT_EQ(char_from_key(XK_Scaron, ""), 0x8A);
  EXPECT_EQ(char_from_key(XK_leftdoublequotemark, ""), 0x93);
  EXPECT_EQ(char_from_key(0x1000000 + 0x0153, ""), 0x9C);  // Unicode keysym of oe
  EXPECT_EQ(char_from_key(0x1000000 + 0x0410, ""), -1);    // Cyrillic A: not in the page
  // Control+Space looks up a NUL; the key symbol still types a space.
  EXPECT_EQ(char_from_key(XK_space, std::string(1, '\0')), ' ');
}

TEST(X11Characters, CodePageRoundTrip) {
  for (int byte = 1; byte < 256; ++byte) {
    unsigned long code = unicode_from_cp1252(static_cast<unsigned char>(byte));
    if (code == 0xFFFD) {
      EXPECT_TRUE(byte == 0x81 || byte == 0x8D || byte == 0x8F || byte == 0x90 || byte == 0x9D)
          << byte;
      continue;
    }
    EXPECT_EQ(cp1252_from_unicode(code), byte) << "byte " << byte;
  }
  EXPECT_EQ(cp1252_from_unicode(0xFFFD), -1);
  EXPECT_EQ(cp1252_from_unicode(0x0081), -1);  // a C1 control, not a character of the page
  EXPECT_EQ(cp1252_from_unicode(0x110000), -1);
}

TEST(X11Characters, TitlesConvertToUtf8AndLatin1) {
  EXPECT_EQ(utf8_from_cp1252("caf\xe9 \x80 x"), "caf\xc3\xa9 \xe2\x82\xac x");
  EXPECT_EQ(utf8_from_cp1252(""), "");
  EXPECT_EQ(utf8_from_cp1252("\x81"), "\xef\xbf\xbd");
  EXPECT_EQ(latin1_from_cp1252("\x80x\xe9\x9f"), "?x\xe9?");
}

TEST(X11DoubleClick, SecondPressOfAPairIsADoubleClick) {
  DoubleClickDetector clicks;
  EXPECT_FALSE(clicks.press(1, 10, 10, 1000, 4, 4));
  EXPECT_TRUE(clicks.press(1, 11, 9, 1200, 4, 4));
  // The third press starts a new pair, the fourth completes it.
  EXPECT_FALSE(clicks.press(1, 11, 9, 1300, 4, 4));
  EXPECT_TRUE(clicks.press(1, 11, 9, 1400, 4, 4));
}

TEST(X11DoubleClick, TimeLimitIsInclusive) {
  DoubleClickDetector clicks;
  clicks.press(1, 0, 0, 1000, 4, 4);
  EXPECT_TRUE(clicks.press(1, 0, 0, 1500, 4, 4));
  clicks.press(1, 0, 0, 2000, 4, 4);
  EXPECT_FALSE(clicks.press(1, 0, 0, 2501, 4, 4));
  // The late press is itself the first of a new pair.
  EXPECT_TRUE(clicks.press(1, 0, 0, 2600, 4, 4));
}

TEST(X11DoubleClick, DistanceAndButtonMatter) {
  DoubleClickDetector clicks;
  clicks.press(1, 50, 50, 0, 4, 4);
  EXPECT_FALSE(clicks.press(1, 53, 50, 10, 4, 4));  // 3 px away: outside a 4 px box
  EXPECT_TRUE(clicks.press(1, 55, 52, 20, 4, 4));   // 2 px from the previous press
  clicks.press(1, 0, 0, 100, 4, 4);
  EXPECT_FALSE(clicks.press(3, 0, 0, 110, 4, 4));  // another button
  EXPECT_TRUE(clicks.press(3, 0, 0, 120, 4, 4));
}

TEST(X11DoubleClick, ServerClockWrapsAround) {
  DoubleClickDetector clicks;
  clicks.press(1, 0, 0, 0xFFFFFF00u, 4, 4);
  EXPECT_TRUE(clicks.press(1, 0, 0, 0x10u, 4, 4));  // 272 ms later
  clicks.press(1, 0, 0, 5000, 4, 4);
  EXPECT_FALSE(clicks.press(1, 0, 0, 4990, 4, 4));  // earlier than the first
}

TEST(X11DoubleClick, ResetForgetsTheFirstPress) {
  DoubleClickDetector clicks;
  clicks.press(2, 0, 0, 0, 4, 4);
  clicks.reset();
  EXPECT_FALSE(clicks.press(2, 0, 0, 10, 4, 4));
  EXPECT_TRUE(clicks.press(2, 0, 0, 20, 4, 4));
}

}  // namespace
}  // namespace kelplat::x11

#else

TEST(X11Translation, NeedsX11Headers) { GTEST_SKIP() << "built without X11 headers"; }

#endif
