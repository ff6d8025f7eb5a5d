// Two windows: a drawing in each, then the first one gets a frame
#include <graphics.h>
#include <conio.h>

void main()
{
    int first = initwindow(400, 300, "First");
    int second = initwindow(300, 200, "Second", 420, 0);

    setcurrentwindow(first);
    setcolor(YELLOW);
    for (int r = 10; r < 140; r += 10)
        circle(200, 150, r);

    setcurrentwindow(second);
    setfillstyle(HATCH_FILL, LIGHTBLUE);
    bar(20, 20, 280, 180);
    outtextxy(100, 90, "second window");

    setcurrentwindow(first);
    setcolor(WHITE);
    rectangle(5, 5, 394, 294);
    outtextxy(150, 10, "first window");
    getch();
    closegraph();
}
