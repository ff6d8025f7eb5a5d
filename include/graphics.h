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
//
// A comment of three slashes describes the declaration below it; the
// reference (HTML and man pages) is made from them by tools/reference.py.
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

#include "kel/export.h"

// The window handle type, declared exactly as the platform declares it, so
// this header can be included before or after the system headers.
// kel/wintypes.h declares it too; whichever comes first gives the typedef,
// since C99 takes no second one.
#ifndef KEL_HWND_DECLARED
#define KEL_HWND_DECLARED
struct HWND__;
typedef struct HWND__* HWND;
#endif

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
extern KEL_API std::ostringstream kelout;
#endif

// --------------------------------------------------------------- functions
#ifdef __cplusplus
extern "C" {
#endif

// Windows
/// Opens a window with a client area of width x height pixels and makes it current; returns its
/// number, -1 on failure. dbflag: draw on a hidden page; closeflag: closing the window ends the
/// program.
KEL_API int initwindow(int width, int height, const char* title KEL_DEFAULT("Windows KEL"),
                       int left KEL_DEFAULT(0), int top KEL_DEFAULT(0),
                       bool dbflag KEL_DEFAULT(false), bool closeflag KEL_DEFAULT(true));
/// Closes the window numbered wid, the current one (CURRENT_WINDOW) or all of them (ALL_WINDOWS).
KEL_API void closegraph(int wid KEL_DEFAULT(ALL_WINDOWS));
/// The number of the current window.
KEL_API int getcurrentwindow(void);
/// Makes the window numbered window the one that drawing and input go to.
KEL_API void setcurrentwindow(int window);

// Driver-and-mode interface, error codes
/// Opens a window in the classic way: DETECT or a driver and mode give its size; the driver path is
/// ignored.
KEL_API void initgraph(int* graphdriver, int* graphmode, const char* pathtodriver);
/// The driver and mode that initgraph with DETECT would use.
KEL_API void detectgraph(int* graphdriver, int* graphmode);
/// The name of the current driver.
KEL_API char* getdrivername(void);
/// The name of a graphics mode.
KEL_API char* getmodename(int mode_number);
/// The lowest and highest modes of a driver.
KEL_API void getmoderange(int graphdriver, int* lomode, int* himode);
/// The highest mode number of the current driver.
KEL_API int getmaxmode(void);
/// The current graphics mode.
KEL_API int getgraphmode(void);
/// Clears the window and resets the drawing state for a mode.
KEL_API void setgraphmode(int mode);
/// Kept for classic programs; does nothing.
KEL_API void restorecrtmode(void);
/// The error code of the last failed call (grOk when none), then resets it.
KEL_API int graphresult(void);
/// The message of an error code.
KEL_API char* grapherrormsg(int errorcode);
/// The aspect ratio of the pixels (10000 each: square).
KEL_API void getaspectratio(int* xasp, int* yasp);
/// Sets the aspect ratio that getaspectratio reports.
KEL_API void setaspectratio(int xasp, int yasp);
/// Resets the drawing state: viewport, colours, styles, text settings, position.
KEL_API void graphdefaults(void);

// Pages and refresh
/// Makes page 0..3 the one that drawing goes to.
KEL_API void setactivepage(int page);
/// Makes page 0..3 the one the window shows.
KEL_API void setvisualpage(int page);
/// The page that drawing goes to.
KEL_API int getactivepage(void);
/// The page the window shows.
KEL_API int getvisualpage(void);
/// Exchanges the active and the visual page.
KEL_API void swapbuffers(void);
/// Repaints a rectangle of the window from the visual page.
KEL_API void refreshkel(int left, int top, int right, int bottom);
/// Repaints the whole window from the visual page.
KEL_API void refreshallkel(void);
/// Whether each drawing call repaints the window.
KEL_API bool getrefreshingkel(void);
/// Turns the repaint after each drawing call on or off.
KEL_API void setrefreshingkel(bool value);
/// Waits msec milliseconds.
KEL_API void delay(int msec);

// Keyboard
/// Waits for a key in the current window and returns its character; a special key gives 0, then its
/// KEY_ code.
KEL_API int getch(void);
/// Non-zero when a key is waiting.
KEL_API int kbhit(void);

// Colours
/// The RGB value (0x00BBGGRR) of a colour value.
KEL_API int converttorgb(int color);
/// The colour value of red, green and blue components 0..255.
KEL_API int COLOR(int r, int g, int b);
/// Sets the background colour, which clearing fills with.
KEL_API void setbkcolor(int color);
/// The background colour.
KEL_API int getbkcolor(void);
/// The highest standard colour index (15).
KEL_API int getmaxcolor(void);
/// Sets the drawing colour of lines, outlines and text.
KEL_API void setcolor(int color);
/// The drawing colour.
KEL_API int getcolor(void);

// Line and fill styles
/// Sets the line style, the 16-bit pattern of USERBIT_LINE and the thickness in pixels.
KEL_API void setlinestyle(int linestyle, unsigned upattern, int thickness);
/// The line style, pattern and thickness.
KEL_API void getlinesettings(linesettingstype* lineinfo);
/// Sets the fill pattern (a fill style) and the fill colour.
KEL_API void setfillstyle(int pattern, int color);
/// The fill pattern and colour.
KEL_API void getfillsettings(fillsettingstype* fillinfo);
/// Sets an 8 x 8 user fill pattern (8 bytes, bit 7 leftmost) and the fill colour.
KEL_API void setfillpattern(char* upattern, int color);
/// The 8 bytes of the user fill pattern.
KEL_API void getfillpattern(char* pattern);
/// COPY_PUT draws lines over the page, XOR_PUT flips the bits they cover.
KEL_API void setwritemode(int mode);

// Viewport, current position, sizes
/// Sets the viewport: the origin of coordinates and, with clip non-zero, the area drawing is
/// clipped to.
KEL_API void setviewport(int left, int top, int right, int bottom, int clip);
/// The viewport and its clipping.
KEL_API void getviewsettings(viewporttype* viewport);
/// Moves the current position to (x, y).
KEL_API void moveto(int x, int y);
/// Moves the current position by (dx, dy).
KEL_API void moverel(int dx, int dy);
/// The x of the current position.
KEL_API int getx(void);
/// The y of the current position.
KEL_API int gety(void);
/// The largest x of the window (width - 1).
KEL_API int getmaxx(void);
/// The largest y of the window (height - 1).
KEL_API int getmaxy(void);
/// The width of the screen.
KEL_API int getmaxwidth(void);
/// The height of the screen.
KEL_API int getmaxheight(void);
/// The width of the window with its frame.
KEL_API int getwindowwidth(void);
/// The height of the window with its frame.
KEL_API int getwindowheight(void);

// Drawing
/// Sets the pixel at (x, y) to a colour.
KEL_API void putpixel(int x, int y, int color);
/// The colour value of the pixel at (x, y).
KEL_API int getpixel(int x, int y);
/// The colour value that a colour is shown as.
KEL_API int getdisplaycolor(int color);
/// Draws a line from (x1, y1) to (x2, y2), both end points included; the current position stays.
KEL_API void line(int x1, int y1, int x2, int y2);
/// Draws a line from the current position to (x, y) and moves the position there.
KEL_API void lineto(int x, int y);
/// Draws a line from the current position by (dx, dy) and moves the position there.
KEL_API void linerel(int dx, int dy);
/// Draws the outline of a rectangle.
KEL_API void rectangle(int left, int top, int right, int bottom);
/// Draws lines through n_points points (x, y pairs); it closes only when the last point repeats the
/// first.
KEL_API void drawpoly(int n_points, int* points);
/// Draws a closed polygon filled with the fill pattern.
KEL_API void fillpoly(int n_points, int* points);
/// Fills a rectangle with the fill pattern, without outline; right and bottom are left out.
KEL_API void bar(int left, int top, int right, int bottom);
/// Draws a filled bar with an outline and a side of the given depth; topflag adds the lid.
KEL_API void bar3d(int left, int top, int right, int bottom, int depth, int topflag);
/// Draws a circle.
KEL_API void circle(int x, int y, int radius);
/// Draws an arc of a circle from stangle to endangle (degrees counter-clockwise).
KEL_API void arc(int x, int y, int stangle, int endangle, int radius);
/// Draws an arc of an ellipse from stangle to endangle.
KEL_API void ellipse(int x, int y, int stangle, int endangle, int xradius, int yradius);
/// Draws a filled ellipse.
KEL_API void fillellipse(int x, int y, int xradius, int yradius);
/// Draws a filled slice of a circle from stangle to endangle.
KEL_API void pieslice(int x, int y, int stangle, int endangle, int radius);
/// Draws a filled slice of an ellipse from stangle to endangle.
KEL_API void sector(int x, int y, int stangle, int endangle, int xradius, int yradius);
/// Fills the area around (x, y) bounded by the border colour with the fill pattern.
KEL_API void floodfill(int x, int y, int border);
/// Clears the active page with the background colour and moves the position to (0, 0).
KEL_API void cleardevice(void);
/// Clears the viewport with the background colour.
KEL_API void clearviewport(void);
/// The centre and end points of the last arc.
KEL_API void getarccoords(arccoordstype* arccoords);

// Palette (the 16 standard colours are fixed)
/// The default palette of the 16 colours.
KEL_API palettetype* getdefaultpalette(void);
/// The number of palette entries (16).
KEL_API int getpalettesize(void);
/// The current palette.
KEL_API void getpalette(palettetype* palette);
/// Sets the whole palette.
KEL_API void setallpalette(palettetype* palette);
/// Sets one palette entry.
KEL_API void setpalette(int colornum, int color);
/// Sets one palette entry to an RGB colour.
KEL_API void setrgbpalette(int colornum, int red, int green, int blue);

// Text
/// Sets the font, the direction (HORIZ_DIR, VERT_DIR) and the character size 1..10 (0:
/// setusercharsize).
KEL_API void settextstyle(int font, int direction, int charsize);
/// Scales the font by multx/divx across and multy/divy down (character size 0).
KEL_API void setusercharsize(int multx, int divx, int multy, int divy);
/// Sets where text lies around its point: LEFT_TEXT, CENTER_TEXT, RIGHT_TEXT; BOTTOM_TEXT,
/// CENTER_TEXT, TOP_TEXT.
KEL_API void settextjustify(int horiz, int vert);
/// The font, direction, size and justification.
KEL_API void gettextsettings(textsettingstype* texttypeinfo);
/// Draws text at the current position and moves the position past it. UTF-8 text is drawn as its
/// characters.
KEL_API void outtext(const char* textstring);
/// Draws text at (x, y).
KEL_API void outtextxy(int x, int y, const char* textstring);
/// The width of text in pixels.
KEL_API int textwidth(const char* textstring);
/// The height of text in pixels.
KEL_API int textheight(const char* textstring);

// Images in memory
/// The number of bytes that getimage needs for a rectangle.
KEL_API unsigned imagesize(int left, int top, int right, int bottom);
/// Copies a rectangle of the page into memory.
KEL_API void getimage(int left, int top, int right, int bottom, void* bitmap);
/// Draws an image from getimage at (left, top) with an operation (COPY_PUT, XOR_PUT, ...).
KEL_API void putimage(int left, int top, void* bitmap, int op);

// Image files, BMP files, printing. A null filename asks the user.
/// Draws a BMP, GIF, JPEG or ICO file scaled into a rectangle; a null file name asks the user.
KEL_API void readimagefile(const char* filename KEL_DEFAULT(NULL), int left KEL_DEFAULT(0),
                           int top KEL_DEFAULT(0), int right KEL_DEFAULT(INT_MAX),
                           int bottom KEL_DEFAULT(INT_MAX));
/// Saves a rectangle of the window as a BMP file; a null file name asks the user.
KEL_API void writeimagefile(const char* filename KEL_DEFAULT(NULL), int left KEL_DEFAULT(0),
                            int top KEL_DEFAULT(0), int right KEL_DEFAULT(INT_MAX),
                            int bottom KEL_DEFAULT(INT_MAX), bool active KEL_DEFAULT(true),
                            HWND hwnd KEL_DEFAULT(NULL));
/// Saves a device-independent bitmap as a BMP file.
KEL_API unsigned short SaveDIB(void* hDib, const char* lpFileName);
/// Reads a device-independent bitmap from an open file.
KEL_API void* ReadDIBFile(void* hFile);
/// Reads a device-independent bitmap from a BMP file.
KEL_API void* LoadDIB(const char* lpFileName);
/// Frees a device-independent bitmap.
KEL_API unsigned short DestroyDIB(void* hDib);
/// Prints a rectangle of the window width_inches wide with the given margins; without a printer it
/// does nothing.
KEL_API void printimage(const char* title KEL_DEFAULT(NULL), double width_inches KEL_DEFAULT(7),
                        double border_left_inches KEL_DEFAULT(0.75),
                        double border_top_inches KEL_DEFAULT(0.75), int left KEL_DEFAULT(0),
                        int top KEL_DEFAULT(0), int right KEL_DEFAULT(INT_MAX),
                        int bottom KEL_DEFAULT(INT_MAX), bool active KEL_DEFAULT(true),
                        HWND hwnd KEL_DEFAULT(NULL));

// Mouse
/// Whether the events of a kind are queued for ismouseclick and getmouseclick.
KEL_API void setmousequeuestatus(int kind, bool status KEL_DEFAULT(true));
/// Calls h(x, y) on each event of a kind (WM_LBUTTONDOWN, WM_MOUSEMOVE, ...).
KEL_API void registermousehandler(int kind, void (*h)(int x, int y));
/// Whether an event of a kind is waiting.
KEL_API bool ismouseclick(int kind);
#ifdef __cplusplus
/// Takes the oldest waiting event of a kind and gives its coordinates (-1, -1 when none).
KEL_API void getmouseclick(int kind, int& x, int& y);
#endif
/// The event's coordinates through pointers: what getmouseclick does in C.
KEL_API void kel_getmouseclick(int kind, int* x, int* y);
/// Discards the waiting events of a kind.
KEL_API void clearmouseclick(int kind);
/// The x of the mouse in the current window.
KEL_API int mousex(void);
/// The y of the mouse in the current window.
KEL_API int mousey(void);

#ifdef __cplusplus
}  // extern "C"

// Stream text output (C++ linkage: they take C++ streams).
/// Draws what the stream holds at (x, y), a line of text per line, and empties it.
KEL_API void outstreamxy(int x, int y, std::ostringstream& out = kelout);
/// Draws what the stream holds at the current position and empties it.
KEL_API void outstream(std::ostringstream& out = kelout);
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
