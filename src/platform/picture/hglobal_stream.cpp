#include "hglobal_stream.h"

#include <new>

namespace kelplat::picture {

HRESULT HGlobalStream::QueryInterface(REFIID riid, void** out) {
  if (!out) return E_POINTER;
  if (same_iid(riid, kIidUnknown) || same_iid(riid, kIidStream)) {
    AddRef();
    *out = static_cast<IStream*>(this);
    return S_OK;
  }
  *out = nullptr;
  return E_NOINTERFACE;
}

ULONG HGlobalStream::AddRef() { return ++references_; }

ULONG HGlobalStream::Release() {
  ULONG left = --references_;
  if (left == 0) {
    if (free_on_release_) GlobalFree(memory_);
    delete this;
  }
  return left;
}

}  // namespace kelplat::picture

using kelplat::picture::HGlobalStream;

// With no block given, the stream gets a new empty one of its own.
HRESULT WINAPI CreateStreamOnHGlobal(HGLOBAL memory, BOOL delete_on_release, LPSTREAM* stream) {
  if (!stream) return E_INVALIDARG;
  *stream = nullptr;
  const bool new_block = !memory;
  if (new_block && !(memory = GlobalAlloc(GMEM_MOVEABLE, 0))) return E_OUTOFMEMORY;
  HGlobalStream* made = new (std::nothrow) HGlobalStream(memory, delete_on_release != FALSE);
  if (!made) {
    if (new_block) GlobalFree(memory);
    return E_OUTOFMEMORY;
  }
  *stream = made;
  return S_OK;
}
