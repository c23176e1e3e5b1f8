// Writes dBASE III tables the way common dBASE writers do: version byte 0x03,
// the Windows-1251 language driver 0xC9, header terminator 0x0D, blank-padded
// character fields and a trailing end-of-file byte 0x1A. Used by the demo
// generator, the tests and the benchmarks.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace olvendrix::demo {

struct TDbfColumn {
  std::string Name;  // up to 10 characters (11 are kept if given)
  std::uint8_t Width = 0;
  char Type = 'C';
};

class TDbfTableWriter {
 public:
  explicit TDbfTableWriter(std::vector<TDbfColumn> columns);

  // Appends one record; values are Windows-1251 bytes, blank-padded or cut to
  // their column's width. Missing values are blank.
  void AddRecord(const std::vector<std::string>& values, bool deleted = false);

  // The whole table file.
  std::string Image() const;
  void SaveTo(const std::filesystem::path& path) const;

  std::uint32_t RecordCount() const { return record_count_; }

 private:
  std::vector<TDbfColumn> columns_;
  std::uint32_t record_length_ = 1;
  std::uint32_t record_count_ = 0;
  std::string records_;
};

// Writes bytes to a file, replacing it; raises std::runtime_error on failure.
void WriteBytes(const std::filesystem::path& path, std::string_view bytes);

}  // namespace olvendrix::demo
