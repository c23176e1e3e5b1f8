#include "dbf_reader.h"

#include <cstring>

#include "cp1251.h"
#include "errors.h"
#include "file_helpers.h"
#include "format.h"

namespace olvendrix {
namespace {

constexpr std::uint64_t kHeaderPrefix = 32;
constexpr std::uint64_t kDescriptorSize = 32;

std::uint16_t Read16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
std::uint32_t Read32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

[[noreturn]] void RaiseShape(std::string_view utf8_text) {
  throw EDBFReaderError(Format(W1251("Помилка: %s !"), {W1251(utf8_text)}));
}

}  // namespace

std::string DamagedHeaderText() {
  return W1251("Файл бази пошкоджений або має нестандартний заголовок.");
}

void TDbfReader::Close() { image_.Reset(); }

void TDbfReader::LoadFromFile(const std::filesystem::path& path) {
  Close();
  image_ = MapFileToMemory(path);
  ParseHeader();
}

void TDbfReader::SaveToFile(const std::filesystem::path& path) const {
  RequireImage();
  SaveThroughTempFile(path, Data(), Size());
}

void TDbfReader::RequireImage() const {
  if (!Loaded()) throw EDBFReaderError("no data loaded");
}

void TDbfReader::ParseHeader() {
  const std::uint8_t* data = image_.Data();
  const std::uint64_t size = image_.Size();
  if (size < kHeaderPrefix) throw EDBFReaderError(DamagedHeaderText());
  format_version_ = Read16(data + 12);
  record_count_ = Read32(data + 4);
  header_length_ = Read16(data + 8);
  if (header_length_ < kHeaderPrefix + 1 || (header_length_ - 1) % kDescriptorSize != 0) {
    throw EDBFReaderError(DamagedHeaderText());
  }
  record_length_ = Read16(data + 10);
  // Record numbers, ranks and result positions are signed 32-bit.
  if (record_count_ > kMaxRecordCount) throw EDBFReaderError(DamagedHeaderText());
  // 64-bit: a record count near 2^32 must not wrap the check.
  if (size < static_cast<std::uint64_t>(header_length_) +
                 static_cast<std::uint64_t>(record_count_) * record_length_) {
    throw EDBFReaderError(DamagedHeaderText());
  }
  field_count_ = static_cast<std::uint16_t>((header_length_ - 33) / 32);
  fields_.assign(field_count_, TFieldDesc{});
  std::uint32_t width_sum = 0;
  bool zero_width = false;
  for (std::uint16_t i = 0; i < field_count_; ++i) {
    const std::uint8_t* descriptor = data + kHeaderPrefix + kDescriptorSize * i;
    TFieldDesc& field = fields_[i];
    const auto* name = reinterpret_cast<const char*>(descriptor);
    field.Name.assign(name, strnlen(name, 10));
    field.Width = descriptor[16];
    field.FieldType = static_cast<char>(descriptor[11]);
    field.Offset = i == 0 ? 0
                          : static_cast<std::uint16_t>(fields_[i - 1].Offset + fields_[i - 1].Width);
    width_sum += field.Width;
    zero_width = zero_width || field.Width == 0;
  }
  // A store is read by field offsets: its fields must lie inside the record
  // and each hold at least its terminator.
  if (format_version_ != 0 && (width_sum > record_length_ || zero_width)) {
    throw EDBFReaderError(DamagedHeaderText());
  }
  first_record_ = data + header_length_;
}

const std::uint8_t* TDbfReader::GetFieldAddr(std::uint32_t RecordIndex,
                                             std::uint8_t FieldIndex) const {
  if (RecordIndex >= record_count_) {
    throw EDBFReaderError("Error RecordIndex addr!" + Format(" :%x ", {RecordIndex}));
  }
  return RecordAddr(RecordIndex) + fields_[FieldIndex].Offset;
}

std::string_view TDbfReader::FieldText(const std::uint8_t* record, std::uint16_t FieldIndex) const {
  const TFieldDesc& field = fields_[FieldIndex];
  const auto* text = reinterpret_cast<const char*>(record + field.Offset);
  const std::size_t limit = field.Width > 0 ? field.Width - 1u : 0u;
  return std::string_view(text, strnlen(text, limit));
}

void TDbfReader::Validate() const {
  if (field_count_ < 5) RaiseShape("База даних повинна мати не менше пяти полей.");
  for (const TFieldDesc& field : fields_) {
    if (field.FieldType != 'C') RaiseShape("Всі поля в базі даних повинні мати строковий тип.");
  }
  // The store's widths count the terminating zero.
  const int terminator = format_version_ == 0 ? 0 : 1;
  if (fields_[3].Width - terminator > 7 || fields_[4].Width - terminator > 7) {
    RaiseShape("4-те і 5-те поля (номер вулиці та квартири) не повинні перевищувати 7 символів.");
  }
}

}  // namespace olvendrix
