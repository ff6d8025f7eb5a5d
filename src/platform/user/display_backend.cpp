// The display back end in use, chosen once for the process: the back ends of
// this build in the order they are tried, and the KEL_DISPLAY variable that
// names one of them.
#include <strings.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "backend.h"

namespace kelplat::display {
namespace {

std::atomic<Backend*> g_chosen{nullptr};

struct BackendEntry {
  const char* name;
  // Null when the back end cannot run here (no display to open).
  std::unique_ptr<Backend> (*create)();
};

// Tried in this order; the last one always runs.
const BackendEntry kBackends[] = {
#ifdef KEL_HAVE_X11
    {"x11", make_x11_backend},
#endif
    {"headless", make_headless_backend},
};

const BackendEntry* entry_named(const char* name) {
  for (const BackendEntry& entry : kBackends)
    if (strcasecmp(entry.name, name) == 0) return &entry;
  return nullptr;
}

std::unique_ptr<Backend> first_that_runs() {
  for (const BackendEntry& entry : kBackends)
    if (std::unique_ptr<Backend> made = entry.create()) return made;
  return nullptr;
}

// A back end asked for by name and unable to run gives windowless boxes
// rather than another display the user did not ask for: initwindow then
// fails as it does when a window cannot be made. A name this build does not
// know is passed over. Either is noted on standard error.
std::unique_ptr<Backend> choose_backend() {
  const char* wanted = std::getenv("KEL_DISPLAY");
  if (!wanted || !*wanted) return first_that_runs();
  const BackendEntry* entry = entry_named(wanted);
  std::unique_ptr<Backend> made = entry ? entry->create() : first_that_runs();
  if (made && entry) return made;
  std::string note = "KEL_DISPLAY=" + std::string(wanted) +
                     (entry ? ": the display cannot be opened; windows cannot be made\n"
                            : ": no such display back end; using the default\n");
  std::fputs(note.c_str(), stderr);
  return made ? std::move(made) : make_windowless_backend();
}

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
