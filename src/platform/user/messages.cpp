// Posting, sending, getting, translating and dispatching messages.
#include "message_queue.h"
#include "window_manager.h"

namespace kelplat::user {
namespace {

// Hands the message to the window's owner thread and handles messages sent
// to this thread until the owner has answered; 0 when it takes no messages.
LRESULT send_to_owner(Window& window, const std::shared_ptr<SentMessage>& message) {
  const std::shared_ptr<ThreadQueue>& own = current_queue();
  if (!own) return 0;
  message->sender = own;
  std::shared_ptr<ThreadQueue> target = window.queue;
  if (!target->send(message)) return 0;
  return own->wait_for_reply(*message);
}

BOOL post(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, int character) {
  MSG msg{hwnd, message, wparam, lparam, GetTickCount(), POINT{0, 0}};
  std::shared_ptr<ThreadQueue> queue;
  if (hwnd) {
    Window* window = window_of(hwnd);
    if (!window) {
      SetLastError(ERROR_INVALID_WINDOW_HANDLE);
      return FALSE;
    }
    queue = window->queue;
  } else {
    queue = current_queue();  // a message for the calling thread itself
  }
  if (!queue || !queue->post(msg, character)) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return FALSE;
  }
  return TRUE;
}

// The byte a key types when the display did not say: letters (lower case),
// digits, space, the keypad's digits and operators, and the control keys.
int character_for_key(WPARAM key) {
  if (key >= 'A' && key <= 'Z') return int(key - 'A' + 'a');
  if ((key >= '0' && key <= '9') || key == VK_SPACE) return int(key);
  if (key >= VK_NUMPAD0 && key <= VK_NUMPAD9) return int('0' + key - VK_NUMPAD0);
  switch (key) {
    case VK_RETURN:
      return 13;
    case VK_ESCAPE:
      return 27;
    case VK_BACK:
      return 8;
    case VK_TAB:
      return 9;
    case VK_MULTIPLY:
      return '*';
    case VK_ADD:
      return '+';
    case VK_SUBTRACT:
      return '-';
    case VK_DECIMAL:
      return '.';
    case VK_DIVIDE:
      return '/';
  }
  return 0;
}

}  // namespace

LRESULT call_window_procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  Window* window = window_of(hwnd);
  if (!window) return 0;
  WNDPROC procedure = window->procedure.load();
  return procedure ? procedure(hwnd, message, wparam, lparam)
                   : DefWindowProcA(hwnd, message, wparam, lparam);
}

LRESULT run_on_owner(Window& window, std::function<LRESULT()> task) {
  if (window.owned_by_caller()) return task();
  auto message = std::make_shared<SentMessage>();
  message->task = std::move(task);
  return send_to_owner(window, message);
}

}  // namespace kelplat::user

namespace kelplat::display {

BOOL post_key_message(HWND hwnd, UINT message, WPARAM virtual_key, LPARAM lparam, int character) {
  if (character < user::kDeriveCharacter || character > 255) character = user::kDeriveCharacter;
  return user::post(hwnd, message, virtual_key, lparam, character);
}

}  // namespace kelplat::display

using namespace kelplat::user;

BOOL WINAPI PostMessageA(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  return post(hwnd, message, wparam, lparam, kDeriveCharacter);
}

LRESULT WINAPI SendMessageA(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  Window* window = window_of(hwnd);
  if (!window) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  if (window->owned_by_caller()) return call_window_procedure(hwnd, message, wparam, lparam);
  auto sent = std::make_shared<SentMessage>();
  sent->hwnd = hwnd;
  sent->message = message;
  sent->wparam = wparam;
  sent->lparam = lparam;
  return send_to_owner(*window, sent);
}

BOOL WINAPI GetMessageA(LPMSG msg, HWND hwnd, UINT filter_min, UINT filter_max) {
  if (!msg || (hwnd && !window_of(hwnd))) {
    SetLastError(msg ? ERROR_INVALID_WINDOW_HANDLE : ERROR_INVALID_PARAMETER);
    return -1;
  }
  const std::shared_ptr<ThreadQueue>& queue = current_queue();
  if (!queue) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return -1;
  }
  queue->get(msg, MessageFilter{hwnd, filter_min, filter_max}, true, true);
  return msg->message != WM_QUIT;
}

BOOL WINAPI PeekMessageA(LPMSG msg, HWND hwnd, UINT filter_min, UINT filter_max, UINT remove) {
  const std::shared_ptr<ThreadQueue>& queue = current_queue();
  if (!msg || !queue) return FALSE;
  return queue->get(msg, MessageFilter{hwnd, filter_min, filter_max}, (remove & PM_REMOVE) != 0,
                    false);
}

void WINAPI PostQuitMessage(int exit_code) {
  if (const std::shared_ptr<ThreadQueue>& queue = current_queue()) queue->post_quit(exit_code);
}

// A key-down message of a key that types something puts WM_CHAR (WM_SYSCHAR
// for a system key) in front of the queue, so the character comes before
// any later key.
BOOL WINAPI TranslateMessage(const MSG* msg) {
  if (!msg) return FALSE;
  UINT message = msg->message;
  if (message == WM_KEYUP || message == WM_SYSKEYUP) return TRUE;
  if (message != WM_KEYDOWN && message != WM_SYSKEYDOWN) return FALSE;
  const std::shared_ptr<ThreadQueue>& queue = current_queue();
  if (!queue) return TRUE;
  int character = queue->character_of(*msg);
  if (character == kDeriveCharacter) character = character_for_key(msg->wParam);
  if (character > 0) {
    UINT char_message = message == WM_KEYDOWN ? WM_CHAR : WM_SYSCHAR;
    queue->post_first(
        MSG{msg->hwnd, char_message, WPARAM(character), msg->lParam, msg->time, msg->pt});
  }
  return TRUE;
}

LRESULT WINAPI DispatchMessageA(const MSG* msg) {
  if (!msg || !msg->hwnd) return 0;
  Window* window = window_of(msg->hwnd);
  if (!window || !window->owned_by_caller()) return 0;
  return call_window_procedure(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}
