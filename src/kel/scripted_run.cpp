// Scripted headless runs of whole programs: KEL_SCRIPT gives the input that
// a program waits for, one event each time it waits, and KEL_SNAPSHOT names
// the file where the final picture goes. Tests and picture galleries run
// unchanged programs with them.
//
// KEL_SCRIPT is a list of events separated by white space:
//   c             one character key (down, character, up): a, 7, +, ...
//   ENTER ESC SPACE TAB BACKSPACE
//   UP DOWN LEFT RIGHT HOME END PGUP PGDN INSERT DELETE F1 .. F9
//   down:KEY up:KEY   a key going down or up only (KEY as above)
//   click:X,Y rclick:X,Y   a left or right click at client point X,Y
//   move:X,Y press:X,Y release:X,Y   pointer move, left button down, up
//   wait wait:N   one or N waits with no event
#include <cctype>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "kel_internal.h"
#ifndef _WIN32
#include "platform_testing.h"
#endif

namespace {

struct Message {
  UINT message;
  WPARAM wparam;
  LPARAM lparam;
};
typedef std::vector<Message> Event;

struct NamedKey {
  const char* name;
  unsigned vk;
  char ch;  // 0 for keys without a character
};

const NamedKey kNamedKeys[] = {
    {"ENTER", VK_RETURN, '\r'}, {"ESC", VK_ESCAPE, 27}, {"SPACE", VK_SPACE, ' '},
    {"TAB", VK_TAB, '\t'},      {"BACKSPACE", VK_BACK, 8}, {"UP", VK_UP, 0},
    {"DOWN", VK_DOWN, 0},       {"LEFT", VK_LEFT, 0},    {"RIGHT", VK_RIGHT, 0},
    {"HOME", VK_HOME, 0},       {"END", VK_END, 0},      {"PGUP", VK_PRIOR, 0},
    {"PGDN", VK_NEXT, 0},       {"INSERT", VK_INSERT, 0}, {"DELETE", VK_DELETE, 0},
    {"F1", VK_F1, 0},           {"F2", VK_F2, 0},        {"F3", VK_F3, 0},
    {"F4", VK_F4, 0},           {"F5", VK_F5, 0},        {"F6", VK_F6, 0},
    {"F7", VK_F7, 0},           {"F8", VK_F8, 0},        {"F9", VK_F9, 0}};

// The key a token names; false for a token that names none.
bool parse_key(const std::string& token, NamedKey* key) {
  if (token.size() == 1) {
    unsigned char c = static_cast<unsigned char>(token[0]);
    key->vk = std::isalnum(c) ? static_cast<unsigned>(std::toupper(c)) : 0;
    key->ch = static_cast<char>(c);
    return true;
  }
  for (const NamedKey& named : kNamedKeys) {
    if (token == named.name) {
      *key = named;
      return true;
    }
  }
  return false;
}

void add_key(Event* event, const NamedKey& key, bool down, bool up) {
  if (down && key.vk) event->push_back({WM_KEYDOWN, key.vk, 1});
  if (down && key.ch) event->push_back({WM_CHAR, static_cast<unsigned char>(key.ch), 1});
  if (up && key.vk) event->push_back({WM_KEYUP, key.vk, static_cast<LPARAM>(0xC0000001u)});
}

// Pointer messages for "kind:X,Y"; false when the token is not one.
bool parse_pointer(const std::string& kind, const std::string& where, Event* event) {
  int x = 0, y = 0;
  char extra = 0;
  if (std::sscanf(where.c_str(), "%d,%d%c", &x, &y, &extra) != 2) return false;
  const LPARAM at = MAKELPARAM(x, y);
  std::vector<UINT> messages;
  if (kind == "click") messages = {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP};
  if (kind == "rclick") messages = {WM_MOUSEMOVE, WM_RBUTTONDOWN, WM_RBUTTONUP};
  if (kind == "move") messages = {WM_MOUSEMOVE};
  if (kind == "press") messages = {WM_LBUTTONDOWN};
  if (kind == "release") messages = {WM_LBUTTONUP};
  for (UINT m : messages) event->push_back({m, 0, at});
  return !messages.empty();
}

// Appends the events of one token; false when it means nothing.
bool parse_token(const std::string& token, std::vector<Event>* events) {
  NamedKey key = {"", 0, 0};
  Event event;
  std::string::size_type colon = token.find(':');
  if (colon == std::string::npos || token.size() == 1) {
    if (token == "wait") {
      events->push_back(event);
      return true;
    }
    if (!parse_key(token, &key)) return false;
    add_key(&event, key, true, true);
    events->push_back(event);
    return true;
  }
  std::string kind = token.substr(0, colon), rest = token.substr(colon + 1);
  if (kind == "wait") {
    int count = std::atoi(rest.c_str());
    if (count < 0 || count > 1000000) return false;
    events->insert(events->end(), static_cast<size_t>(count), event);
    return true;
  }
  if ((kind == "down" || kind == "up") && parse_key(rest, &key)) {
    add_key(&event, key, kind == "down", kind == "up");
  } else if (!parse_pointer(kind, rest, &event)) {
    return false;
  }
  events->push_back(event);
  return true;
}

class Script {
 public:
  Script() {
    const char* text = std::getenv("KEL_SCRIPT");
    active_ = text != nullptr;
    if (!text) return;
    std::string all(text), token;
    for (size_t i = 0; i <= all.size(); ++i) {
      if (i < all.size() && !std::isspace(static_cast<unsigned char>(all[i]))) {
        token += all[i];
        continue;
      }
      if (!token.empty() && !parse_token(token, &events_))
        std::fprintf(stderr, "kel: KEL_SCRIPT: no such event \"%s\"\n", token.c_str());
      token.clear();
    }
  }
  bool active() const { return active_; }
  // The next event, or null at the end.
  const Event* take() {
    size_t index = next_.fetch_add(1);
    return index < events_.size() ? &events_[index] : nullptr;
  }

 private:
  bool active_ = false;
  std::vector<Event> events_;
  std::atomic<size_t> next_{0};
};

// Made on first use and never destroyed: threads may step it while the
// process exits.
Script& script() {
  static Script* instance = new Script;
  return *instance;
}

void deliver(const Event& event) {
  int current = KEL__CurrentWindow.load();
  HWND hwnd = current >= 0 ? KEL__WindowTable[current] : nullptr;
  if (!hwnd || event.empty()) return;
  for (const Message& m : event) PostMessageA(hwnd, m.message, m.wparam, m.lparam);
#ifndef _WIN32
  kelplat::testing::wait_idle(hwnd);
#else
  Sleep(20);
#endif
}

std::atomic<bool> snapshot_taken{false};

void snapshot_at_exit() { KEL__Snapshot(); }

}  // namespace

bool KEL__ScriptStep() {
  Script& s = script();
  if (!s.active()) return false;
  const Event* event = s.take();
  if (!event) return false;
  deliver(*event);
  return true;
}

bool KEL__ScriptActive() { return script().active(); }

void KEL__ScriptEnded() {
  if (!script().active()) return;
  std::fprintf(stderr, "kel: the input script has ended while the program waits for a key\n");
  KEL__Snapshot();
  std::exit(3);
}

void KEL__Snapshot() {
  const char* path = std::getenv("KEL_SNAPSHOT");
  int current = KEL__CurrentWindow.load();
  HWND hwnd = current >= 0 ? KEL__WindowTable[current] : nullptr;
  if (!path || !*path || !hwnd || snapshot_taken.exchange(true)) return;
  writeimagefile(path, 0, 0, INT_MAX, INT_MAX, false, hwnd);
}

void KEL__ArmSnapshot() {
  static const bool armed = std::getenv("KEL_SNAPSHOT") && std::atexit(snapshot_at_exit) == 0;
  (void)armed;
}
