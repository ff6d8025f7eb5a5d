// The smallest program: opens a window and returns from main with it open.
// Exit status 0 when the window opened, 3 when initwindow refused.
#include <graphics.h>

int main() { return initwindow(120, 90, "first") == 0 ? 0 : 3; }
