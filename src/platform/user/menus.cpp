// Menus: every window has a system menu that programs can add entries to and
// read back.
#include <cstring>

#include "window_manager.h"

namespace kelplat::user {
namespace {

constexpr UINT kKnownFlags = MF_STRING | MF_GRAYED | MF_SEPARATOR;

Menu* checked_menu(HMENU menu) {
  Menu* found = menu_of(menu);
  if (!found) SetLastError(ERROR_INVALID_HANDLE);
  return found;
}

// Index of an entry given by position or by command id; -1 if none.
int find_item(const Menu& menu, UINT item, UINT flags) {
  if (flags & MF_BYPOSITION) return item < menu.items.size() ? int(item) : -1;
  for (size_t i = 0; i < menu.items.size(); ++i) {
    const MenuItem& entry = menu.items[i];
    if (!(entry.flags & MF_SEPARATOR) && entry.id == item) return int(i);
  }
  return -1;
}

}  // namespace

Menu* menu_of(HMENU menu) {
  Object* object = table().get(reinterpret_cast<uintptr_t>(menu));
  return object && object->kind() == kMenuKind ? static_cast<Menu*>(object) : nullptr;
}

void reset_system_menu(Menu& menu) {
  std::lock_guard<std::mutex> lock(menu.mutex);
  menu.items = {{MF_STRING, SC_MOVE, "Move"},
                {MF_STRING, SC_MINIMIZE, "Minimize"},
                {MF_STRING, SC_CLOSE, "Close"}};
}

HMENU create_system_menu() {
  auto menu = std::make_unique<Menu>();
  reset_system_menu(*menu);
  return reinterpret_cast<HMENU>(table().insert(std::move(menu)));
}

}  // namespace kelplat::user

using namespace kelplat::user;

// With `revert`, the menu gets its original entries back and the result is
// null, as the system does.
HMENU WINAPI GetSystemMenu(HWND hwnd, BOOL revert) {
  Window* window = checked_window(hwnd);
  if (!window) return nullptr;
  if (!revert) return window->system_menu;
  if (Menu* menu = menu_of(window->system_menu)) reset_system_menu(*menu);
  return nullptr;
}

BOOL WINAPI AppendMenuA(HMENU menu, UINT flags, UINT_PTR id, LPCSTR text) {
  Menu* target = checked_menu(menu);
  if (!target) return FALSE;
  if (flags & ~kKnownFlags) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  bool separator = (flags & MF_SEPARATOR) != 0;
  MenuItem item{flags, separator ? 0 : id, separator || !text ? "" : text};
  std::lock_guard<std::mutex> lock(target->mutex);
  target->items.push_back(std::move(item));
  return TRUE;
}

int WINAPI GetMenuItemCount(HMENU menu) {
  Menu* target = checked_menu(menu);
  if (!target) return -1;
  std::lock_guard<std::mutex> lock(target->mutex);
  return int(target->items.size());
}

// Copies at most max_count - 1 bytes and a terminating zero; without a
// buffer, returns the text's length.
int WINAPI GetMenuStringA(HMENU menu, UINT item, LPSTR text, int max_count, UINT flags) {
  Menu* target = checked_menu(menu);
  if (!target) return 0;
  std::lock_guard<std::mutex> lock(target->mutex);
  int index = find_item(*target, item, flags);
  if (index < 0) return 0;
  const std::string& label = target->items[size_t(index)].text;
  if (!text || max_count <= 0) return int(label.size());
  size_t length = std::min(label.size(), size_t(max_count - 1));
  std::memcpy(text, label.data(), length);
  text[length] = '\0';
  return int(length);
}

UINT WINAPI GetMenuItemID(HMENU menu, int position) {
  Menu* target = checked_menu(menu);
  if (!target) return UINT(-1);
  std::lock_guard<std::mutex> lock(target->mutex);
  if (position < 0 || size_t(position) >= target->items.size()) return UINT(-1);
  return UINT(target->items[size_t(position)].id);
}
