// The kernel's handle table, the wait hub and closing handles.
#include "kernel_objects.h"

#include <unistd.h>

namespace kelplat::kernel {

HandleTable<kKernelTable>& kernel_table() { return immortal<HandleTable<kKernelTable>>(); }

WaitHub& wait_hub() { return immortal<WaitHub>(); }

HANDLE add_object(std::unique_ptr<Object> object) {
  uintptr_t handle = kernel_table().insert(std::move(object));
  if (handle == 0) return fail(ERROR_NOT_ENOUGH_MEMORY, HANDLE(nullptr));
  return reinterpret_cast<HANDLE>(handle);
}

File::~File() { ::close(fd_); }

}  // namespace kelplat::kernel

using namespace kelplat::kernel;

// The object leaves the table under the hub lock, so a blocked waiter, which
// looks its handles up again under that lock after every wake-up, either
// still finds it or finds nothing; it is deleted after the lock is let go.
BOOL WINAPI CloseHandle(HANDLE handle) {
  std::unique_ptr<kelplat::Object> object;
  {
    WaitHub& hub = wait_hub();
    std::lock_guard<std::mutex> lock(hub.mutex);
    object = kernel_table().erase(reinterpret_cast<uintptr_t>(handle));
    if (object) hub.notify_locked();
  }
  if (!object) return fail(ERROR_INVALID_HANDLE, FALSE);
  return TRUE;
}
