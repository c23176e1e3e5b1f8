// TDbfReader: a dBASE table or the binary store, mapped whole and read in place.
//
// The reader owns its mapped image and its field descriptors. It is loaded
// once, may be converted to the binary store (ConvertToBin) and saved, and is
// then only read: by the sort orders, the search and the result list, never
// while a preparation job still works on it. No locking: one writer (the
// preparation job) before any reader. Errors raise EDBFReaderError with the
// program's Ukrainian texts (Windows-1251) or the general Exception from the
// file helpers.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"

namespace olvendrix {

// One field descriptor as parsed from the header.
struct TFieldDesc {
  std::string Name;          // up to 10 characters
  std::uint8_t Width = 0;    // bytes in this image (the store's include the zero)
  std::uint16_t Offset = 0;  // running sum of the previous widths
  char FieldType = 0;        // 'C' for a character field
};

using TFieldsList = std::vector<TFieldDesc>;

// The most records a table or store may hold: record numbers, ranks and result
// positions are signed 32-bit. A header with more is refused as damaged.
constexpr std::uint32_t kMaxRecordCount = 0x7FFFFFFF;

// The format version that the binary store carries in header bytes 12..13.
constexpr std::uint16_t kStoreFormatVersion = 2;

class TDbfReader {
 public:
  TDbfReader() = default;
  TDbfReader(const TDbfReader&) = delete;
  TDbfReader& operator=(const TDbfReader&) = delete;
  virtual ~TDbfReader() { Close(); }

  // Releases the image; the parsed header values stay as they were.
  virtual void Close();
  // Maps the file (closing any image held before) and parses its header.
  // The header is checked against the image's size before any descriptor or
  // record is read: a short or inconsistent image raises "Файл бази
  // пошкоджений або має нестандартний заголовок.". After a failure the image
  // stays held until Close. A record count above kMaxRecordCount is refused
  // with the same text.
  virtual void LoadFromFile(const std::filesystem::path& path);
  // Writes the whole image to `path` through a ".tmp" file replaced in one step.
  // Raises "no data loaded" when no image is held.
  virtual void SaveToFile(const std::filesystem::path& path) const;

  // Address of field `FieldIndex` of record `RecordIndex`; the field index must
  // be below FieldCount (callers guarantee it). Raises "Error RecordIndex
  // addr! :%x " for a record index not below RecordCount.
  const std::uint8_t* GetFieldAddr(std::uint32_t RecordIndex, std::uint8_t FieldIndex) const;

  // Checks the table's shape: at least five fields, all of type C, house and
  // apartment no wider than 7 characters. Raises "Помилка: %s !" texts.
  void Validate() const;

  // Turns the loaded dBASE image into the binary store in a new region: each
  // field followed by a zero byte, no deletion flags. Raises
  // EDBFConverterError "data already has BIN format!" for an image with a
  // format version, EDBFReaderError for inconsistent widths, the general
  // "Error map file in SWAP in load procedure!" when the region fails. On
  // failure the reader still holds the table's image, unchanged. Raises "no
  // data loaded" when no image is held.
  void ConvertToBin();

  bool Loaded() const { return static_cast<bool>(image_); }
  const std::uint8_t* Data() const { return image_.Data(); }
  std::uint64_t Size() const { return image_.Size(); }
  const std::uint8_t* FirstRecord() const { return first_record_; }
  std::uint32_t RecordCount() const { return record_count_; }
  std::uint16_t RecordLength() const { return record_length_; }
  std::uint16_t FieldCount() const { return field_count_; }
  const TFieldsList& Fields() const { return fields_; }
  std::uint16_t HeaderLength() const { return header_length_; }
  std::uint16_t FormatVersion() const { return format_version_; }

  // Address of record `RecordIndex` of the store, unchecked (the caller keeps
  // it below RecordCount).
  const std::uint8_t* RecordAddr(std::uint32_t RecordIndex) const {
    return first_record_ + static_cast<std::uint64_t>(RecordIndex) * record_length_;
  }
  // The text of a field of the store at `record`: up to its zero byte, never
  // longer than the field's width less the terminator, so a damaged store
  // cannot lead a reader past its record. `FieldIndex` is below FieldCount,
  // which may exceed 255.
  std::string_view FieldText(const std::uint8_t* record, std::uint16_t FieldIndex) const;

 private:
  void ParseHeader();
  // Raises "no data loaded" when no image is held.
  void RequireImage() const;

  platform::MappedMemory image_;
  const std::uint8_t* first_record_ = nullptr;
  std::uint32_t record_count_ = 0;
  std::uint16_t record_length_ = 0;
  std::uint16_t field_count_ = 0;
  TFieldsList fields_;
  std::uint16_t header_length_ = 0;
  std::uint16_t format_version_ = 0;
};

// The message of a damaged or non-standard header.
std::string DamagedHeaderText();

}  // namespace olvendrix
