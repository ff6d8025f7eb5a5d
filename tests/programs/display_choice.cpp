// Opens a window and says which display back end shows it: "window N NAME",
// or, when initwindow fails, the error box it showed ("box CAPTION") and
// "no window NAME" (exit status 2).
#include <graphics.h>

#include <cstdio>
#include <string>

#include "platform_testing.h"

int main() {
  kelplat::testing::set_message_box_handler([](const std::string&, const std::string& caption, UINT) {
    std::printf("box %s\n", caption.c_str());
    return IDOK;
  });
  int window = initwindow(120, 90, "choice", 0, 0, false, false);
  std::string backend = kelplat::testing::backend_name();
  if (window < 0) {
    std::printf("no window %s\n", backend.c_str());
    return 2;
  }
  std::printf("window %d %s\n", window, backend.c_str());
  closegraph(window);
  return 0;
}
