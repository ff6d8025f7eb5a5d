// Keyboard translation for the X11 display.
#include "x11_keys.h"

// The typographic characters of the code page live in these keysym groups,
// which <X11/keysym.h> leaves out unless asked.
#define XK_PUBLISHING
#define XK_TECHNICAL
#include <X11/X.h>
#include <X11/keysym.h>

#include <array>

namespace kelplat::x11 {
namespace {

// Characters 0x80..0x9F of Windows-1252 (0 where the code page has none).
constexpr std::array<unsigned short, 32> kHighControls = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

struct KeysymCode {
  KeySymbol sym;
  unsigned long code;
};

// Legacy key symbols of the characters that Windows-1252 adds to Latin-1.
constexpr KeysymCode kLegacyKeysyms[] = {
    {XK_EuroSign, 0x20AC},
    {XK_Scaron, 0x0160},
    {XK_scaron, 0x0161},
    {XK_Zcaron, 0x017D},
    {XK_zcaron, 0x017E},
    {XK_OE, 0x0152},
    {XK_oe, 0x0153},
    {XK_Ydiaeresis, 0x0178},
    {XK_function, 0x0192},
    {XK_emdash, 0x2014},
    {XK_endash, 0x2013},
    {XK_ellipsis, 0x2026},
    {XK_trademark, 0x2122},
    {XK_leftsinglequotemark, 0x2018},
    {XK_rightsinglequotemark, 0x2019},
    {XK_leftdoublequotemark, 0x201C},
    {XK_rightdoublequotemark, 0x201D},
    {XK_permille, 0x2030},
    {XK_enfilledcircbullet, 0x2022},
    {XK_dagger, 0x2020},
    {XK_doubledagger, 0x2021},
    {XK_singlelowquotemark, 0x201A},
    {XK_doublelowquotemark, 0x201E},
};

// Virtual keys of the punctuation keys of a US keyboard.
constexpr UINT kVkOem1 = 0xBA, kVkOemPlus = 0xBB, kVkOemComma = 0xBC, kVkOemMinus = 0xBD,
               kVkOemPeriod = 0xBE, kVkOem2 = 0xBF, kVkOem3 = 0xC0, kVkOem4 = 0xDB, kVkOem5 = 0xDC,
               kVkOem6 = 0xDD, kVkOem7 = 0xDE, kVkSeparator = 0x6C, kVkScroll = 0x91,
               kVkSnapshot = 0x2C, kVkApps = 0x5D, kVkLwin = 0x5B, kVkRwin = 0x5C;

constexpr KeysymCode kVirtualKeys[] = {
    {XK_BackSpace, VK_BACK},
    {XK_Tab, VK_TAB},
    {XK_ISO_Left_Tab, VK_TAB},
    {XK_KP_Tab, VK_TAB},
    {XK_Clear, VK_CLEAR},
    {XK_KP_Begin, VK_CLEAR},
    {XK_Return, VK_RETURN},
    {XK_KP_Enter, VK_RETURN},
    {XK_Shift_L, VK_SHIFT},
    {XK_Shift_R, VK_SHIFT},
    {XK_Control_L, VK_CONTROL},
    {XK_Control_R, VK_CONTROL},
    {XK_Alt_L, VK_MENU},
    {XK_Alt_R, VK_MENU},
    {XK_Meta_L, VK_MENU},
    {XK_Meta_R, VK_MENU},
    {XK_Pause, VK_PAUSE},
    {XK_Break, VK_PAUSE},
    {XK_Caps_Lock, VK_CAPITAL},
    {XK_Escape, VK_ESCAPE},
    {XK_space, VK_SPACE},
    {XK_KP_Space, VK_SPACE},
    {XK_Prior, VK_PRIOR},
    {XK_KP_Prior, VK_PRIOR},
    {XK_Next, VK_NEXT},
    {XK_KP_Next, VK_NEXT},
    {XK_End, VK_END},
    {XK_KP_End, VK_END},
    {XK_Home, VK_HOME},
    {XK_KP_Home, VK_HOME},
    {XK_Left, VK_LEFT},
    {XK_KP_Left, VK_LEFT},
    {XK_Up, VK_UP},
    {XK_KP_Up, VK_UP},
    {XK_Right, VK_RIGHT},
    {XK_KP_Right, VK_RIGHT},
    {XK_Down, VK_DOWN},
    {XK_KP_Down, VK_DOWN},
    {XK_Print, kVkSnapshot},
    {XK_Insert, VK_INSERT},
    {XK_KP_Insert, VK_INSERT},
    {XK_Delete, VK_DELETE},
    {XK_KP_Delete, VK_DELETE},
    {XK_Super_L, kVkLwin},
    {XK_Super_R, kVkRwin},
    {XK_Menu, kVkApps},
    {XK_KP_Multiply, VK_MULTIPLY},
    {XK_KP_Add, VK_ADD},
    {XK_KP_Separator, kVkSeparator},
    {XK_KP_Subtract, VK_SUBTRACT},
    {XK_KP_Decimal, VK_DECIMAL},
    {XK_KP_Divide, VK_DIVIDE},
    {XK_Num_Lock, VK_NUMLOCK},
    {XK_Scroll_Lock, kVkScroll},
    {XK_semicolon, kVkOem1},
    {XK_colon, kVkOem1},
    {XK_equal, kVkOemPlus},
    {XK_plus, kVkOemPlus},
    {XK_comma, kVkOemComma},
    {XK_less, kVkOemComma},
    {XK_minus, kVkOemMinus},
    {XK_underscore, kVkOemMinus},
    {XK_period, kVkOemPeriod},
    {XK_greater, kVkOemPeriod},
    {XK_slash, kVkOem2},
    {XK_question, kVkOem2},
    {XK_grave, kVkOem3},
    {XK_asciitilde, kVkOem3},
    {XK_bracketleft, kVkOem4},
    {XK_braceleft, kVkOem4},
    {XK_backslash, kVkOem5},
    {XK_bar, kVkOem5},
    {XK_bracketright, kVkOem6},
    {XK_braceright, kVkOem6},
    {XK_apostrophe, kVkOem7},
    {XK_quotedbl, kVkOem7},
};

bool is_keypad(KeySymbol sym) { return sym >= XK_KP_Space && sym <= XK_KP_Equal; }

// The code point of a key symbol that stands for a character, or 0.
unsigned long unicode_from_keysym(KeySymbol sym) {
  if ((sym >= 0x20 && sym <= 0x7E) || (sym >= 0xA0 && sym <= 0xFF)) return sym;
  if (sym >= 0x01000100 && sym <= 0x0110FFFF) return sym - 0x01000000;
  for (const auto& entry : kLegacyKeysyms)
    if (entry.sym == sym) return entry.code;
  return 0;
}

}  // namespace

KeySymbol key_for_virtual_key(KeySymbol unshifted, KeySymbol looked_up) {
  if (unshifted == NoSymbol || is_keypad(unshifted)) return looked_up;
  return unshifted;
}

UINT virtual_key_from_keysym(KeySymbol sym) {
  if (sym >= XK_a && sym <= XK_z) return UINT('A' + (sym - XK_a));
  if (sym >= XK_A && sym <= XK_Z) return UINT('A' + (sym - XK_A));
  if (sym >= XK_0 && sym <= XK_9) return UINT('0' + (sym - XK_0));
  if (sym >= XK_KP_0 && sym <= XK_KP_9) return UINT(VK_NUMPAD0 + (sym - XK_KP_0));
  if (sym >= XK_F1 && sym <= XK_F24) return UINT(VK_F1 + (sym - XK_F1));
  for (const auto& entry : kVirtualKeys)
    if (entry.sym == sym) return UINT(entry.code);
  return 0;
}

bool is_extended_key(KeySymbol sym) {
  switch (sym) {
    case XK_Prior:
    case XK_Next:
    case XK_End:
    case XK_Home:
    case XK_Left:
    case XK_Up:
    case XK_Right:
    case XK_Down:
    case XK_Insert:
    case XK_Delete:
    case XK_KP_Enter:
    case XK_KP_Divide:
    case XK_Control_R:
    case XK_Alt_R:
    case XK_Num_Lock:
      return true;
    default:
      return false;
  }
}

int char_from_key(KeySymbol sym, std::string_view text) {
  // Delete types nothing on this platform, although X gives it DEL.
  if (sym == XK_Delete || sym == XK_KP_Delete) return -1;
  // A single byte is the character (Latin-1 agrees with 1252 there); a NUL
  // (Control+Space) is left to the key symbol.
  if (text.size() == 1 && text[0] != '\0') return static_cast<unsigned char>(text[0]);
  unsigned long code = unicode_from_keysym(sym);
  return code == 0 ? -1 : cp1252_from_unicode(code);
}

int cp1252_from_unicode(unsigned long code_point) {
  if (code_point < 0x80 || (code_point >= 0xA0 && code_point <= 0xFF)) return int(code_point);
  for (size_t i = 0; i < kHighControls.size(); ++i)
    if (kHighControls[i] != 0 && kHighControls[i] == code_point) return int(0x80 + i);
  return -1;
}

unsigned long unicode_from_cp1252(unsigned char byte) {
  if (byte < 0x80 || byte >= 0xA0) return byte;
  unsigned short code = kHighControls[byte - 0x80];
  return code ? code : 0xFFFD;
}

std::string utf8_from_cp1252(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    unsigned long code = unicode_from_cp1252(static_cast<unsigned char>(c));
    if (code < 0x80) {
      out += char(code);
    } else if (code < 0x800) {
      out += char(0xC0 | (code >> 6));
      out += char(0x80 | (code & 0x3F));
    } else {
      out += char(0xE0 | (code >> 12));
      out += char(0x80 | ((code >> 6) & 0x3F));
      out += char(0x80 | (code & 0x3F));
    }
  }
  return out;
}

std::string latin1_from_cp1252(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    unsigned char b = static_cast<unsigned char>(c);
    if (b >= 0x80 && b < 0xA0) c = '?';
  }
  return out;
}

}  // namespace kelplat::x11
