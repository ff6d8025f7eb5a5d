// System metrics, cursors and message boxes.
#include <atomic>
#include <string>

#include "dialog_hooks.h"
#include "window_manager.h"

namespace kelplat::user {
namespace {

constexpr int kCaptionHeight = 23;
constexpr int kFixedFrame = 3;
constexpr int kBorder = 1;
constexpr int kDoubleClickArea = 4;

// Resource numbers of the stock cursors.
constexpr uintptr_t kArrowCursor = 32512;
constexpr uintptr_t kWaitCursor = 32514;

class Cursor : public Object {
 public:
  Cursor() : Object(kCursorKind) {}
};

HCURSOR make_cursor() {
  return reinterpret_cast<HCURSOR>(table().insert(std::make_unique<Cursor>()));
}

struct StockCursors {
  HCURSOR arrow = make_cursor();
  HCURSOR wait = make_cursor();
  std::atomic<HCURSOR> current{arrow};
};

StockCursors& stock_cursors() { return immortal<StockCursors>(); }

bool is_cursor(HCURSOR cursor) {
  Object* object = table().get(reinterpret_cast<uintptr_t>(cursor));
  return object && object->kind() == kCursorKind;
}

}  // namespace
}  // namespace kelplat::user

using namespace kelplat;
using namespace kelplat::user;

int WINAPI GetSystemMetrics(int index) {
  switch (index) {
    case SM_CXSCREEN:
      return display::backend().screen_size().cx;
    case SM_CYSCREEN:
      return display::backend().screen_size().cy;
    case SM_CYCAPTION:
      return kCaptionHeight;
    case SM_CXFIXEDFRAME:
    case SM_CYFIXEDFRAME:
      return kFixedFrame;
    case SM_CXBORDER:
    case SM_CYBORDER:
      return kBorder;
    case SM_CXDOUBLECLK:
    case SM_CYDOUBLECLK:
      return kDoubleClickArea;
  }
  return 0;
}

// Only the system's own cursors exist: no instance, a resource number.
HCURSOR WINAPI LoadCursorA(HINSTANCE instance, LPCSTR name) {
  if (instance) return nullptr;
  switch (reinterpret_cast<uintptr_t>(name)) {
    case kArrowCursor:
      return stock_cursors().arrow;
    case kWaitCursor:
      return stock_cursors().wait;
  }
  return nullptr;
}

// Returns the cursor shown before; a handle that is no cursor changes nothing.
HCURSOR WINAPI SetCursor(HCURSOR cursor) {
  StockCursors& cursors = stock_cursors();
  if (cursor && !is_cursor(cursor)) return cursors.current.load();
  return cursors.current.exchange(cursor);
}

int WINAPI MessageBoxA(HWND hwnd, LPCSTR text, LPCSTR caption, UINT type) {
  std::string body = text ? text : "";
  std::string title = caption ? caption : "Error";
  int answer;
  if (testing_message_box(body, title, type, &answer)) return answer;
  return display::backend().message_box(hwnd, body, title, type);
}
