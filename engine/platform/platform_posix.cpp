// POSIX implementation of the platform seam (Linux builds: tests, tools).
#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <clocale>
#include <cstdio>
#include <ctime>

#include "cp1251.h"

#include "platform/platform.h"

namespace olvendrix::platform {
namespace {

using testing::Fault;

class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  ~FileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  int get() const { return fd_; }
  bool valid() const { return fd_ >= 0; }
  void release() { fd_ = -1; }

 private:
  int fd_;
};

void SyncFolderOf(const std::filesystem::path& path) {
  FileDescriptor folder(::open(path.parent_path().empty() ? "." : path.parent_path().c_str(),
                               O_RDONLY | O_DIRECTORY));
  if (folder.valid()) ::fsync(folder.get());
}

}  // namespace

namespace internal {
void Unmap(std::uint8_t* data, std::uint64_t size, bool) { ::munmap(data, size); }
// Closing the descriptor drops its lock.
void Unlock(std::intptr_t handle) { ::close(static_cast<int>(handle)); }
}  // namespace internal

MapResult MapFileReadOnly(const std::filesystem::path& path, MappedMemory& view) {
  if (internal::TakeFault(Fault::kOpen)) return MapResult::kOpenFailed;
  FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  struct stat info {};
  if (!file.valid() || ::fstat(file.get(), &info) != 0 || S_ISDIR(info.st_mode)) {
    return MapResult::kOpenFailed;
  }
  if (internal::TakeFault(Fault::kMap) || info.st_size <= 0) return MapResult::kMapFailed;
  const auto size = static_cast<std::uint64_t>(info.st_size);
  void* data = ::mmap(nullptr, size, PROT_READ, MAP_SHARED, file.get(), 0);
  if (data == MAP_FAILED) return MapResult::kMapFailed;
  ::madvise(data, size, MADV_SEQUENTIAL);
  view = MappedMemory(static_cast<std::uint8_t*>(data), size, false);
  return MapResult::kOk;
}

MappedMemory AllocateRegion(std::uint64_t size, RegionUse use) {
  if (size == 0 || internal::TakeFault(Fault::kRegion)) return {};
  void* data = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (data == MAP_FAILED) return {};
  // A hint only: where transparent huge pages are off, nothing changes.
  if (use == RegionUse::kDense) ::madvise(data, size, MADV_HUGEPAGE);
  return MappedMemory(static_cast<std::uint8_t*>(data), size, true);
}

namespace {

WriteResult WriteAll(const FileDescriptor& file, const void* data, std::uint64_t size) {
  if (internal::TakeFault(Fault::kShortWrite)) return WriteResult::kShortWrite;
  const auto* bytes = static_cast<const std::uint8_t*>(data);
  std::uint64_t done = 0;
  while (done < size) {
    const ssize_t written = ::write(file.get(), bytes + done, size - done);
    if (written <= 0) return WriteResult::kShortWrite;
    done += static_cast<std::uint64_t>(written);
  }
  if (::fsync(file.get()) != 0) return WriteResult::kShortWrite;
  return WriteResult::kOk;
}

}  // namespace


WriteResult WriteTempFile(const std::filesystem::path& path, const void* data, std::uint64_t size) {
  if (internal::TakeFault(Fault::kCreate)) return WriteResult::kCreateFailed;
  FileDescriptor file(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644));
  if (!file.valid()) return errno == EEXIST ? WriteResult::kNameTaken : WriteResult::kCreateFailed;
  return WriteAll(file, data, size);
}

// A POSIX rename replaces a file that others hold open or mapped: they keep
// the old content, so nothing here is ever held.
MoveResult MoveTempFileOver(const std::filesystem::path& from, const std::filesystem::path& to) {
  if (internal::TakeFault(Fault::kReplace)) return MoveResult::kFailed;
  if (internal::TakeFault(Fault::kHeld)) return MoveResult::kHeld;
  if (::rename(from.c_str(), to.c_str()) != 0) return MoveResult::kFailed;
  SyncFolderOf(to);
  return MoveResult::kOk;
}

bool PathExists(const std::filesystem::path& path) {
  struct stat info {};
  return ::lstat(path.c_str(), &info) == 0;
}

bool RegularFileExists(const std::filesystem::path& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::vector<std::filesystem::path> ListFolder(const std::filesystem::path& folder) {
  std::vector<std::filesystem::path> names;
  DIR* listing = ::opendir(folder.c_str());
  if (listing == nullptr) return names;
  while (const dirent* entry = ::readdir(listing)) {
    const std::string name = entry->d_name;
    if (name != "." && name != "..") names.emplace_back(name);
  }
  ::closedir(listing);
  return names;
}

bool RemoveFile(const std::filesystem::path& path) {
  if (internal::TakeFault(Fault::kRemove)) return false;
  if (::unlink(path.c_str()) != 0) return false;
  SyncFolderOf(path);
  return true;
}

// flock, not fcntl: its lock belongs to the open file, so two FileLocks of
// one process exclude each other as two processes do.
LockResult TryLockFile(const std::filesystem::path& path, FileLock& lock) {
  int fd = internal::TakeFault(Fault::kCreate) ? -1 : ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return LockResult::kUnavailable;
  FileDescriptor file(fd);
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    return errno == EWOULDBLOCK ? LockResult::kBusy : LockResult::kUnavailable;
  }
  lock.Release();
  lock.handle_ = fd;
  file.release();
  return LockResult::kLocked;
}

std::uint32_t ProcessId() { return static_cast<std::uint32_t>(::getpid()); }

std::string LocalDateTimeText() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  ::localtime_r(&now, &local);
  char text[128];
  const std::size_t length = std::strftime(text, sizeof text, "%x %X", &local);
  return Utf8ToCp1251(std::string(text, length));
}

std::filesystem::path ExecutableFolder() {
  std::error_code error;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::filesystem::current_path() : self.parent_path();
}

std::uint32_t TickCount() {
  timespec now{};
  ::clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<std::uint32_t>(static_cast<std::uint64_t>(now.tv_sec) * 1000u +
                                    static_cast<std::uint64_t>(now.tv_nsec) / 1000000u);
}

}  // namespace olvendrix::platform
