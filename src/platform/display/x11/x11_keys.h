// Keyboard translation for the X11 display: X key symbols to the platform's
// virtual-key codes and to characters of the Western code page (1252).
//
// These are pure functions of key symbols, so they are testable without a
// display; x11_window.cpp feeds them what XLookupKeysym / XLookupString give.
#ifndef KEL_PLATFORM_DISPLAY_X11_KEYS_H
#define KEL_PLATFORM_DISPLAY_X11_KEYS_H

#include <string>
#include <string_view>

#include "platform.h"

namespace kelplat::x11 {

// Key symbols are X's 29-bit codes; spelled out so this header needs no X
// header.
using KeySymbol = unsigned long;

// Which key symbol names the key: the unshifted symbol, except on the keypad,
// where Num Lock decides between digits and navigation, so the symbol that
// XLookupString chose (modifiers applied) is the right one.
KeySymbol key_for_virtual_key(KeySymbol unshifted, KeySymbol looked_up);

// The virtual-key code of a key symbol, 0 when the key has none.
UINT virtual_key_from_keysym(KeySymbol sym);

// True for keys that sit in the navigation cluster beside the main block
// (arrows, Home, End, ...), which the platform flags as extended keys.
bool is_extended_key(KeySymbol sym);

// The Windows-1252 byte that a key press types, or -1 when it types none.
// `text` is what XLookupString wrote (Latin-1), `sym` the symbol it chose.
int char_from_key(KeySymbol sym, std::string_view text);

// The Windows-1252 byte of a Unicode code point, or -1 when there is none.
int cp1252_from_unicode(unsigned long code_point);

// The Unicode code point of a Windows-1252 byte; unassigned bytes give
// U+FFFD.
unsigned long unicode_from_cp1252(unsigned char byte);

// Text of the platform (Windows-1252) as UTF-8, for window titles.
std::string utf8_from_cp1252(std::string_view text);

// Text of the platform as Latin-1 for core X fonts: the 1252-only characters
// become '?'.
std::string latin1_from_cp1252(std::string_view text);

}  // namespace kelplat::x11

#endif  // KEL_PLATFORM_DISPLAY_X11_KEYS_H
