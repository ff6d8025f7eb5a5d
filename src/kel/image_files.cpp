// Image files: drawing a picture file into the current window
// (readimagefile), saving a rectangle of a window as a BMP file
// (writeimagefile), and the BMP file functions of the DIB utilities
// (SaveDIB, ReadDIBFile, LoadDIB, DestroyDIB).
#include <algorithm>
#include <atomic>
#include <climits>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "clipping.h"
#include "kel_internal.h"
#include "kel/dibutil.h"

namespace {

const DWORD kNameBufferSize = 261;
const WORD kBmpSignature = 0x4D42;  // "BM"
const DWORD kFileHeaderSize = sizeof(BITMAPFILEHEADER);
const DWORD kInfoHeaderSize = sizeof(BITMAPINFOHEADER);
// A header block with room for the longest colour table: 256 entries.
const DWORD kMaxColourEntries = 256;
const DWORD kHeaderBlockSize = kInfoHeaderSize + kMaxColourEntries * sizeof(RGBQUAD);
// No DIB we read may claim more than this (the largest block we make).
const unsigned long long kMaxDibBytes = 0x7FFFFFFF;
// The longest information header we read (the fifth version's).
const DWORD kMaxHeaderSize = 124;

const char kOpenFilter[] =
    "Image files (*.bmp, *.gif, *.jpg, *.ico, *.emf, *.wmf)\0*.BMP;*.GIF;*.JPG;*.ICO;*.EMF;*.WMF\0";
const char kSaveFilter[] = "Bitmap files (*.bmp)\0*.BMP\0";

// A file written beside its target and moved over it only when every byte
// is written and flushed: a full disk or any other failure leaves the old
// file as it was, and the temporary file is removed.
class ReplacingFile {
 public:
  explicit ReplacingFile(const char* target) : target_(target) {
    static std::atomic<unsigned> counter{0};
    const int kNameTries = 100;
    for (int i = 0; i < kNameTries && file_ == INVALID_HANDLE_VALUE; ++i) {
      temporary_ = target_ + ".~" + std::to_string(GetTickCount()) + "-" +
                   std::to_string(counter++) + ".tmp";
      file_ = CreateFileA(temporary_.c_str(), GENERIC_WRITE, 0, NULL, CREATE_NEW,
                          FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, NULL);
      if (file_ == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS &&
          GetLastError() != ERROR_ALREADY_EXISTS)
        break;
    }
    ok_ = created_ = file_ != INVALID_HANDLE_VALUE;
  }
  ~ReplacingFile() {
    if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
    if (created_ && !committed_) DeleteFileA(temporary_.c_str());
  }
  ReplacingFile(const ReplacingFile&) = delete;
  ReplacingFile& operator=(const ReplacingFile&) = delete;

  bool ok() const { return ok_; }
  // All `size` bytes, or the file counts as failed.
  void write(const void* data, DWORD size) {
    DWORD written = 0;
    ok_ = ok_ && WriteFile(file_, data, size, &written, NULL) && written == size;
  }
  bool commit() {
    if (!created_) return false;
    ok_ = ok_ && FlushFileBuffers(file_);
    ok_ = CloseHandle(file_) && ok_;
    file_ = INVALID_HANDLE_VALUE;
    committed_ = ok_ && MoveFileExA(temporary_.c_str(), target_.c_str(),
                                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    return committed_;
  }

 private:
  std::string target_;
  std::string temporary_;
  HANDLE file_ = INVALID_HANDLE_VALUE;
  bool created_ = false;
  bool ok_ = false;
  bool committed_ = false;
};

long long extent(int from, int to) {
  long long d = static_cast<long long>(to) - from;
  return (d < 0 ? -d : d) + 1;
}

// Asks for a file name with the open or save dialog; false when cancelled.
bool ask_file_name(bool save, char name[kNameBufferSize]) {
  OPENFILENAMEA ofn;
  std::memset(&ofn, 0, sizeof ofn);
  std::memset(name, 0, kNameBufferSize);
  ofn.lStructSize = sizeof(OPENFILENAMEA);
  ofn.lpstrFilter = save ? kSaveFilter : kOpenFilter;
  ofn.lpstrFile = name;
  ofn.nMaxFile = kNameBufferSize;
  if (save) {
    ofn.Flags = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_NOREADONLYRETURN;
    return GetSaveFileNameA(&ofn) != FALSE;
  }
  ofn.Flags = OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
  return GetOpenFileNameA(&ofn) != FALSE;
}

// A chosen save name without a three-letter extension gets ".BMP".
void complete_bmp_name(char name[kNameBufferSize]) {
  size_t length = strnlen(name, kNameBufferSize - 1);
  name[length] = '\0';
  if (length < 4 || (name[length - 4] != '.' && length < 256)) std::strcat(name, ".BMP");
}

// The picture in a file, or null. The caller releases it.
IPicture* readipicture(const char* filename) {
  HANDLE file = CreateFileA(filename, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
  if (file == INVALID_HANDLE_VALUE) return NULL;
  DWORD size = GetFileSize(file, NULL);
  if (size == INVALID_FILE_SIZE) {
    CloseHandle(file);
    return NULL;
  }
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
  if (!block) {
    CloseHandle(file);
    showerrorbox("Insufficient memory to read image");
    return NULL;
  }
  void* data = GlobalLock(block);
  DWORD read = 0;
  BOOL ok = data && ReadFile(file, data, size, &read, NULL);
  if (data) GlobalUnlock(block);
  CloseHandle(file);
  if (!ok || read < size) {
    GlobalFree(block);
    return NULL;
  }
  LPSTREAM stream = NULL;
  HRESULT result = CreateStreamOnHGlobal(block, TRUE, &stream);
  if (!stream) {
    GlobalFree(block);
    return NULL;
  }
  if (FAILED(result)) {
    stream->Release();
    return NULL;
  }
  IPicture* picture = NULL;
  result = OleLoadPicture(stream, static_cast<LONG>(size), FALSE, IID_IPicture,
                          reinterpret_cast<LPVOID*>(&picture));
  stream->Release();
  if (FAILED(result) && picture) {
    picture->Release();
    picture = NULL;
  }
  return picture;
}

// Reads `bytes` bytes of the file into `to`; true when the read succeeded,
// with the count read in *done.
bool read_file(HANDLE file, void* to, DWORD bytes, DWORD* done) {
  *done = 0;
  return ReadFile(file, to, bytes, done, NULL) != FALSE;
}

// Colour entries that follow an information header. Depths above 8 bits
// have no colour table, except the three masks of BI_BITFIELDS, which take
// the place of three entries (so that FindDIBBits finds the pixels).
// A stated count is held to the 256 entries an 8-bit DIB can index: a
// damaged header that counts 150 million of them would otherwise make a
// 78-byte file cost 600 MB.
unsigned long long colour_count(const BITMAPINFOHEADER& bi) {
  if (bi.biClrUsed != 0) return std::min<DWORD>(bi.biClrUsed, kMaxColourEntries);
  if (bi.biBitCount <= 8) return 1ull << bi.biBitCount;
  return bi.biCompression == BI_BITFIELDS ? 3 : 0;
}

bool pixel_depth_ok(WORD bits) {
  return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

// The pixel byte count a header states (biSizeImage, or the row rule for
// uncompressed DIBs that leave it 0); false when it cannot be a size.
bool image_bytes(const BITMAPINFOHEADER& bi, unsigned long long* bytes) {
  if (bi.biSizeImage != 0) {
    *bytes = bi.biSizeImage;
    return true;
  }
  if (bi.biWidth < 0) return false;
  unsigned long long rows = bi.biHeight < 0 ? -static_cast<long long>(bi.biHeight) : bi.biHeight;
  *bytes = WIDTHBYTES(static_cast<unsigned long long>(bi.biWidth) * bi.biBitCount) * rows;
  return *bytes <= kMaxDibBytes;
}

// Grows an unlocked block, zero-filling the new part.
bool grow_block(HANDLE* block, unsigned long long bytes) {
  if (bytes > kMaxDibBytes) return false;
  HANDLE grown = GlobalReAlloc(*block, static_cast<SIZE_T>(bytes), GMEM_MOVEABLE | GMEM_ZEROINIT);
  if (!grown) return false;
  *block = grown;
  return true;
}

// The steps of ReadDIBFile with the block locked at `dib`; false on any
// refusal. On success the block may have moved: *block is its handle.
bool read_dib(HANDLE file, HANDLE* block, char** dib) {
  BITMAPFILEHEADER bmf;
  DWORD done = 0;
  if (!read_file(file, &bmf, kFileHeaderSize, &done) || done != kFileHeaderSize ||
      bmf.bfType != kBmpSignature)
    return false;
  BITMAPINFOHEADER bi;
  if (!read_file(file, *dib, kInfoHeaderSize, &done) || done != kInfoHeaderSize) return false;
  std::memcpy(&bi, *dib, sizeof bi);
  // The core header is refused, like any header shorter than the
  // information header or longer than the longest published one.
  if (bi.biSize < kInfoHeaderSize || bi.biSize > kMaxHeaderSize) return false;
  // So is a pixel depth no DIB has: 2048 bits a pixel would make a 78-byte
  // file claim 682 MB of rows.
  if (!pixel_depth_ok(bi.biBitCount)) return false;
  unsigned long long colours = colour_count(bi), pixels = 0;
  if (!image_bytes(bi, &pixels) || colours > 0xFFFFFFFFull) return false;
  // Sizes past what a block may hold are refused; a file that is merely
  // short, by however much, is read and what it lacks is zero.
  if (bi.biClrUsed == 0 || bi.biClrUsed > colours) bi.biClrUsed = static_cast<DWORD>(colours);
  bi.biSizeImage = static_cast<DWORD>(pixels);
  std::memcpy(*dib, &bi, sizeof bi);
  unsigned long long table = colours * sizeof(RGBQUAD);
  GlobalUnlock(*block);
  *dib = NULL;
  if (!grow_block(block, bi.biSize + table + pixels)) return false;
  if (!(*dib = static_cast<char*>(GlobalLock(*block)))) return false;
  // The rest of a longer header, then the colour table.
  read_file(file, *dib + kInfoHeaderSize, bi.biSize - kInfoHeaderSize, &done);
  read_file(file, *dib + bi.biSize, static_cast<DWORD>(table), &done);
  if (bmf.bfOffBits != 0) SetFilePointer(file, static_cast<LONG>(bmf.bfOffBits), NULL, FILE_BEGIN);
  char* bits = *dib + bi.biSize + table;
  if (!read_file(file, bits, static_cast<DWORD>(pixels), &done)) return false;
  // A short file leaves the rest of the rows as the block grew: zero.
  return true;
}

// Picture sizes are in hundredths of a millimetre; the loader shows 96
// pixels per inch. The picture is averaged at most this many pixels a side.
long pixels_of(long himetric) { return std::clamp(himetric * 96L / 2540L, 1L, 1024L); }

// The mean colour of the picture, drawn at its own size into a bitmap like
// the page: the portable platform shows a picture shrunk to one pixel as
// that mean, where a system GDI may draw nothing or one pixel of it.
COLORREF mean_colour(HDC page, IPicture* picture, long width, long height) {
  const int w = static_cast<int>(pixels_of(width)), h = static_cast<int>(pixels_of(height));
  HDC dc = CreateCompatibleDC(page);
  HBITMAP bitmap = CreateCompatibleBitmap(page, w, h);
  HGDIOBJ old = SelectObject(dc, bitmap);
  picture->Render(dc, 0, 0, w, h, 0, height, width, -height, NULL);
  SelectObject(dc, old);
  BITMAPINFO info = {};
  info.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  std::vector<uint32_t> pixels(static_cast<size_t>(w) * h);
  unsigned long long sum[3] = {0, 0, 0};
  if (GetDIBits(dc, bitmap, 0, static_cast<UINT>(h), pixels.data(), &info, DIB_RGB_COLORS) == h)
    for (uint32_t p : pixels)
      for (int c = 0; c < 3; ++c) sum[c] += (p >> (8 * c)) & 0xFF;
  DeleteObject(bitmap);
  DeleteDC(dc);
  const unsigned long long n = pixels.size();
  auto mean = [&](int c) { return static_cast<BYTE>((sum[c] + n / 2) / n); };
  return RGB(mean(2), mean(1), mean(0));
}

}  // namespace

KEL__PageCopy::KEL__PageCopy(WindowData* wd, bool active, int left, int top, int right,
                             int bottom) {
  HDC hDC = wd->hDC[active ? wd->active_page.load() : wd->visual_page.load()];
  left = std::clamp(left, 0, std::max(wd->width - 1, 0));
  right = std::clamp(right, 0, std::max(wd->width - 1, 0));
  top = std::clamp(top, 0, std::max(wd->height - 1, 0));
  bottom = std::clamp(bottom, 0, std::max(wd->height - 1, 0));
  width = static_cast<int>(extent(left, right));
  height = static_cast<int>(extent(top, bottom));
  dc = CreateCompatibleDC(hDC);
  bitmap = CreateCompatibleBitmap(hDC, width, height);
  old_bitmap = SelectObject(dc, bitmap);
  BitBlt(dc, 0, 0, width, height, hDC, left, top, SRCCOPY);
}

KEL__PageCopy::~KEL__PageCopy() {
  deselect();
  DeleteObject(bitmap);
  DeleteDC(dc);
}

void readimagefile(const char* filename, int left, int top, int right, int bottom) {
  char name[kNameBufferSize];
  if (!filename) {
    if (!ask_file_name(false, name)) return;
    filename = name;
  }
  IPicture* picture = readipicture(filename);
  if (!picture) return;
  HeldPage page;
  OLE_XSIZE_HIMETRIC picture_width = 0;
  OLE_YSIZE_HIMETRIC picture_height = 0;
  picture->get_Width(&picture_width);
  picture->get_Height(&picture_height);
  const WindowData* wd = page.wd();
  const kel_clip::Bounds shown = kel_clip::page_bounds(page.dc(), wd->width, wd->height, 0);
  const kel_clip::Span across = kel_clip::cut_stretch(left, extent(left, right), shown.left,
                                                      shown.right, picture_width);
  const kel_clip::Span down = kel_clip::cut_stretch(top, extent(top, bottom), shown.top,
                                                    shown.bottom, picture_height);
  // Drawn upright: the picture's rows run from its bottom up.
  if (KEL__SystemGdi && extent(left, right) == 1 && extent(top, bottom) == 1)
    SetPixelV(page.dc(), left, top, mean_colour(page.dc(), picture, picture_width, picture_height));
  else if (across.size > 0 && down.size > 0)
    picture->Render(page.dc(), across.at, down.at, across.size, down.size, across.source,
                    picture_height - down.source, across.source_size, -down.source_size, NULL);
  page.release();
  picture->Release();
  RefreshWindow(NULL);
}

void readimagefile(char* filename, int left, int top, int right, int bottom) {
  readimagefile(static_cast<const char*>(filename), left, top, right, bottom);
}

void writeimagefile(const char* filename, int left, int top, int right, int bottom, bool active,
                    HWND hwnd) {
  char name[kNameBufferSize];
  if (!filename) {
    if (!ask_file_name(true, name)) return;
    complete_bmp_name(name);
    filename = name;
  }
  WindowData* wd = KEL__WindowOfHandle(hwnd);
  if (!wd) return;
  HANDLE hDIB;
  {
    PageLock lock(wd);
    KEL__PageCopy copy(wd, active, left, top, right, bottom);
    copy.deselect();  // a bitmap is converted while no context holds it
    hDIB = BitmapToDIB(copy.bitmap, NULL);
    // A file that could not be written completely (the old one is kept) is
    // reported through graphresult.
    if (SaveDIB(hDIB, filename) != 0) wd->error_code = grIOerror;
  }
  DestroyDIB(hDIB);
}

void writeimagefile(char* filename, int left, int top, int right, int bottom, bool active,
                    HWND hwnd) {
  writeimagefile(static_cast<const char*>(filename), left, top, right, bottom, active, hwnd);
}

unsigned short SaveDIB(void* hDib, const char* lpFileName) {
  if (!hDib) return 20;
  if (!lpFileName) return 4;
  ReplacingFile file(lpFileName);
  if (!file.ok()) return 4;
  LPBITMAPINFOHEADER lpBI = static_cast<LPBITMAPINFOHEADER>(GlobalLock(hDib));
  if (!lpBI) return 3;
  const SIZE_T block_size = GlobalSize(hDib);
  if (block_size < kInfoHeaderSize || lpBI->biSize != kInfoHeaderSize) {
    // Nothing to write: the file is left empty, as a foreign header is not
    // an error.
    GlobalUnlock(hDib);
    return file.commit() ? 0 : 4;
  }
  const WORD table = PaletteSize(reinterpret_cast<LPSTR>(lpBI));
  unsigned long long pixels = lpBI->biSizeImage;
  if (lpBI->biCompression != BI_RLE8 && lpBI->biCompression != BI_RLE4) {
    long long rows = lpBI->biHeight < 0 ? -static_cast<long long>(lpBI->biHeight) : lpBI->biHeight;
    pixels = WIDTHBYTES(static_cast<unsigned long long>(std::max<LONG>(lpBI->biWidth, 0)) *
                        lpBI->biBitCount) *
             static_cast<unsigned long long>(rows);
    lpBI->biSizeImage = static_cast<DWORD>(pixels);
  }
  unsigned long long dib_size = lpBI->biSize + table + pixels;
  BITMAPFILEHEADER bmfHdr;
  bmfHdr.bfType = kBmpSignature;
  bmfHdr.bfSize = static_cast<DWORD>(kFileHeaderSize + dib_size);
  bmfHdr.bfReserved1 = 0;
  bmfHdr.bfReserved2 = 0;
  bmfHdr.bfOffBits = kFileHeaderSize + lpBI->biSize + table;
  file.write(&bmfHdr, kFileHeaderSize);
  // Never more than the block holds, whatever its header claims.
  file.write(lpBI, static_cast<DWORD>(std::min<unsigned long long>(dib_size, block_size)));
  GlobalUnlock(hDib);
  return file.commit() ? 0 : 4;
}

// Every length the file claims is checked before it is used, so the block
// is never read or written outside, and what a short file does not supply
// is zero.
void* ReadDIBFile(void* hFile) {
  HANDLE block = GlobalAlloc(GHND, kHeaderBlockSize);
  if (!block) return NULL;
  char* dib = static_cast<char*>(GlobalLock(block));
  if (!dib || !read_dib(hFile, &block, &dib)) {
    if (dib) GlobalUnlock(block);
    GlobalFree(block);
    return NULL;
  }
  GlobalUnlock(block);
  return block;
}

void* LoadDIB(const char* lpFileName) {
  SetCursor(LoadCursorA(NULL, IDC_WAIT));
  HANDLE file = CreateFileA(lpFileName, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, NULL);
  void* dib = NULL;
  if (file != INVALID_HANDLE_VALUE) {
    dib = ReadDIBFile(file);
    CloseHandle(file);
  } else {
    showerrorbox("File not found");
  }
  SetCursor(LoadCursorA(NULL, IDC_ARROW));
  return dib;
}

unsigned short DestroyDIB(void* hDib) {
  GlobalFree(hDib);
  return 0;
}
