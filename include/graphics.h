// kel: immediate-mode graphics in windows of their own.
//
// A program opens windows with initwindow (or initgraph), draws into the
// current window with the global functions below, and reads its keyboard and
// mouse. Every window runs on a thread of its own and has four off-screen
// pages: drawing goes to the active page, the window shows the visual page.
//
// Coordinates are int pixels relative to the viewport's top-left corner,
// x to the right and y downward; angles are whole degrees counter-clockwise
// from the positive x axis. A colour value is an index 0..15 into the table of
// standard colours or an explicit colour made by COLOR(r, g, b).
//
// The header compiles as C (C99 and later) and as C++. The functions have C
// linkage in both. In C, getmouseclick takes the variables themselves through
// a macro of the same name, as in C++; initwindow, closegraph,
// setmousequeuestatus, readimagefile and writeimagefile are macros that fill
// in the arguments left out; printimage takes all its arguments; the stream
// output (KELout, kelout, outstream, outstreamxy) is C++ only.
#ifndef KEL_GRAPHICS_H
#define KEL_GRAPHICS_H

#include <limits.h>
#include <stddef.h>
#ifdef __cplusplus
#include <sstream>
#define KEL_DEFAULT(value) = value
#else
#include <stdbool.h>
#define KEL_DEFAULT(value)
#endif

// The window handle type, declared exactly as the platform declares it, so
// this header can be included before or after the system headers.
struct HWND__;
typedef struct HWND__* HWND;

// ------------------------------------------------------------ named constants
enum colors {
  BLACK,
  BLUE,
  GREEN,
  CYAN,
  RED,
  MAGENTA,
  BROWN,
  LIGHTGRAY,
  DARKGRAY,
  LIGHTBLUE,
  LIGHTGREEN,
  LIGHTCYAN,
  LIGHTRED,
  LIGHTMAGENTA,
  YELLOW,
  WHITE
};
#define MAXCOLORS 15

enum line_styles { SOLID_LINE = 0, DOTTED_LINE, CENTER_LINE, DASHED_LINE, USERBIT_LINE };
enum line_widths { NORM_WIDTH = 1, THICK_WIDTH = 3 };

enum fill_styles {
  EMPTY_FILL = 0,
  SOLID_FILL,
  LINE_FILL,
  LTSLASH_FILL,
  SLASH_FILL,
  BKSLASH_FILL,
  LTBKSLASH_FILL,
  HATCH_FILL,
  XHATCH_FILL,
  INTERLEAVE_FILL,
  WIDE_DOT_FILL,
  CLOSE_DOT_FILL,
  USER_FILL
};

enum font_names {
  DEFAULT_FONT = 0,
  TRIPLEX_FONT,
  SMALL_FONT,
  SANS_SERIF_FONT,
  GOTHIC_FONT,
  SCRIPT_FONT,
  SIMPLEX_FONT,
  TRIPLEX_SCR_FONT,
  COMPLEX_FONT,
  EUROPEAN_FONT,
  BOLD_FONT
};
enum direction { HORIZ_DIR = 0, VERT_DIR = 1 };
#define USER_CHAR_SIZE 0
enum text_just { LEFT_TEXT = 0, CENTER_TEXT = 1, RIGHT_TEXT = 2, BOTTOM_TEXT = 0, TOP_TEXT = 2 };

enum putimage_ops { COPY_PUT = 0, XOR_PUT, OR_PUT, AND_PUT, NOT_PUT };

enum graphics_drivers {
  DETECT = 0,
  CGA,
  MCGA,
  EGA,
  EGA64,
  EGAMONO,
  IBM8514,
  HERCMONO,
  ATT400,
  VGA,
  PC3270
};
enum graphics_modes { VGALO = 0, VGAMED = 1, VGAHI = 2 };

enum graphics_errors {
  grOk = 0,
  grNoInitGraph = -1,
  grNotDetected = -2,
  grFileNotFound = -3,
  grInvalidDriver = -4,
  grNoLoadMem = -5,
  grNoScanMem = -6,
  grNoFloodMem = -7,
  grFontNotFound = -8,
  grNoFontMem = -9,
  grInvalidMode = -10,
  grError = -11,
  grIOerror = -12,
  grInvalidFont = -13,
  grInvalidFontNum = -14,
  grInvalidDeviceNum = -15
};

// Window numbers with a special meaning.
#define CURRENT_WINDOW -1
#define ALL_WINDOWS -2
#define NO_CURRENT_WINDOW -3

// Mouse event kinds (the same tokens as the system headers use).
#ifndef WM_MOUSEMOVE
#define WM_MOUSEMOVE 0x0200
#define WM_LBUTTONDOWN 0x0201
#define WM_LBUTTONUP 0x0202
#define WM_LBUTTONDBLCLK 0x0203
#define WM_RBUTTONDOWN 0x0204
#define WM_RBUTTONUP 0x0205
#define WM_RBUTTONDBLCLK 0x0206
#define WM_MBUTTONDOWN 0x0207
#define WM_MBUTTONUP 0x0208
#define WM_MBUTTONDBLCLK 0x0209
#endif

// Codes that getch returns after a 0 byte for the special keys.
#define KEY_HOME 71
#define KEY_UP 72
#define KEY_PGUP 73
#define KEY_LEFT 75
#define KEY_CENTER 76
#define KEY_RIGHT 77
#define KEY_END 79
#define KEY_DOWN 80
#define KEY_PGDN 81
#define KEY_INSERT 82
#define KEY_DELETE 83
#define KEY_F1 59
#define KEY_F2 60
#define KEY_F3 61
#define KEY_F4 62
#define KEY_F5 63
#define KEY_F6 64
#define KEY_F7 65
#define KEY_F8 66
#define KEY_F9 67

// Components (0..255) of a colour value, standard colours resolved.
#define RED_VALUE(v) ((int)(converttorgb(v) & 0xFF))
#define GREEN_VALUE(v) ((int)((converttorgb(v) >> 8) & 0xFF))
#define BLUE_VALUE(v) ((int)((converttorgb(v) >> 16) & 0xFF))

// ------------------------------------------------------------------ records
typedef struct arccoordstype arccoordstype;
struct arccoordstype {
  int x, y;
  int xstart, ystart;
  int xend, yend;
};

typedef struct fillsettingstype fillsettingstype;
struct fillsettingstype {
  int pattern;
  int color;
};

typedef struct linesettingstype linesettingstype;
struct linesettingstype {
  int linestyle;
  unsigned upattern;
  int thickness;
};

typedef struct palettetype palettetype;
struct palettetype {
  unsigned char size;
  signed char colors[MAXCOLORS + 1];
};

typedef struct textsettingstype textsettingstype;
struct textsettingstype {
  int font;
  int direction;
  int charsize;
  int horiz;
  int vert;
};

typedef struct viewporttype viewporttype;
struct viewporttype {
  int left, top, right, bottom;
  int clip;
};

#ifdef __cplusplus
// A string output stream type. Its base is private, so it can neither be
// written to nor passed as a std::ostringstream; use the stream kelout.
class KELout : private virtual std::ostringstream {};

// The stream that outstream and outstreamxy draw by default.
extern std::ostringstream kelout;
#endif

// --------------------------------------------------------------- functions
#ifdef __cplusplus
extern "C" {
#endif

// Windows
int initwindow(int width, int height, const char* title KEL_DEFAULT("Windows KEL"),
               int left KEL_DEFAULT(0), int top KEL_DEFAULT(0), bool dbflag KEL_DEFAULT(false),
               bool closeflag KEL_DEFAULT(true));
void closegraph(int wid KEL_DEFAULT(ALL_WINDOWS));
int getcurrentwindow(void);
void setcurrentwindow(int window);

// Driver-and-mode interface, error codes
void initgraph(int* graphdriver, int* graphmode, const char* pathtodriver);
void detectgraph(int* graphdriver, int* graphmode);
char* getdrivername(void);
char* getmodename(int mode_number);
void getmoderange(int graphdriver, int* lomode, int* himode);
int getmaxmode(void);
int getgraphmode(void);
void setgraphmode(int mode);
void restorecrtmode(void);
int graphresult(void);
char* grapherrormsg(int errorcode);
void getaspectratio(int* xasp, int* yasp);
void setaspectratio(int xasp, int yasp);
void graphdefaults(void);

// Pages and refresh
void setactivepage(int page);
void setvisualpage(int page);
int getactivepage(void);
int getvisualpage(void);
void swapbuffers(void);
void refreshkel(int left, int top, int right, int bottom);
void refreshallkel(void);
bool getrefreshingkel(void);
void setrefreshingkel(bool value);
void delay(int msec);

// Keyboard
int getch(void);
int kbhit(void);

// Colours
int converttorgb(int color);
int COLOR(int r, int g, int b);
void setbkcolor(int color);
int getbkcolor(void);
int getmaxcolor(void);
void setcolor(int color);
int getcolor(void);

// Line and fill styles
void setlinestyle(int linestyle, unsigned upattern, int thickness);
void getlinesettings(linesettingstype* lineinfo);
void setfillstyle(int pattern, int color);
void getfillsettings(fillsettingstype* fillinfo);
void setfillpattern(char* upattern, int color);
void getfillpattern(char* pattern);
void setwritemode(int mode);

// Viewport, current position, sizes
void setviewport(int left, int top, int right, int bottom, int clip);
void getviewsettings(viewporttype* viewport);
void moveto(int x, int y);
void moverel(int dx, int dy);
int getx(void);
int gety(void);
int getmaxx(void);
int getmaxy(void);
int getmaxwidth(void);
int getmaxheight(void);
int getwindowwidth(void);
int getwindowheight(void);

// Drawing
void putpixel(int x, int y, int color);
int getpixel(int x, int y);
int getdisplaycolor(int color);
void line(int x1, int y1, int x2, int y2);
void lineto(int x, int y);
void linerel(int dx, int dy);
void rectangle(int left, int top, int right, int bottom);
void drawpoly(int n_points, int* points);
void fillpoly(int n_points, int* points);
void bar(int left, int top, int right, int bottom);
void bar3d(int left, int top, int right, int bottom, int depth, int topflag);
void circle(int x, int y, int radius);
void arc(int x, int y, int stangle, int endangle, int radius);
void ellipse(int x, int y, int stangle, int endangle, int xradius, int yradius);
void fillellipse(int x, int y, int xradius, int yradius);
void pieslice(int x, int y, int stangle, int endangle, int radius);
void sector(int x, int y, int stangle, int endangle, int xradius, int yradius);
void floodfill(int x, int y, int border);
void cleardevice(void);
void clearviewport(void);
void getarccoords(arccoordstype* arccoords);

// Palette (the 16 standard colours are fixed)
palettetype* getdefaultpalette(void);
int getpalettesize(void);
void getpalette(palettetype* palette);
void setallpalette(palettetype* palette);
void setpalette(int colornum, int color);
void setrgbpalette(int colornum, int red, int green, int blue);

// Text
void settextstyle(int font, int direction, int charsize);
void setusercharsize(int multx, int divx, int multy, int divy);
void settextjustify(int horiz, int vert);
void gettextsettings(textsettingstype* texttypeinfo);
void outtext(const char* textstring);
void outtextxy(int x, int y, const char* textstring);
int textwidth(const char* textstring);
int textheight(const char* textstring);

// Images in memory
unsigned imagesize(int left, int top, int right, int bottom);
void getimage(int left, int top, int right, int bottom, void* bitmap);
void putimage(int left, int top, void* bitmap, int op);

// Image files, BMP files, printing. A null filename asks the user.
void readimagefile(const char* filename KEL_DEFAULT(NULL), int left KEL_DEFAULT(0),
                   int top KEL_DEFAULT(0), int right KEL_DEFAULT(INT_MAX),
                   int bottom KEL_DEFAULT(INT_MAX));
void writeimagefile(const char* filename KEL_DEFAULT(NULL), int left KEL_DEFAULT(0),
                    int top KEL_DEFAULT(0), int right KEL_DEFAULT(INT_MAX),
                    int bottom KEL_DEFAULT(INT_MAX), bool active KEL_DEFAULT(true),
                    HWND hwnd KEL_DEFAULT(NULL));
unsigned short SaveDIB(void* hDib, const char* lpFileName);
void* ReadDIBFile(void* hFile);
void* LoadDIB(const char* lpFileName);
unsigned short DestroyDIB(void* hDib);
void printimage(const char* title KEL_DEFAULT(NULL), double width_inches KEL_DEFAULT(7),
                double border_left_inches KEL_DEFAULT(0.75),
                double border_top_inches KEL_DEFAULT(0.75), int left KEL_DEFAULT(0),
                int top KEL_DEFAULT(0), int right KEL_DEFAULT(INT_MAX),
                int bottom KEL_DEFAULT(INT_MAX), bool active KEL_DEFAULT(true),
                HWND hwnd KEL_DEFAULT(NULL));

// Mouse
void setmousequeuestatus(int kind, bool status KEL_DEFAULT(true));
void registermousehandler(int kind, void (*h)(int x, int y));
bool ismouseclick(int kind);
#ifdef __cplusplus
void getmouseclick(int kind, int& x, int& y);
#endif
// The event's coordinates through pointers: what getmouseclick does in C.
void kel_getmouseclick(int kind, int* x, int* y);
void clearmouseclick(int kind);
int mousex(void);
int mousey(void);

#ifdef __cplusplus
}  // extern "C"

// Stream text output (C++ linkage: they take C++ streams).
void outstreamxy(int x, int y, std::ostringstream& out = kelout);
void outstream(std::ostringstream& out = kelout);
#else
// C: the same calls as in C++, arguments left out take their defaults.
// KEL__ARGN picks the name in the position given by the number of arguments.
#define KEL__ARGN(a1, a2, a3, a4, a5, a6, a7, name, ...) name
#define getmouseclick(kind, x, y) kel_getmouseclick((kind), &(x), &(y))
#define closegraph(...)  \
  (closegraph)(((int[]){ \
      ALL_WINDOWS, __VA_ARGS__})[sizeof((int[]){ALL_WINDOWS, __VA_ARGS__}) / sizeof(int) - 1])
#define setmousequeuestatus(...) \
  KEL__ARGN(__VA_ARGS__, , , , , , KEL__MQS2, KEL__MQS1, )(__VA_ARGS__)
#define KEL__MQS1(kind) (setmousequeuestatus)(kind, true)
#define KEL__MQS2(kind, status) (setmousequeuestatus)(kind, status)
#define initwindow(...)                                                                  \
  KEL__ARGN(__VA_ARGS__, KEL__IW7, KEL__IW6, KEL__IW5, KEL__IW4, KEL__IW3, KEL__IW2, , ) \
  (__VA_ARGS__)
#define KEL__IW2(w, h) KEL__IW3(w, h, "Windows KEL")
#define KEL__IW3(w, h, t) KEL__IW5(w, h, t, 0, 0)
#define KEL__IW4(w, h, t, l) KEL__IW5(w, h, t, l, 0)
#define KEL__IW5(w, h, t, l, tp) KEL__IW6(w, h, t, l, tp, false)
#define KEL__IW6(w, h, t, l, tp, db) KEL__IW7(w, h, t, l, tp, db, true)
#define KEL__IW7(w, h, t, l, tp, db, cf) (initwindow)(w, h, t, l, tp, db, cf)
#define readimagefile(...)                                                            \
  KEL__ARGN(__VA_ARGS__, , , KEL__RIF5, KEL__RIF4, KEL__RIF3, KEL__RIF2, KEL__RIF1, ) \
  (__VA_ARGS__)
#define KEL__RIF1(f) KEL__RIF3(f, 0, 0)
#define KEL__RIF2(f, l) KEL__RIF3(f, l, 0)
#define KEL__RIF3(f, l, t) KEL__RIF4(f, l, t, INT_MAX)
#define KEL__RIF4(f, l, t, r) KEL__RIF5(f, l, t, r, INT_MAX)
#define KEL__RIF5(f, l, t, r, b) (readimagefile)(f, l, t, r, b)
#define writeimagefile(...)                                                                \
  KEL__ARGN(__VA_ARGS__, KEL__WIF7, KEL__WIF6, KEL__WIF5, KEL__WIF4, KEL__WIF3, KEL__WIF2, \
            KEL__WIF1, )                                                                   \
  (__VA_ARGS__)
#define KEL__WIF1(f) KEL__WIF3(f, 0, 0)
#define KEL__WIF2(f, l) KEL__WIF3(f, l, 0)
#define KEL__WIF3(f, l, t) KEL__WIF4(f, l, t, INT_MAX)
#define KEL__WIF4(f, l, t, r) KEL__WIF5(f, l, t, r, INT_MAX)
#define KEL__WIF5(f, l, t, r, b) KEL__WIF6(f, l, t, r, b, true)
#define KEL__WIF6(f, l, t, r, b, a) KEL__WIF7(f, l, t, r, b, a, NULL)
#define KEL__WIF7(f, l, t, r, b, a, h) (writeimagefile)(f, l, t, r, b, a, h)
#endif

// The library also defines C++ overloads taking `char*` where the functions
// above take `const char*` (initwindow, outtext, outtextxy, textwidth,
// textheight, readimagefile, writeimagefile), so that a program that declares
// its own prototypes with `char*` links. They are deliberately not declared
// here: next to the `const char*` forms they would make a call with NULL
// ambiguous.

#endif  // KEL_GRAPHICS_H
