// A keyboard game: steer the smiley with the arrow keys onto the stars; Esc
// ends. Special keys come from getch as a 0 then their code.
#include <graphics.h>

#include <cstdio>

namespace {

const int kCell = 40, kColumns = 12, kRows = 8;

void draw_star(int column, int row) {
  setcolor(YELLOW);
  setfillstyle(SOLID_FILL, YELLOW);
  int x = column * kCell + kCell / 2, y = row * kCell + kCell / 2;
  int points[] = {x, y - 14, x + 4, y - 4, x + 14, y - 4, x + 6, y + 3, x + 9, y + 14,
                  x, y + 7, x - 9, y + 14, x - 6, y + 3, x - 14, y - 4, x - 4, y - 4};
  fillpoly(10, points);
}

void erase_cell(int column, int row) {
  setfillstyle(SOLID_FILL, BLACK);
  bar(column * kCell, row * kCell, (column + 1) * kCell, (row + 1) * kCell);
}

void draw_player(int column, int row, int colour) {
  setcolor(colour);
  setfillstyle(SOLID_FILL, colour);
  fillellipse(column * kCell + kCell / 2, row * kCell + kCell / 2, 15, 15);
  setcolor(BLACK);
  arc(column * kCell + kCell / 2, row * kCell + kCell / 2, 200, 340, 9);
}

}  // namespace

int main() {
  initwindow(kColumns * kCell, kRows * kCell + 30, "Keyboard game");
  bool star[kColumns][kRows] = {};
  const int stars[][2] = {{3, 1}, {8, 2}, {5, 5}, {10, 6}, {1, 6}};
  for (const auto& s : stars) {
    star[s[0]][s[1]] = true;
    draw_star(s[0], s[1]);
  }
  int column = 0, row = 0, score = 0;
  char text[64];
  for (;;) {
    draw_player(column, row, LIGHTGREEN);
    std::snprintf(text, sizeof text, "Score %d   arrows move, Esc ends", score);
    setcolor(WHITE);
    outtextxy(10, kRows * kCell + 10, text);
    int key = getch();
    if (key == 27) break;
    if (key != 0) continue;
    key = getch();
    erase_cell(column, row);
    if (key == KEY_LEFT && column > 0) --column;
    if (key == KEY_RIGHT && column < kColumns - 1) ++column;
    if (key == KEY_UP && row > 0) --row;
    if (key == KEY_DOWN && row < kRows - 1) ++row;
    if (star[column][row]) {
      star[column][row] = false;
      ++score;
    }
  }
  closegraph();
  return 0;
}
