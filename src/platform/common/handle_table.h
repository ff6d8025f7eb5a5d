// Handles of the portable platform: keys into typed object tables.
//
// A handle packs a table tag, a slot index and the slot's generation, so a
// handle of a deleted object (or of another table) never finds an object.
// Each table holds objects of one base class; the exact class of an object is
// told by its kind, checked once by the table's users (no run-time type
// information on the lookup path).
// Lookups are lock-free: slots live in chunks that are never moved or freed,
// and each slot holds an atomic pointer. Insertion and removal take a lock.
// Objects removed from a table are deleted by the caller of erase(); using a
// handle while another thread deletes its object is a program error, exactly
// as on the real platform.
#ifndef KEL_PLATFORM_HANDLE_TABLE_H
#define KEL_PLATFORM_HANDLE_TABLE_H

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

namespace kelplat {

class Object;
template <unsigned Tag, class Base = Object>
class HandleTable;

// Every object that a handle can name derives from Object.
class Object {
 public:
  explicit Object(int kind) : kind_(kind) {}
  virtual ~Object() = default;
  Object(const Object&) = delete;
  Object& operator=(const Object&) = delete;
  int kind() const { return kind_; }
  uintptr_t handle() const { return handle_; }

 private:
  template <unsigned Tag, class Base>
  friend class HandleTable;
  const int kind_;
  uintptr_t handle_ = 0;
};

// Tags of the tables; part of every handle so tables never confuse handles.
enum TableTag : unsigned { kKernelTable = 1, kGdiTable = 2, kWindowTable = 3, kMemoryTable = 4 };

template <unsigned Tag, class Base>
class HandleTable {
 public:
  static constexpr unsigned kIndexBits = sizeof(uintptr_t) == 8 ? 32 : 20;
  static constexpr unsigned kGenBits = sizeof(uintptr_t) == 8 ? 24 : 8;
  static constexpr unsigned kChunkSize = 4096;
  static constexpr unsigned kMaxChunks = sizeof(uintptr_t) == 8 ? 65536 : 256;

  // Takes ownership of the object until erase(); returns its handle (never 0).
  uintptr_t insert(std::unique_ptr<Base> object) {
    std::lock_guard<std::mutex> lock(mutex_);
    uint32_t index;
    if (!free_.empty()) {
      index = free_.back();
      free_.pop_back();
    } else {
      if (next_ >= kChunkSize * kMaxChunks) return 0;
      index = next_++;
      if (index % kChunkSize == 0) chunks_[index / kChunkSize].store(new Slot[kChunkSize]);
    }
    Slot& slot = slot_at(index);
    uint32_t gen = slot.generation;
    uintptr_t h = (uintptr_t(Tag) << (kIndexBits + kGenBits)) |
                  (uintptr_t(gen & ((1u << kGenBits) - 1)) << kIndexBits) | uintptr_t(index + 1);
    object->handle_ = h;
    slot.object.store(object.release(), std::memory_order_release);
    return h;
  }

  // The object named by the handle, or null.
  Base* get(uintptr_t h) const {
    uint32_t index;
    if (!decode(h, index)) return nullptr;
    Slot* chunk = chunks_[index / kChunkSize].load(std::memory_order_acquire);
    if (!chunk) return nullptr;
    Base* object = chunk[index % kChunkSize].object.load(std::memory_order_acquire);
    if (!object || object->handle_ != h) return nullptr;
    return object;
  }

  // Removes the object from the table and gives it back to the caller.
  std::unique_ptr<Base> erase(uintptr_t h) {
    std::lock_guard<std::mutex> lock(mutex_);
    uint32_t index;
    if (!decode(h, index)) return nullptr;
    Slot* chunk = chunks_[index / kChunkSize].load(std::memory_order_acquire);
    if (!chunk) return nullptr;
    Slot& slot = chunk[index % kChunkSize];
    Base* object = slot.object.load(std::memory_order_acquire);
    if (!object || object->handle_ != h) return nullptr;
    slot.object.store(nullptr, std::memory_order_release);
    slot.generation++;
    free_.push_back(index);
    return std::unique_ptr<Base>(object);
  }

 private:
  struct Slot {
    std::atomic<Base*> object{nullptr};
    uint32_t generation = 1;
  };

  static bool decode(uintptr_t h, uint32_t& index) {
    if ((h >> (kIndexBits + kGenBits)) != Tag) return false;
    uintptr_t raw = h & ((uintptr_t(1) << kIndexBits) - 1);
    if (raw == 0 || raw > uintptr_t(kChunkSize) * kMaxChunks) return false;
    index = uint32_t(raw - 1);
    return true;
  }
  Slot& slot_at(uint32_t index) { return chunks_[index / kChunkSize].load()[index % kChunkSize]; }

  std::mutex mutex_;
  uint32_t next_ = 0;
  std::vector<uint32_t> free_;
  std::array<std::atomic<Slot*>, kMaxChunks> chunks_{};
};

// Process-wide state must outlive every thread, including threads still
// running while exit() runs static destructors: it is created on first use
// and never destroyed.
template <class T>
T& immortal() {
  static T* instance = new T();
  return *instance;
}

}  // namespace kelplat

#endif  // KEL_PLATFORM_HANDLE_TABLE_H
