// Mouse input: per window and per event kind a queue of positions, the last
// position, and an optional handler. The window thread feeds them; the
// program's threads read them. The record's input lock guards them all, and
// is never held while a handler runs.
#include "kel_internal.h"

namespace {

int index_of(int kind) { return kind - WM_MOUSEMOVE; }

}  // namespace

bool MouseKindInRange(int kind) { return kind >= WM_MOUSEMOVE && kind <= WM_MBUTTONDBLCLK; }

void KEL__FeedMouse(WindowData* wd, UINT kind, LPARAM lParam) {
  const int k = index_of(static_cast<int>(kind));
  POINTS point;
  point.x = static_cast<SHORT>(LOWORD(lParam));
  point.y = static_cast<SHORT>(HIWORD(lParam));
  MouseHandler handler;
  {
    KelLockGuard guard(wd->input_lock);
    // With queueing off a queue holds only the newest event.
    if (!wd->queue_status[k]) wd->mouse_queue[k].clear();
    wd->mouse_queue[k].push_back(point);
    wd->mouse = point;
    handler = wd->mouse_handlers[k];
  }
  if (handler) handler(point.x, point.y);
}

void setmousequeuestatus(int kind, bool status) {
  if (!MouseKindInRange(kind)) return;
  WindowData* wd = KEL__GetWindowDataPtr();
  KelLockGuard guard(wd->input_lock);
  wd->queue_status[index_of(kind)] = status;
}

void registermousehandler(int kind, void (*h)(int x, int y)) {
  WindowData* wd = KEL__GetWindowDataPtr();
  if (!MouseKindInRange(kind)) return;
  KelLockGuard guard(wd->input_lock);
  wd->mouse_handlers[index_of(kind)] = h;
}

bool ismouseclick(int kind) {
  WindowData* wd = KEL__GetWindowDataPtr();
  if (!MouseKindInRange(kind)) return false;
  for (int look = 0;; ++look) {
    {
      KelLockGuard guard(wd->input_lock);
      if (!wd->mouse_queue[index_of(kind)].empty()) return true;
    }
    if (look > 0 || !KEL__ScriptStep()) return false;
  }
}

void getmouseclick(int kind, int& x, int& y) {
  WindowData* wd = KEL__GetWindowDataPtr();
  if (!MouseKindInRange(kind)) return;
  KelLockGuard guard(wd->input_lock);
  std::deque<POINTS>& queue = wd->mouse_queue[index_of(kind)];
  if (queue.empty()) {
    x = y = -1;
    return;
  }
  x = queue.front().x;
  y = queue.front().y;
  queue.pop_front();
}

// A null pointer is skipped: the event is still taken from the queue.
void kel_getmouseclick(int kind, int* x, int* y) {
  int ex = 0, ey = 0;
  getmouseclick(kind, ex, ey);
  if (x) *x = ex;
  if (y) *y = ey;
}

void clearmouseclick(int kind) {
  WindowData* wd = KEL__GetWindowDataPtr();
  if (!MouseKindInRange(kind)) return;
  KelLockGuard guard(wd->input_lock);
  std::deque<POINTS>& queue = wd->mouse_queue[index_of(kind)];
  if (!queue.empty()) queue.pop_front();
}

int mousex(void) {
  WindowData* wd = KEL__GetWindowDataPtr();
  KelLockGuard guard(wd->input_lock);
  return wd->mouse.x;
}

int mousey(void) {
  WindowData* wd = KEL__GetWindowDataPtr();
  KelLockGuard guard(wd->input_lock);
  return wd->mouse.y;
}
