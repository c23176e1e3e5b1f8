#include "engine/file_helpers.h"

#include "engine/cp1251.h"
#include "engine/errors.h"
#include "engine/format.h"

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

void SaveMemoryToFile(const std::filesystem::path& path, const void* data, std::uint64_t size) {
  switch (platform::WriteNewFile(path, data, size)) {
    case platform::WriteResult::kOk:
      return;
    case platform::WriteResult::kCreateFailed:
      throw Exception("Error create file in save proc!");
    case platform::WriteResult::kShortWrite:
      break;
  }
  throw Exception("Error save data to file!");
}

void SaveThroughTempFile(const std::filesystem::path& path, const void* data, std::uint64_t size) {
  std::filesystem::path temp = path;
  temp += ".tmp";
  SaveMemoryToFile(temp, data, size);
  if (!platform::MoveReplacing(temp, path)) {
    throw Exception(Format("Error replace file: %s in save procedure!", {PathMessageText(path)}));
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
