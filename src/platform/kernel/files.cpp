// Files: open or create, read, write, seek, size, flush, move and delete.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "atomic_file.h"
#include "kernel_objects.h"

namespace kelplat::kernel {
namespace {

DWORD error_from_errno(int error) {
  switch (error) {
    case ENOENT:
      return ERROR_FILE_NOT_FOUND;
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
      return ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case ETXTBSY:
    case ENXIO:
    case EBADF:  // reading a file opened for writing only, or the reverse
      return ERROR_ACCESS_DENIED;
    case EEXIST:
      return kErrorFileExists;
    case EMFILE:
    case ENFILE:
      return kErrorTooManyOpenFiles;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
      return kErrorDiskFull;
    case ENOMEM:
      return ERROR_NOT_ENOUGH_MEMORY;
    case EINVAL:
    case EFAULT:
      return ERROR_INVALID_PARAMETER;
    default:
      return kErrorGenFailure;
  }
}

// A name that is not there: a missing file when its directory exists,
// otherwise a missing path.
DWORD missing_name_error(const std::string& name) {
  size_t slash = name.find_last_of('/');
  std::string directory = slash == std::string::npos ? "." : name.substr(0, slash + 1);
  struct stat st;
  bool directory_exists = ::stat(directory.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
  return directory_exists ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND;
}

DWORD name_error(const char* name, int error) {
  return error == ENOENT ? missing_name_error(name) : error_from_errno(error);
}

// open() flags for an access mask and creation disposition; -1 if invalid.
// Opened without blocking, so that a pipe in the file system cannot hang
// the open; blocking is restored once the file is known to be one.
int open_flags(DWORD access, DWORD creation) {
  const bool read = access & GENERIC_READ, write = access & GENERIC_WRITE;
  int flags = O_CLOEXEC | O_NOCTTY | O_NONBLOCK | (write ? (read ? O_RDWR : O_WRONLY) : O_RDONLY);
  switch (creation) {
    case CREATE_NEW:
      return flags | O_CREAT | O_EXCL;
    case CREATE_ALWAYS:
      return flags | O_CREAT | O_TRUNC;
    case OPEN_EXISTING:
      return flags;
    case OPEN_ALWAYS:
      return flags | O_CREAT;
    case TRUNCATE_EXISTING:
      return write ? flags | O_TRUNC : -1;
    default:
      return -1;
  }
}

// Only regular files and devices are files here; directories, pipes and
// sockets are refused as the real system refuses to open a directory.
DWORD check_opened(int fd) {
  struct stat st;
  if (::fstat(fd, &st) != 0) return error_from_errno(errno);
  if (!S_ISREG(st.st_mode) && !S_ISCHR(st.st_mode) && !S_ISBLK(st.st_mode)) return ERROR_ACCESS_DENIED;
  int flags = ::fcntl(fd, F_GETFL);
  if (flags == -1 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) == -1) return error_from_errno(errno);
  return ERROR_SUCCESS;
}

// Runs a read or write until `total` bytes are done, the end of the file
// is reached or an error occurs; returns the errno of the error or 0.
template <class Transfer>
int transfer_all(Transfer transfer, DWORD total, DWORD* done) {
  *done = 0;
  while (*done < total) {
    ssize_t n = transfer(*done, total - *done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return errno;
    if (n == 0) break;
    *done += DWORD(n);
  }
  return 0;
}

int whence_of(DWORD method) {
  switch (method) {
    case FILE_BEGIN:
      return SEEK_SET;
    case FILE_CURRENT:
      return SEEK_CUR;
    case FILE_END:
      return SEEK_END;
    default:
      return -1;
  }
}

}  // namespace
}  // namespace kelplat::kernel

using namespace kelplat::kernel;

// Share modes, attributes and flags are accepted and have no effect.
HANDLE WINAPI CreateFileA(LPCSTR name, DWORD access, DWORD, LPSECURITY_ATTRIBUTES, DWORD creation,
                          DWORD, HANDLE) {
  if (!name) return fail(ERROR_INVALID_PARAMETER, INVALID_HANDLE_VALUE);
  if (!*name) return fail(ERROR_PATH_NOT_FOUND, INVALID_HANDLE_VALUE);
  const int flags = open_flags(access, creation);
  if (flags == -1) return fail(ERROR_INVALID_PARAMETER, INVALID_HANDLE_VALUE);
  const bool existed = ::access(name, F_OK) == 0;
  const int fd = ::open(name, flags, 0666);
  if (fd == -1) return fail(name_error(name, errno), INVALID_HANDLE_VALUE);
  if (DWORD error = check_opened(fd); error != ERROR_SUCCESS) {
    ::close(fd);
    return fail(error, INVALID_HANDLE_VALUE);
  }
  HANDLE handle = add_object(std::make_unique<File>(fd));
  if (!handle) return INVALID_HANDLE_VALUE;
  const bool reports_existing = creation == CREATE_ALWAYS || creation == OPEN_ALWAYS;
  SetLastError(reports_existing && existed ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
  return handle;
}

// Overlapped transfers are not supported and are refused.
BOOL WINAPI ReadFile(HANDLE file, LPVOID buffer, DWORD to_read, LPDWORD read, void* overlapped) {
  if (read) *read = 0;
  File* object = find<File>(file);
  if (!object) return fail(ERROR_INVALID_HANDLE, FALSE);
  if (overlapped || (!buffer && to_read > 0)) return fail(ERROR_INVALID_PARAMETER, FALSE);
  char* bytes = static_cast<char*>(buffer);
  DWORD done = 0;
  int error = transfer_all(
      [&](DWORD offset, DWORD count) { return ::read(object->fd(), bytes + offset, count); },
      to_read, &done);
  if (read) *read = done;
  return error ? fail(error_from_errno(error), FALSE) : TRUE;
}

BOOL WINAPI WriteFile(HANDLE file, LPCVOID buffer, DWORD to_write, LPDWORD written,
                      void* overlapped) {
  if (written) *written = 0;
  File* object = find<File>(file);
  if (!object) return fail(ERROR_INVALID_HANDLE, FALSE);
  if (overlapped || (!buffer && to_write > 0)) return fail(ERROR_INVALID_PARAMETER, FALSE);
  const char* bytes = static_cast<const char*>(buffer);
  DWORD done = 0;
  int error = transfer_all(
      [&](DWORD offset, DWORD count) { return ::write(object->fd(), bytes + offset, count); },
      to_write, &done);
  if (written) *written = done;
  if (!error && done < to_write) error = ENOSPC;
  return error ? fail(error_from_errno(error), FALSE) : TRUE;
}

// With `distance_high` the distance is 64 bits wide (high part signed);
// without it, the 32-bit distance is signed.
DWORD WINAPI SetFilePointer(HANDLE file, LONG distance, PLONG distance_high, DWORD method) {
  File* object = find<File>(file);
  if (!object) return fail(ERROR_INVALID_HANDLE, INVALID_SET_FILE_POINTER);
  const int whence = whence_of(method);
  if (whence == -1) return fail(ERROR_INVALID_PARAMETER, INVALID_SET_FILE_POINTER);
  int64_t offset = distance;
  if (distance_high)
    offset = int64_t((uint64_t(uint32_t(*distance_high)) << 32) | uint32_t(distance));
  const off_t position = ::lseek(object->fd(), off_t(offset), whence);
  if (position < 0)
    return fail(errno == EINVAL ? kErrorNegativeSeek : error_from_errno(errno),
                INVALID_SET_FILE_POINTER);
  if (distance_high) *distance_high = LONG(uint64_t(position) >> 32);
  const DWORD low = DWORD(uint64_t(position) & 0xFFFFFFFFu);
  // A position whose low part looks like the error value is told apart
  // by a cleared last error.
  if (low == INVALID_SET_FILE_POINTER) SetLastError(ERROR_SUCCESS);
  return low;
}

DWORD WINAPI GetFileSize(HANDLE file, LPDWORD size_high) {
  File* object = find<File>(file);
  if (!object) return fail(ERROR_INVALID_HANDLE, INVALID_FILE_SIZE);
  struct stat st;
  if (::fstat(object->fd(), &st) != 0) return fail(error_from_errno(errno), INVALID_FILE_SIZE);
  const uint64_t size = uint64_t(st.st_size);
  if (size_high) *size_high = DWORD(size >> 32);
  const DWORD low = DWORD(size & 0xFFFFFFFFu);
  if (low == INVALID_FILE_SIZE) SetLastError(ERROR_SUCCESS);
  return low;
}

BOOL WINAPI DeleteFileA(LPCSTR name) {
  if (!name) return fail(ERROR_INVALID_PARAMETER, FALSE);
  if (!*name) return fail(ERROR_PATH_NOT_FOUND, FALSE);
  if (::unlink(name) != 0) return fail(name_error(name, errno), FALSE);
  return TRUE;
}

BOOL WINAPI FlushFileBuffers(HANDLE file) {
  File* object = find<File>(file);
  if (!object) return fail(ERROR_INVALID_HANDLE, FALSE);
  if (::fsync(object->fd()) != 0) return fail(error_from_errno(errno), FALSE);
  return TRUE;
}

// A rename within one file system. Without MOVEFILE_REPLACE_EXISTING an
// existing target is refused; with MOVEFILE_WRITE_THROUGH the folder's new
// entry is on the disk before the call returns. A symbolic link is
// followed (the file it names is replaced); a device or a pipe is written
// with the file's bytes instead, and the file removed.
BOOL WINAPI MoveFileExA(LPCSTR existing, LPCSTR target, DWORD flags) {
  if (!existing || !target) return fail(ERROR_INVALID_PARAMETER, FALSE);
  if (!(flags & MOVEFILE_REPLACE_EXISTING) && ::access(target, F_OK) == 0)
    return fail(ERROR_ALREADY_EXISTS, FALSE);
  const std::string to = followed_link(target);
  if (is_special_file(to)) {
    if (!copy_into(existing, to)) return fail(error_from_errno(errno), FALSE);
    ::unlink(existing);
    return TRUE;
  }
  if (::rename(existing, to.c_str()) != 0) return fail(name_error(existing, errno), FALSE);
  if ((flags & MOVEFILE_WRITE_THROUGH) && !sync_folder_of(to))
    return fail(error_from_errno(errno), FALSE);
  return TRUE;
}
