// A stream over a movable memory block, as CreateStreamOnHGlobal makes it;
// the picture loader reads the block through it.
#ifndef KEL_PLATFORM_PICTURE_HGLOBAL_STREAM_H
#define KEL_PLATFORM_PICTURE_HGLOBAL_STREAM_H

#include <atomic>

#include "platform.h"

namespace kelplat::picture {

inline bool same_iid(const IID& a, const IID& b) {
  if (a.Data1 != b.Data1 || a.Data2 != b.Data2 || a.Data3 != b.Data3) return false;
  for (int i = 0; i < 8; ++i)
    if (a.Data4[i] != b.Data4[i]) return false;
  return true;
}

constexpr IID kIidUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
constexpr IID kIidStream = {0x0000000C, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

class HGlobalStream final : public IStream {
 public:
  HGlobalStream(HGLOBAL memory, bool free_on_release)
      : memory_(memory), free_on_release_(free_on_release) {}
  HRESULT QueryInterface(REFIID riid, void** out) override;
  ULONG AddRef() override;
  // The last release frees the block when the stream owns it.
  ULONG Release() override;
  HGLOBAL memory() const { return memory_; }

 private:
  ~HGlobalStream() = default;
  std::atomic<ULONG> references_{1};
  HGLOBAL memory_;
  bool free_on_release_;
};

}  // namespace kelplat::picture

#endif  // KEL_PLATFORM_PICTURE_HGLOBAL_STREAM_H
