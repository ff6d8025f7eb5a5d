// Window classes: a process-wide map from class name (compared without case)
// to what windows of the class need.
#include <cstring>
#include <map>
#include <string>

#include "window_manager.h"

namespace kelplat::user {
namespace {

// Longest class name accepted, in bytes.
constexpr size_t kMaxClassName = 256;
// Atoms of registered classes count up from here, as the system's do.
constexpr ATOM kFirstAtom = 0xC000;

struct ClassRegistry {
  std::mutex mutex;
  std::map<std::string, WindowClass> classes;
  ATOM next_atom = kFirstAtom;
};

ClassRegistry& registry() { return immortal<ClassRegistry>(); }

// The lower-case key of a class name; false for a missing, empty, too long
// or integer-atom name (small integers in the pointer are never read).
bool class_key(LPCSTR name, std::string* key) {
  if (reinterpret_cast<uintptr_t>(name) < 0x10000) return false;
  size_t length = strnlen(name, kMaxClassName + 1);
  if (length == 0 || length > kMaxClassName) return false;
  key->assign(name, length);
  for (char& c : *key)
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
  return true;
}

}  // namespace

bool find_class(LPCSTR name, WindowClass* out) {
  std::string key;
  if (!class_key(name, &key)) return false;
  ClassRegistry& reg = registry();
  std::lock_guard<std::mutex> lock(reg.mutex);
  auto it = reg.classes.find(key);
  if (it == reg.classes.end()) return false;
  *out = it->second;
  return true;
}

}  // namespace kelplat::user

using namespace kelplat::user;

ATOM WINAPI RegisterClassExA(const WNDCLASSEXA* window_class) {
  std::string key;
  if (!window_class || window_class->cbSize != sizeof(WNDCLASSEXA) || !window_class->lpfnWndProc ||
      !class_key(window_class->lpszClassName, &key)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  ClassRegistry& reg = registry();
  std::lock_guard<std::mutex> lock(reg.mutex);
  if (reg.classes.count(key)) {
    SetLastError(ERROR_CLASS_ALREADY_EXISTS);
    return 0;
  }
  if (reg.next_atom == 0) {  // every atom is in use
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return 0;
  }
  reg.classes[key] = WindowClass{window_class->lpfnWndProc, window_class->style};
  return reg.next_atom++;
}

// Windows already made keep what they took from their class.
BOOL WINAPI UnregisterClassA(LPCSTR class_name, HINSTANCE) {
  std::string key;
  ClassRegistry& reg = registry();
  std::lock_guard<std::mutex> lock(reg.mutex);
  if (!class_key(class_name, &key) || reg.classes.erase(key) == 0) {
    SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
    return FALSE;
  }
  return TRUE;
}
