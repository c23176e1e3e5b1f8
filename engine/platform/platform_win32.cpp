// Win32 implementation of the platform seam (the program and its tests).
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <algorithm>
#include <utility>

#include "platform/platform.h"

namespace olvendrix::platform {
namespace {

using testing::Fault;

class Handle {
 public:
  explicit Handle(HANDLE handle) : handle_(handle) {}
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  ~Handle() {
    if (valid()) ::CloseHandle(handle_);
  }
  HANDLE get() const { return handle_; }
  bool valid() const { return handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE; }
  HANDLE release() { return std::exchange(handle_, INVALID_HANDLE_VALUE); }

 private:
  HANDLE handle_;
};

}  // namespace

namespace internal {
// A writable block is a region (AllocateRegion), a read-only one a file view.
void Unmap(std::uint8_t* data, std::uint64_t, bool writable) {
  if (writable) {
    ::VirtualFree(data, 0, MEM_RELEASE);
  } else {
    ::UnmapViewOfFile(data);
  }
}

void Unlock(std::intptr_t handle) {
  OVERLAPPED at{};
  ::UnlockFileEx(reinterpret_cast<HANDLE>(handle), 0, 1, 0, &at);
  ::CloseHandle(reinterpret_cast<HANDLE>(handle));
}
}  // namespace internal

MapResult MapFileReadOnly(const std::filesystem::path& path, MappedMemory& view) {
  if (internal::TakeFault(Fault::kOpen)) return MapResult::kOpenFailed;
  Handle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!file.valid()) return MapResult::kOpenFailed;
  LARGE_INTEGER size{};
  if (!::GetFileSizeEx(file.get(), &size)) return MapResult::kOpenFailed;
  if (internal::TakeFault(Fault::kMap) || size.QuadPart <= 0) return MapResult::kMapFailed;
  // The view keeps the mapping alive once both handles are closed.
  Handle mapping(::CreateFileMappingW(file.get(), nullptr, PAGE_READONLY, 0, 0, nullptr));
  if (!mapping.valid()) return MapResult::kMapFailed;
  void* data = ::MapViewOfFile(mapping.get(), FILE_MAP_READ, 0, 0, 0);
  if (data == nullptr) return MapResult::kMapFailed;
  view = MappedMemory(static_cast<std::uint8_t*>(data), static_cast<std::uint64_t>(size.QuadPart),
                      false);
  return MapResult::kOk;
}

// Large pages need a privilege the operator's account lacks: `use` is moot.
// Committed memory backed by the paging file, private to this process. Not a
// page-file section: some hosts keep such a section in a file on disk, and
// the first touch of its pages then waits for the disk.
MappedMemory AllocateRegion(std::uint64_t size, RegionUse /*use*/) {
  if (size == 0 || internal::TakeFault(Fault::kRegion)) return {};
  void* data = ::VirtualAlloc(nullptr, size, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
  if (data == nullptr) return {};
  return MappedMemory(static_cast<std::uint8_t*>(data), size, true);
}

namespace {

WriteResult WriteAll(const Handle& file, const void* data, std::uint64_t size) {
  if (internal::TakeFault(Fault::kShortWrite)) return WriteResult::kShortWrite;
  const auto* bytes = static_cast<const std::uint8_t*>(data);
  std::uint64_t done = 0;
  while (done < size) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::uint64_t>(size - done, 1u << 30));
    DWORD written = 0;
    if (!::WriteFile(file.get(), bytes + done, chunk, &written, nullptr) || written == 0) {
      return WriteResult::kShortWrite;
    }
    done += written;
  }
  if (!::FlushFileBuffers(file.get())) return WriteResult::kShortWrite;
  return WriteResult::kOk;
}

}  // namespace


WriteResult WriteTempFile(const std::filesystem::path& path, const void* data, std::uint64_t size) {
  if (internal::TakeFault(Fault::kCreate)) return WriteResult::kCreateFailed;
  Handle file(::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_HIDDEN, nullptr));
  if (!file.valid()) {
    const DWORD error = ::GetLastError();
    return error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS ? WriteResult::kNameTaken
                                                                       : WriteResult::kCreateFailed;
  }
  return WriteAll(file, data, size);
}

// Windows refuses to replace a file that another process maps or holds open
// without delete sharing (Wine: error 5 for a mapped one).
MoveResult MoveTempFileOver(const std::filesystem::path& from, const std::filesystem::path& to) {
  if (internal::TakeFault(Fault::kReplace)) return MoveResult::kFailed;
  if (internal::TakeFault(Fault::kHeld)) return MoveResult::kHeld;
  // The move keeps the attributes: the new file must not stay hidden.
  if (!::SetFileAttributesW(from.c_str(), FILE_ATTRIBUTE_NORMAL)) return MoveResult::kFailed;
  if (::MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    return MoveResult::kOk;
  }
  const DWORD error = ::GetLastError();
  return error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED || error == ERROR_LOCK_VIOLATION
             ? MoveResult::kHeld
             : MoveResult::kFailed;
}

bool PathExists(const std::filesystem::path& path) {
  WIN32_FIND_DATAW found{};
  HANDLE search = ::FindFirstFileW(path.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return false;
  ::FindClose(search);
  return true;
}

bool RegularFileExists(const std::filesystem::path& path) {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES &&
         (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) == 0;
}

std::vector<std::filesystem::path> ListFolder(const std::filesystem::path& folder) {
  std::vector<std::filesystem::path> names;
  WIN32_FIND_DATAW found{};
  // Every entry: the callers judge the full names, which a pattern such as
  // "*.lng" would not do (it matches the short name X~1.LNG of x.lngold too).
  HANDLE search = ::FindFirstFileExW((folder / L"*").c_str(), FindExInfoBasic, &found, FindExSearchNameMatch,
                                     nullptr, 0);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    const std::wstring name = found.cFileName;
    if (name != L"." && name != L"..") names.emplace_back(name);
  } while (::FindNextFileW(search, &found));
  ::FindClose(search);
  return names;
}

bool RemoveFile(const std::filesystem::path& path) {
  if (internal::TakeFault(Fault::kRemove)) return false;
  return ::DeleteFileW(path.c_str()) != 0;
}

LockResult TryLockFile(const std::filesystem::path& path, FileLock& lock) {
  constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
  HANDLE opened = internal::TakeFault(Fault::kCreate)
                      ? INVALID_HANDLE_VALUE
                      : ::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, kShareAll, nullptr, OPEN_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
  // A read-only folder may still hold the file: reading is enough to lock.
  if (opened == INVALID_HANDLE_VALUE) {
    opened = ::CreateFileW(path.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
  }
  Handle file(opened);
  if (!file.valid()) return LockResult::kUnavailable;
  OVERLAPPED at{};
  if (!::LockFileEx(file.get(), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at)) {
    return ::GetLastError() == ERROR_LOCK_VIOLATION ? LockResult::kBusy : LockResult::kUnavailable;
  }
  lock.Release();
  lock.handle_ = reinterpret_cast<std::intptr_t>(file.release());
  return LockResult::kLocked;
}

std::uint32_t ProcessId() { return ::GetCurrentProcessId(); }

std::string LocalDateTimeText() {
  wchar_t date[128] = {};
  wchar_t time[128] = {};
  ::GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, nullptr, nullptr, date, 128);
  ::GetTimeFormatW(LOCALE_USER_DEFAULT, 0, nullptr, nullptr, time, 128);
  const std::wstring both = std::wstring(date) + L" " + time;
  char text[512] = {};
  const int length = ::WideCharToMultiByte(1251, 0, both.c_str(), static_cast<int>(both.size()),
                                           text, sizeof text, "?", nullptr);
  return std::string(text, length > 0 ? static_cast<std::size_t>(length) : 0u);
}

std::filesystem::path ExecutableFolder() {
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length < buffer.size()) {
      buffer.resize(length);
      break;
    }
    buffer.resize(buffer.size() * 2);
  }
  return std::filesystem::path(buffer).parent_path();
}

std::uint32_t TickCount() { return ::GetTickCount(); }

}  // namespace olvendrix::platform
