// Movable memory blocks: allocate, lock, unlock, resize, free.
//
// Every block, fixed or movable, is named by a handle of the memory table;
// GlobalLock turns the handle into the block's address. A block moves only
// when it may: when it is movable and unlocked, or when the caller of
// GlobalReAlloc allows it with GMEM_MOVEABLE. Otherwise it changes size in
// place or not at all, so addresses handed out by GlobalLock stay valid.
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "kernel_objects.h"

namespace kelplat::kernel {
namespace {

// Requests above this fail with ERROR_NOT_ENOUGH_MEMORY before the
// allocator is asked, so absurd sizes never reach it.
constexpr SIZE_T kMaxBlockSize = SIZE_T(1) << 30;
// Changes only the block's attributes, not its size.
constexpr UINT kModifyFlag = 0x0080;
constexpr int kMemoryBlockKind = 1;

class MemoryBlock : public Object {
 public:
  MemoryBlock(bool movable, char* data, SIZE_T size)
      : Object(kMemoryBlockKind), movable_(movable), data_(data), size_(size),
        capacity_(std::max<SIZE_T>(size, 1)) {}
  ~MemoryBlock() override { std::free(data_); }

  std::mutex mutex;  // guards the members below
  char* lock() {
    ++locks_;
    return data_;
  }
  // False when the block was not locked.
  bool unlock() {
    if (locks_ == 0) return false;
    --locks_;
    return true;
  }
  bool locked() const { return locks_ > 0; }
  SIZE_T size() const { return size_; }

  // False (block unchanged) when the new size cannot be had.
  bool resize(SIZE_T bytes, UINT flags) {
    const bool may_move = (movable_ && locks_ == 0) || (flags & GMEM_MOVEABLE);
    const SIZE_T capacity = std::max<SIZE_T>(bytes, 1);
    if (may_move && capacity != capacity_) {
      if (char* moved = static_cast<char*>(std::realloc(data_, capacity))) {
        data_ = moved;
        capacity_ = capacity;
      }
    }
    if (bytes > capacity_) return false;
    if (bytes > size_ && (flags & GMEM_ZEROINIT)) std::memset(data_ + size_, 0, bytes - size_);
    size_ = bytes;
    return true;
  }

 private:
  const bool movable_;
  char* data_;
  SIZE_T size_;
  SIZE_T capacity_;
  unsigned locks_ = 0;
};

HandleTable<kMemoryTable>& memory_table() { return immortal<HandleTable<kMemoryTable>>(); }

MemoryBlock* find_block(HGLOBAL memory) {
  Object* object = memory_table().get(reinterpret_cast<uintptr_t>(memory));
  return object && object->kind() == kMemoryBlockKind ? static_cast<MemoryBlock*>(object) : nullptr;
}

char* allocate(SIZE_T bytes, bool zero) {
  const SIZE_T capacity = std::max<SIZE_T>(bytes, 1);
  return static_cast<char*>(zero ? std::calloc(capacity, 1) : std::malloc(capacity));
}

}  // namespace
}  // namespace kelplat::kernel

using namespace kelplat::kernel;

HGLOBAL WINAPI GlobalAlloc(UINT flags, SIZE_T bytes) {
  if (bytes > kMaxBlockSize) return fail(ERROR_NOT_ENOUGH_MEMORY, HGLOBAL(nullptr));
  char* data = allocate(bytes, flags & GMEM_ZEROINIT);
  if (!data) return fail(ERROR_NOT_ENOUGH_MEMORY, HGLOBAL(nullptr));
  uintptr_t handle =
      memory_table().insert(std::make_unique<MemoryBlock>(flags & GMEM_MOVEABLE, data, bytes));
  if (handle == 0) return fail(ERROR_NOT_ENOUGH_MEMORY, HGLOBAL(nullptr));
  return reinterpret_cast<HGLOBAL>(handle);
}

LPVOID WINAPI GlobalLock(HGLOBAL memory) {
  MemoryBlock* block = find_block(memory);
  if (!block) return fail(ERROR_INVALID_HANDLE, LPVOID(nullptr));
  std::lock_guard<std::mutex> lock(block->mutex);
  return block->lock();
}

// TRUE while the block stays locked; FALSE with ERROR_SUCCESS once the last
// lock is gone; FALSE with an error for a block that was not locked.
BOOL WINAPI GlobalUnlock(HGLOBAL memory) {
  MemoryBlock* block = find_block(memory);
  if (!block) return fail(ERROR_INVALID_HANDLE, FALSE);
  std::lock_guard<std::mutex> lock(block->mutex);
  if (!block->unlock()) return fail(kErrorNotLocked, FALSE);
  if (block->locked()) return TRUE;
  SetLastError(ERROR_SUCCESS);
  return FALSE;
}

HGLOBAL WINAPI GlobalReAlloc(HGLOBAL memory, SIZE_T bytes, UINT flags) {
  MemoryBlock* block = find_block(memory);
  if (!block) return fail(ERROR_INVALID_HANDLE, HGLOBAL(nullptr));
  if (flags & kModifyFlag) return memory;
  if (bytes > kMaxBlockSize) return fail(ERROR_NOT_ENOUGH_MEMORY, HGLOBAL(nullptr));
  std::lock_guard<std::mutex> lock(block->mutex);
  if (!block->resize(bytes, flags)) return fail(ERROR_NOT_ENOUGH_MEMORY, HGLOBAL(nullptr));
  return memory;
}

HGLOBAL WINAPI GlobalFree(HGLOBAL memory) {
  if (!memory) return nullptr;
  if (!memory_table().erase(reinterpret_cast<uintptr_t>(memory)))
    return fail(ERROR_INVALID_HANDLE, memory);
  return nullptr;
}

SIZE_T WINAPI GlobalSize(HGLOBAL memory) {
  MemoryBlock* block = find_block(memory);
  if (!block) return fail(ERROR_INVALID_HANDLE, SIZE_T(0));
  std::lock_guard<std::mutex> lock(block->mutex);
  return block->size();
}
