// The engine's one seam to the operating system: whole-file read-only views,
// anonymous zero-filled regions, writing, replacing and finding files, file
// locks between processes, and the millisecond tick counter.
// platform_win32.cpp and platform_posix.cpp implement it; nothing else in the
// engine includes a system header.
//
// The functions report failure by their result and never throw: the callers
// turn a failure into the program's own message. They are safe to call from
// any thread. Paths are taken as given (UTF-16 on Windows, bytes on POSIX).
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace olvendrix::platform {

// A mapped block of memory, released on destruction. Either a read-only view
// of a whole file or a zero-filled read-write region backed by the paging
// file / anonymous memory. Move-only; an empty object holds nothing.
class MappedMemory {
 public:
  MappedMemory() = default;
  // Adopts a mapping made by the platform file; `writable` tells a region
  // from a read-only file view.
  MappedMemory(std::uint8_t* data, std::uint64_t size, bool writable)
      : data_(data), size_(size), writable_(writable) {}
  MappedMemory(MappedMemory&& other) noexcept { *this = std::move(other); }
  MappedMemory& operator=(MappedMemory&& other) noexcept;
  MappedMemory(const MappedMemory&) = delete;
  MappedMemory& operator=(const MappedMemory&) = delete;
  ~MappedMemory() { Reset(); }

  std::uint8_t* Data() const { return data_; }
  std::uint64_t Size() const { return size_; }
  bool Writable() const { return writable_; }
  explicit operator bool() const { return data_ != nullptr; }
  // Unmaps the block, if any.
  void Reset();

 private:
  std::uint8_t* data_ = nullptr;
  std::uint64_t size_ = 0;
  bool writable_ = false;
};

enum class MapResult { kOk, kOpenFailed, kMapFailed };
// Maps the whole existing file read-only, hinting sequential access. An empty
// file cannot be mapped (kMapFailed), as on Windows.
MapResult MapFileReadOnly(const std::filesystem::path& path, MappedMemory& view);

// How a region's pages will be touched. kDense regions are written from
// their start, so large pages, where the system gives them unasked, save a
// fault for every small page; kSparse ones are touched here and there, and
// a large page would be cleared for a few bytes.
enum class RegionUse { kDense, kSparse };
// A zero-filled read-write region of `size` bytes (size > 0); empty on failure.
MappedMemory AllocateRegion(std::uint64_t size, RegionUse use = RegionUse::kDense);

enum class WriteResult { kOk, kCreateFailed, kShortWrite, kNameTaken };
// Creates a temporary file, writes all bytes and flushes them to disk, so
// that a later replace never leaves only unwritten data behind. The file is
// created only when no entry has that name (kNameTaken otherwise), so that it
// never overwrites anyone's file, and hidden on Windows (a POSIX caller gives
// it a name with a leading dot). A failure after the creation leaves the file
// for the caller to remove.
WriteResult WriteTempFile(const std::filesystem::path& path, const void* data, std::uint64_t size);

enum class MoveResult { kOk, kHeld, kFailed };
// Moves the temporary file `from` (made by WriteTempFile, in the folder of
// `to`) over `to` in one step, replacing `to`, and makes it visible; written
// through to disk before it returns. kHeld when another process holds `to`
// open or mapped, which may pass; kFailed for any other refusal. On failure
// `to` is left as it was and `from` still exists.
MoveResult MoveTempFileOver(const std::filesystem::path& from, const std::filesystem::path& to);

// True when a directory entry of any kind (file or folder) has this path.
bool PathExists(const std::filesystem::path& path);

// True when `path` names an existing ordinary file, the name taken
// literally (no wildcards); false for a folder or a device.
bool RegularFileExists(const std::filesystem::path& path);

// The names of the entries of `folder` (files and folders, without "." and
// ".."), in the order the system lists them, by their full names only;
// empty when the folder cannot be listed.
std::vector<std::filesystem::path> ListFolder(const std::filesystem::path& folder);

// Deletes a file; false when it could not be deleted. Under Wine a file that
// another process maps is reported deleted but stays until that process ends.
bool RemoveFile(const std::filesystem::path& path);

enum class LockResult { kLocked, kBusy, kUnavailable };

// An exclusive lock on a file: while it is held, no other FileLock of this
// or any other process of the same system can take it. The system drops it
// when the process ends, however it ends. Move-only; released on destruction.
class FileLock {
 public:
  FileLock() = default;
  FileLock(FileLock&& other) noexcept { *this = std::move(other); }
  FileLock& operator=(FileLock&& other) noexcept;
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;
  ~FileLock() { Release(); }

  explicit operator bool() const { return handle_ != kNone; }
  void Release();

 private:
  friend LockResult TryLockFile(const std::filesystem::path& path, FileLock& lock);
  static constexpr std::intptr_t kNone = -1;
  std::intptr_t handle_ = kNone;  // a HANDLE on Windows, a descriptor on POSIX
};

// Opens the file at `path`, creating it when missing, and takes its lock
// without waiting: kLocked (then `lock` holds it), kBusy when another holder
// has it, kUnavailable when the file can neither be created nor opened (a
// read-only folder without it). The lock guards nothing in the file itself,
// which stays empty, and never locks a data file: Windows byte-range locks
// are mandatory for every reader.
LockResult TryLockFile(const std::filesystem::path& path, FileLock& lock);

// This process's identifier.
std::uint32_t ProcessId();

// The current local date and time in the user's short date and long time
// format, as Windows-1251 text.
std::string LocalDateTimeText();

// The folder of the running executable.
std::filesystem::path ExecutableFolder();

// Milliseconds of a monotonic counter, wrapping at 2^32 like the system's.
std::uint32_t TickCount();

// Fault injection for tests: the next `count` calls of the operation fail as
// if the system had refused them. Not for production code.
namespace testing {
// kReplace refuses a move outright, kHeld as held by another process;
// kRemove refuses a deletion as Windows does for a file another process maps.
enum class Fault { kOpen, kMap, kRegion, kCreate, kShortWrite, kReplace, kHeld, kRemove, kCount };
void InjectFault(Fault fault, int count = 1);
void ClearFaults();
}  // namespace testing

namespace internal {
// Consumes one injected failure of `fault`; true when the call must fail.
bool TakeFault(testing::Fault fault);
void Unmap(std::uint8_t* data, std::uint64_t size, bool writable);
void Unlock(std::intptr_t handle);
}  // namespace internal

}  // namespace olvendrix::platform
