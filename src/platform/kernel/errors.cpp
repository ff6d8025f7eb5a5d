// The last error of each thread and the texts that describe error codes.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <unordered_set>

#include "kernel_objects.h"

namespace kelplat::kernel {
namespace {

thread_local DWORD tls_last_error = ERROR_SUCCESS;

struct ErrorText {
  DWORD code;
  const char* text;
};

constexpr ErrorText kErrorTexts[] = {
    {ERROR_SUCCESS, "The operation completed successfully.\r\n"},
    {ERROR_FILE_NOT_FOUND, "The system cannot find the file specified.\r\n"},
    {ERROR_PATH_NOT_FOUND, "The system cannot find the path specified.\r\n"},
    {kErrorTooManyOpenFiles, "The system cannot open the file.\r\n"},
    {ERROR_ACCESS_DENIED, "Access is denied.\r\n"},
    {ERROR_INVALID_HANDLE, "The handle is invalid.\r\n"},
    {ERROR_NOT_ENOUGH_MEMORY, "Not enough memory resources are available to process this command.\r\n"},
    {ERROR_OUTOFMEMORY, "Not enough memory resources are available to complete this operation.\r\n"},
    {kErrorGenFailure, "A device attached to the system is not functioning.\r\n"},
    {ERROR_HANDLE_EOF, "Reached the end of the file.\r\n"},
    {kErrorFileExists, "The file exists.\r\n"},
    {ERROR_INVALID_PARAMETER, "The parameter is incorrect.\r\n"},
    {kErrorDiskFull, "There is not enough space on the disk.\r\n"},
    {kErrorInsufficientBuffer, "The data area passed to a system call is too small.\r\n"},
    {kErrorNegativeSeek,
     "An attempt was made to move the file pointer before the beginning of the file.\r\n"},
    {kErrorNotLocked, "The segment is already unlocked.\r\n"},
    {ERROR_ALREADY_EXISTS, "Cannot create a file when that file already exists.\r\n"},
    {ERROR_NOT_OWNER, "Attempt to release mutex not owned by caller.\r\n"},
    {ERROR_INVALID_WINDOW_HANDLE, "Invalid window handle.\r\n"},
    {ERROR_CANNOT_FIND_WND_CLASS, "Cannot find window class.\r\n"},
    {ERROR_CLASS_ALREADY_EXISTS, "Class already exists.\r\n"},
    {ERROR_CLASS_DOES_NOT_EXIST, "Class does not exist.\r\n"},
};

const char* error_text(DWORD code) {
  for (const ErrorText& entry : kErrorTexts)
    if (entry.code == code) return entry.text;
  return nullptr;
}

// Texts handed out by FormatMessageA; LocalFree frees only these.
struct LocalBlocks {
  std::mutex mutex;
  std::unordered_set<void*> live;
};
LocalBlocks& local_blocks() { return immortal<LocalBlocks>(); }

// The largest buffer a caller may ask FormatMessageA to allocate.
constexpr DWORD kMaxMessageBuffer = 64 * 1024;

char* allocate_text(const char* text, DWORD min_chars) {
  size_t length = std::strlen(text);
  char* copy = static_cast<char*>(std::calloc(std::max<size_t>(length + 1, min_chars), 1));
  if (!copy) return nullptr;
  std::memcpy(copy, text, length);
  LocalBlocks& blocks = local_blocks();
  std::lock_guard<std::mutex> lock(blocks.mutex);
  blocks.live.insert(copy);
  return copy;
}

}  // namespace
}  // namespace kelplat::kernel

using namespace kelplat::kernel;

DWORD WINAPI GetLastError(void) { return tls_last_error; }

void WINAPI SetLastError(DWORD error) { tls_last_error = error; }

// Only texts of the system are known (no message strings of the caller);
// they contain no inserts, so FORMAT_MESSAGE_IGNORE_INSERTS changes nothing.
// With FORMAT_MESSAGE_ALLOCATE_BUFFER, `buffer` is the address of a text
// pointer and `size` the least number of chars to allocate.
DWORD WINAPI FormatMessageA(DWORD flags, LPCVOID, DWORD message_id, DWORD, LPSTR buffer,
                            DWORD size, void*) {
  if (!(flags & FORMAT_MESSAGE_FROM_SYSTEM) || !buffer) return fail(ERROR_INVALID_PARAMETER, 0u);
  const bool allocate = (flags & FORMAT_MESSAGE_ALLOCATE_BUFFER) != 0;
  char** allocated = reinterpret_cast<char**>(buffer);
  if (allocate) *allocated = nullptr;
  const char* text = error_text(message_id);
  if (!text) return fail(kErrorMessageNotFound, 0u);
  const DWORD length = DWORD(std::strlen(text));
  if (allocate) {
    if (size > kMaxMessageBuffer) return fail(ERROR_INVALID_PARAMETER, 0u);
    *allocated = allocate_text(text, size);
    return *allocated ? length : fail(ERROR_NOT_ENOUGH_MEMORY, 0u);
  }
  if (size <= length) return fail(kErrorInsufficientBuffer, 0u);
  std::memcpy(buffer, text, length + 1);
  return length;
}

HLOCAL WINAPI LocalFree(HLOCAL memory) {
  if (!memory) return nullptr;
  LocalBlocks& blocks = local_blocks();
  {
    std::lock_guard<std::mutex> lock(blocks.mutex);
    if (blocks.live.erase(memory) == 0) return fail(ERROR_INVALID_HANDLE, memory);
  }
  std::free(memory);
  return nullptr;
}
