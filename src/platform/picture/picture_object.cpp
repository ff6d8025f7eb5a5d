// The picture object that OleLoadPicture makes: a decoded picture with a
// reference count, its size in hundredths of a millimetre, and Render.
#include <atomic>
#include <memory>
#include <new>

#include "hglobal_stream.h"
#include "picture_loader.h"

const IID IID_IPicture = {0x7BF80980, 0xBF32, 0x101A, {0x8B, 0xBB, 0x00, 0xAA, 0x00, 0x30, 0x0C, 0xAB}};

namespace kelplat::picture {
namespace {

// What loaders answer for bytes that are no picture they know.
constexpr HRESULT kInvalidPicture = HRESULT(0x800A01E1u);

class Picture final : public IPicture {
 public:
  explicit Picture(std::unique_ptr<PictureData> data) : data_(std::move(data)) {}

  HRESULT QueryInterface(REFIID riid, void** out) override {
    if (!out) return E_POINTER;
    if (same_iid(riid, kIidUnknown) || same_iid(riid, IID_IPicture)) {
      AddRef();
      *out = static_cast<IPicture*>(this);
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG AddRef() override { return ++references_; }
  ULONG Release() override {
    ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }
  HRESULT get_Width(OLE_XSIZE_HIMETRIC* width) override {
    if (!width) return E_POINTER;
    *width = data_->width_himetric;
    return S_OK;
  }
  HRESULT get_Height(OLE_YSIZE_HIMETRIC* height) override {
    if (!height) return E_POINTER;
    *height = data_->height_himetric;
    return S_OK;
  }
  // The source rectangle is in hundredths of a millimetre with y running up
  // from the picture's bottom edge: (0, height, width, -height) is the whole
  // picture upright.
  HRESULT Render(HDC hdc, LONG x, LONG y, LONG cx, LONG cy, OLE_XPOS_HIMETRIC x_src,
                 OLE_YPOS_HIMETRIC y_src, OLE_XSIZE_HIMETRIC cx_src, OLE_YSIZE_HIMETRIC cy_src,
                 LPCRECT) override {
    if (cx == 0 || cy == 0 || cx_src == 0 || cy_src == 0) return E_INVALIDARG;
    const double w = data_->width_himetric, h = data_->height_himetric;
    Placement where;
    where.fx0 = x_src / w;
    where.fx1 = (double(x_src) + cx_src) / w;
    where.fy0 = (h - y_src) / h;
    where.fy1 = (h - y_src - double(cy_src)) / h;
    where.x = x;
    where.y = y;
    where.cx = cx;
    where.cy = cy;
    return render_picture(*data_, hdc, where) ? S_OK : E_INVALIDARG;
  }

 private:
  ~Picture() = default;
  std::atomic<ULONG> references_{1};
  std::unique_ptr<PictureData> data_;
};

// Decodes `size` bytes of the stream's block (all of it for 0).
std::unique_ptr<PictureData> load_block(HGLOBAL memory, LONG size) {
  SIZE_T available = GlobalSize(memory);
  SIZE_T length = size > 0 && SIZE_T(size) < available ? SIZE_T(size) : available;
  const uint8_t* bytes = static_cast<const uint8_t*>(GlobalLock(memory));
  if (!bytes) return nullptr;
  std::unique_ptr<PictureData> data(new (std::nothrow) PictureData);
  bool loaded = data && load_picture(Bytes(bytes, length), data.get());
  GlobalUnlock(memory);
  return loaded ? std::move(data) : nullptr;
}

}  // namespace
}  // namespace kelplat::picture

HRESULT WINAPI OleLoadPicture(LPSTREAM stream, LONG size, BOOL, REFIID riid, LPVOID* out) {
  using namespace kelplat::picture;
  if (!out) return E_POINTER;
  *out = nullptr;
  if (!same_iid(riid, IID_IPicture)) return E_NOINTERFACE;
  auto* source = dynamic_cast<HGlobalStream*>(stream);
  if (!source) return E_INVALIDARG;
  std::unique_ptr<PictureData> data = load_block(source->memory(), size);
  if (!data) return kInvalidPicture;
  Picture* picture = new (std::nothrow) Picture(std::move(data));
  if (!picture) return E_OUTOFMEMORY;
  *out = static_cast<IPicture*>(picture);
  return S_OK;
}
