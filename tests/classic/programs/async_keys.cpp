// A box moved by holding the arrow keys (key state), Esc ends
#include <graphics.h>
#include <windows.h>
#include <stdio.h>

int main()
{
    initwindow(400, 300, "Arrow keys");
    int x = 200, y = 150;
    DWORD frames = 0;
    POINT where;
    while (!(GetAsyncKeyState(VK_ESCAPE) & 0x8000)) {
        if (GetAsyncKeyState(VK_LEFT) & 0x8000) x -= 4;
        if (GetAsyncKeyState(VK_RIGHT) & 0x8000) x += 4;
        if (GetAsyncKeyState(VK_UP) & 0x8000) y -= 4;
        if (GetAsyncKeyState(VK_DOWN) & 0x8000) y += 4;
        setcolor(LIGHTGREEN);
        rectangle(x - 10, y - 10, x + 10, y + 10);
        frames++;
        Sleep(1);
        delay(20);
    }
    GetCursorPos(&where);
    char text[80];
    sprintf(text, "screen %d x %d", GetSystemMetrics(SM_CXSCREEN) > 0, GetSystemMetrics(SM_CYSCREEN) > 0);
    outtextxy(10, 10, text);
    closegraph();
    return 0;
}
