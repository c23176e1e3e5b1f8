// Loading with the shape check, and the conversion of a dBASE image into the
// binary store.
#include "dbf_converter.h"

#include <cstring>

#include "errors.h"

namespace olvendrix {
namespace {

void Write16(std::uint8_t* p, std::uint16_t value) {
  p[0] = static_cast<std::uint8_t>(value & 0xFF);
  p[1] = static_cast<std::uint8_t>(value >> 8);
}

constexpr std::size_t kWidthByte = 16;

}  // namespace

void TDBFConverter::LoadFromFile(const std::filesystem::path& path) {
  TDbfReader::LoadFromFile(path);
  Validate();
}

void TDbfReader::ConvertToBin() {
  RequireImage();
  if (format_version_ != 0) throw EDBFConverterError("data already has BIN format!");
  std::uint32_t width_sum = 0;
  for (const TFieldDesc& field : fields_) {
    // A 255-wide field would need a width byte of 256 in the store.
    if (field.Width == 255) throw EDBFReaderError(DamagedHeaderText());
    width_sum += field.Width;
  }
  const std::uint32_t store_record_length = static_cast<std::uint32_t>(record_length_) - 1u + field_count_;
  if (record_length_ != width_sum + 1 || store_record_length > 0xFFFF) {
    throw EDBFReaderError(DamagedHeaderText());
  }
  const std::uint64_t store_size =
      static_cast<std::uint64_t>(record_count_) * store_record_length + header_length_;
  platform::MappedMemory store = platform::AllocateRegion(store_size);
  if (!store) throw Exception("Error map file in SWAP in load procedure!");

  std::uint8_t* target = store.Data();
  std::memcpy(target, image_.Data(), header_length_);
  Write16(target + 10, static_cast<std::uint16_t>(store_record_length));
  Write16(target + 12, kStoreFormatVersion);
  for (std::uint16_t i = 0; i < field_count_; ++i) ++target[32 + 32 * i + kWidthByte];

  const std::uint8_t* source = first_record_;
  target += header_length_;
  for (std::uint32_t r = 0; r < record_count_; ++r) {
    const std::uint8_t* field_bytes = source + 1;  // past the deletion flag
    for (const TFieldDesc& field : fields_) {
      std::memcpy(target, field_bytes, field.Width);
      target[field.Width] = 0;
      target += field.Width + 1;
      field_bytes += field.Width;
    }
    source += record_length_;
  }

  image_ = std::move(store);  // unmaps the table's view
  ParseHeader();
}

}  // namespace olvendrix
