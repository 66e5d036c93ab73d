// The native backend: the handle is a file descriptor. Sharing is not
// enforced here (POSIX has no share modes); the mode is still checked, so
// invalid modes fail as on Windows.
#include "streams/core/FileStream.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

const TFileHandle kInvalidFileHandle = -1;

namespace {

std::string FullPathOf(const std::string& fileName) {
  if (!fileName.empty() && fileName[0] == '/') return fileName;
  char cwd[PATH_MAX];
  if (!getcwd(cwd, sizeof cwd)) return fileName;
  std::string path(cwd);
  if (path.empty() || path.back() != '/') path += '/';
  return path + fileName;
}

[[noreturn]] void RaiseOpenFailure(const std::string& fileName, int code) {
  RaiseFOpenError(FullPathOf(fileName), std::strerror(code));
}

const int kAccess[3] = {O_RDONLY, O_WRONLY, O_RDWR};

}  // namespace

int32_t THandleStream::Read(void* buffer, int32_t count) {
  if (count <= 0) return 0;
  ssize_t done;
  do {
    done = ::read(static_cast<int>(FHandle), buffer, static_cast<size_t>(count));
  } while (done < 0 && errno == EINTR);
  return done < 0 ? 0 : static_cast<int32_t>(done);
}

int32_t THandleStream::Write(const void* buffer, int32_t count) {
  if (count <= 0) return 0;
  ssize_t done;
  do {
    done = ::write(static_cast<int>(FHandle), buffer, static_cast<size_t>(count));
  } while (done < 0 && errno == EINTR);
  return done < 0 ? 0 : static_cast<int32_t>(done);
}

int64_t THandleStream::Seek(int64_t offset, TSeekOrigin origin) {
  static const int kWhence[3] = {SEEK_SET, SEEK_CUR, SEEK_END};
  off_t position = ::lseek(static_cast<int>(FHandle), static_cast<off_t>(offset), kWhence[origin]);
  return position < 0 ? -1 : static_cast<int64_t>(position);
}

TFileStream::TFileStream(const std::string& fileName, uint16_t mode)
    : THandleStream(kInvalidFileHandle), FFileName(fileName) {
  int fd;
  if (mode == fmCreate) {
    fd = ::open(fileName.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  } else {
    unsigned access, sharing;
    if (!SplitFileMode(mode, access, sharing)) RaiseOpenFailure(fileName, EINVAL);
    fd = ::open(fileName.c_str(), kAccess[access] | O_CLOEXEC);
  }
  if (fd < 0) RaiseOpenFailure(fileName, errno);
  FHandle = fd;
}

TFileStream::~TFileStream() {
  if (FHandle != kInvalidFileHandle) ::close(static_cast<int>(FHandle));
}
