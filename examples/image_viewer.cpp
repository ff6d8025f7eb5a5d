// An image viewer: shows the BMP, GIF, JPEG or ICO file named on the command
// line scaled into the window; with no file it draws a picture, saves it and
// shows it back at three sizes.
#include <graphics.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

std::string sample_picture() {
  const char* dir = std::getenv("TMPDIR");
  std::string path = std::string(dir && *dir ? dir : "/tmp") + "/kel-viewer-sample.bmp";
  setbkcolor(BLUE);
  cleardevice();
  for (int r = 90; r > 0; r -= 15) {
    setfillstyle(SOLID_FILL, r / 15 + 8);
    fillellipse(100, 100, r, r);
  }
  writeimagefile(path.c_str(), 0, 0, 199, 199);
  setbkcolor(BLACK);
  cleardevice();
  return path;
}

}  // namespace

int main(int argc, char** argv) {
  initwindow(480, 320, "Image viewer");
  if (argc > 1) {
    readimagefile(argv[1], 0, 0, getmaxx(), getmaxy());
  } else {
    const std::string path = sample_picture();
    readimagefile(path.c_str(), 10, 10, 210, 210);
    readimagefile(path.c_str(), 230, 10, 330, 110);
    readimagefile(path.c_str(), 340, 10, 390, 60);
    outtextxy(10, 250, "readimagefile scales a picture into any box");
    std::remove(path.c_str());
  }
  getch();
  closegraph();
  return 0;
}
