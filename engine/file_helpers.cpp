#include "file_helpers.h"

#include <atomic>
#include <chrono>
#include <thread>

#include "cp1251.h"
#include "errors.h"
#include "format.h"

namespace olvendrix {

std::string PathText1251(const std::filesystem::path& path) {
  const auto utf8 = path.u8string();
  return Utf8ToCp1251(std::string(utf8.begin(), utf8.end()));
}

std::string PathMessageText(const std::filesystem::path& path) {
  return UpperCase1251(PathText1251(path));
}

platform::MappedMemory MapFileToMemory(const std::filesystem::path& path) {
  platform::MappedMemory view;
  switch (platform::MapFileReadOnly(path, view)) {
    case platform::MapResult::kOk:
      return view;
    case platform::MapResult::kOpenFailed:
      throw Exception(Format("Error find file: %s in load procedure!", {PathMessageText(path)}));
    case platform::MapResult::kMapFailed:
      break;
  }
  throw Exception(Format("Error map file: %s in memory in load procedure!", {PathMessageText(path)}));
}

platform::MappedMemory AllocateWorkRegion(std::uint64_t size, platform::RegionUse use) {
  platform::MappedMemory region = platform::AllocateRegion(size, use);
  if (!region) throw Exception("Error map file in SWAP in allocate procedure!");
  return region;
}

namespace {
// The smallest page of the systems served.
constexpr std::uint64_t kPageBytes = 4096;
}  // namespace

void FaultInForReading(const std::uint8_t* data, std::uint64_t size) {
  std::uint8_t sum = 0;
  for (std::uint64_t at = 0; at < size; at += kPageBytes) sum ^= data[at];
  // Kept, so that the reads are made.
  asm volatile("" : : "r"(sum));
}

void FaultInForWriting(std::uint8_t* data, std::uint64_t size) {
  for (std::uint64_t at = 0; at < size; at += kPageBytes) {
    volatile std::uint8_t* byte = data + at;
    *byte = *byte;
  }
}

namespace {

[[noreturn]] void RaiseWriteFailure(platform::WriteResult result) {
  if (result == platform::WriteResult::kShortWrite) throw Exception("Error save data to file!");
  throw Exception("Error create file in save proc!");
}

// The name of the temporary files of `path` begins so, then come the process
// and the call number, and ".tmp": no user would give a file such a name.
std::filesystem::path TempNamePrefix(const std::filesystem::path& path) {
  std::filesystem::path prefix = ".";
  prefix += path.filename();
  prefix += ".";
  return prefix;
}

// A name beside `path`, different for every process and every call: writers
// of one file never meet on it.
std::filesystem::path TempNameBeside(const std::filesystem::path& path) {
  static std::atomic<std::uint32_t> calls{0};
  std::filesystem::path name = TempNamePrefix(path);
  name += std::to_string(platform::ProcessId()) + "-" + std::to_string(calls++) + ".tmp";
  std::filesystem::path temp = path;
  temp.replace_filename(name);
  return temp;
}

}  // namespace

bool TrySaveThroughTempFile(const std::filesystem::path& path, const void* data, std::uint64_t size) {
  // A name taken by a file left behind by an ended process is passed over.
  constexpr int kNameTries = 100;
  // A settings file that another copy is reading is free again at once.
  constexpr int kMoveTries = 20;
  constexpr auto kMovePause = std::chrono::milliseconds(50);

  std::filesystem::path temp;
  platform::WriteResult written = platform::WriteResult::kNameTaken;
  for (int i = 0; i < kNameTries && written == platform::WriteResult::kNameTaken; ++i) {
    temp = TempNameBeside(path);
    written = platform::WriteTempFile(temp, data, size);
  }
  if (written == platform::WriteResult::kShortWrite) platform::RemoveFile(temp);
  if (written != platform::WriteResult::kOk) RaiseWriteFailure(written);

  platform::MoveResult moved = platform::MoveTempFileOver(temp, path);
  for (int i = 1; i < kMoveTries && moved == platform::MoveResult::kHeld; ++i) {
    std::this_thread::sleep_for(kMovePause);
    moved = platform::MoveTempFileOver(temp, path);
  }
  if (moved == platform::MoveResult::kOk) return true;
  platform::RemoveFile(temp);
  return false;
}

void SaveThroughTempFile(const std::filesystem::path& path, const void* data, std::uint64_t size) {
  if (!TrySaveThroughTempFile(path, data, size)) {
    throw Exception(Format("Error replace file: %s in save procedure!", {PathMessageText(path)}));
  }
}

void RemoveLeftTempFiles(const std::vector<std::filesystem::path>& paths) {
  if (paths.empty()) return;
  // Compared in the system's own form: no name can fail a conversion.
  const auto suffix = std::filesystem::path(".tmp").native();
  std::vector<std::filesystem::path::string_type> prefixes;
  for (const auto& path : paths) prefixes.push_back(TempNamePrefix(path).native());
  std::filesystem::path folder = paths.front().parent_path();
  if (folder.empty()) folder = ".";
  for (const std::filesystem::path& entry : platform::ListFolder(folder)) {
    const auto& name = entry.native();
    const bool temp = name.size() > suffix.size() && name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0;
    for (const auto& prefix : prefixes) {
      if (temp && name.size() > prefix.size() + suffix.size() && name.compare(0, prefix.size(), prefix) == 0) {
        platform::RemoveFile(folder / entry);
      }
    }
  }
}

bool FileFound(const std::filesystem::path& path) { return platform::PathExists(path); }

std::string StripExtension(const std::string& name) {
  const auto dot = name.rfind('.');
  return dot == std::string::npos ? name : name.substr(0, dot);
}

std::string BytesToDigits(const TMatchModes& modes) {
  std::string digits;
  for (TMatchMode mode : modes) digits += std::to_string(static_cast<int>(mode))[0];
  return digits;
}

bool DigitsToBytes(std::string_view digits, TMatchModes& modes) {
  for (std::size_t i = 0; i < modes.size(); ++i) {
    if (i >= digits.size() || digits[i] < '0' || digits[i] > '9') return false;
    modes[i] = static_cast<TMatchMode>(digits[i] - '0');
  }
  return true;
}

}  // namespace olvendrix
