// The console demonstration: prints the mouse position of the current window
// for ever. It opens no window, so its first library call meets no current
// window and the program ends there with the library's error message.
#include <graphics.h>

#include <cstdlib>
#include <ctime>
#include <iostream>

// Runs the command processor's pause command.
void pause() { std::system("PAUSE"); }

// Clears the console through the command processor.
void cls() { std::system("cls"); }

// Writes 16 empty lines; the argument has no effect.
void brk(int /*lines*/) {
  for (int i = 0; i < 16; ++i) std::cout << std::endl;
}

// A number from 0 to sides - 1, seeded anew from the time in seconds on
// every call. No sides at all gives 0.
int rng(int sides) {
  std::srand(static_cast<unsigned>(static_cast<int>(std::time(0))));
  if (sides == 0) return 0;
  return std::rand() % sides;
}

// Writes the first 16 characters of text one at a time (fewer if the text is
// shorter), waiting `delay_ms` milliseconds after each.
void disp(const char* text, short delay_ms) {
  for (int i = 0; text && i < 16 && text[i] != '\0'; ++i) {
    std::cout << text[i] << std::flush;
    delay(delay_ms < 0 ? 0 : delay_ms);
  }
  std::cout << std::endl;
}

int main() {
  for (;;) {
    int x = mousex();
    int y = mousey();
    std::cout << "X: " << x << " Y: " << y << std::endl;
  }
}
