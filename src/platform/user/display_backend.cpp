// The display back end in use, chosen once for the process.
#include <atomic>

#include "backend.h"

namespace kelplat::display {
namespace {

std::atomic<Backend*> g_chosen{nullptr};

}  // namespace

// The back end lives until the process is gone: threads may still be using
// it while exit() runs.
Backend& backend() {
  static Backend* const chosen = [] {
    Backend* made = choose_backend().release();
    g_chosen.store(made, std::memory_order_release);
    return made;
  }();
  return *chosen;
}

Backend* chosen_backend() { return g_chosen.load(std::memory_order_acquire); }

}  // namespace kelplat::display
