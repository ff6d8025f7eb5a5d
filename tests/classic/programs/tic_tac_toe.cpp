// Tic-tac-toe for two players: keys 1-9 choose the square
#include <graphics.h>
#include <conio.h>

char board[9];

void draw_mark(int cell, char mark)
{
    int x = 170 + (cell % 3) * 100 + 50, y = 90 + (cell / 3) * 100 + 50;
    setlinestyle(SOLID_LINE, 0, THICK_WIDTH);
    if (mark == 'X') {
        setcolor(LIGHTRED);
        line(x - 30, y - 30, x + 30, y + 30);
        line(x + 30, y - 30, x - 30, y + 30);
    } else {
        setcolor(LIGHTBLUE);
        circle(x, y, 32);
    }
}

int winner()
{
    int lines[8][3] = { {0,1,2}, {3,4,5}, {6,7,8}, {0,3,6}, {1,4,7}, {2,5,8}, {0,4,8}, {2,4,6} };
    for (int i = 0; i < 8; i++)
        if (board[lines[i][0]] && board[lines[i][0]] == board[lines[i][1]] &&
            board[lines[i][1]] == board[lines[i][2]])
            return board[lines[i][0]];
    return 0;
}

void main()
{
    int gd = DETECT, gm, turn = 0;
    initgraph(&gd, &gm, "C:\\GRAPHICS\\DRIVERS");
    setcolor(WHITE);
    for (int i = 1; i < 3; i++) {
        line(170 + i * 100, 90, 170 + i * 100, 390);
        line(170, 90 + i * 100, 470, 90 + i * 100);
    }
    while (turn < 9 && !winner()) {
        int key = getch();
        if (key < '1' || key > '9' || board[key - '1']) continue;
        board[key - '1'] = turn % 2 ? 'O' : 'X';
        draw_mark(key - '1', board[key - '1']);
        turn++;
    }
    setcolor(YELLOW);
    settextstyle(DEFAULT_FONT, HORIZ_DIR, 2);
    if (winner() == 'X') outtextxy(200, 420, "X wins!");
    else if (winner() == 'O') outtextxy(200, 420, "O wins!");
    else outtextxy(200, 420, "A draw");
    getch();
    closegraph();
}
