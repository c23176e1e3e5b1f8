#include "dbf_writer.h"

#include <fstream>
#include <stdexcept>

namespace olvendrix::demo {
namespace {

void Put16(std::string& s, std::size_t at, std::uint32_t v) {
  s[at] = static_cast<char>(v & 0xFF);
  s[at + 1] = static_cast<char>((v >> 8) & 0xFF);
}

void Put32(std::string& s, std::size_t at, std::uint32_t v) {
  Put16(s, at, v & 0xFFFF);
  Put16(s, at + 2, v >> 16);
}

}  // namespace

TDbfTableWriter::TDbfTableWriter(std::vector<TDbfColumn> columns) : columns_(std::move(columns)) {
  for (const TDbfColumn& column : columns_) record_length_ += column.Width;
}

void TDbfTableWriter::AddRecord(const std::vector<std::string>& values, bool deleted) {
  records_ += deleted ? '*' : ' ';
  for (std::size_t i = 0; i < columns_.size(); ++i) {
    std::string value = i < values.size() ? values[i] : std::string();
    value.resize(columns_[i].Width, ' ');
    records_ += value;
  }
  ++record_count_;
}

std::string TDbfTableWriter::Image() const {
  const std::uint32_t header_length = 32 + 32 * static_cast<std::uint32_t>(columns_.size()) + 1;
  std::string image(header_length, '\0');
  image[0] = 0x03;
  image[1] = 126;  // last update: 2026-12-08
  image[2] = 12;
  image[3] = 8;
  Put32(image, 4, record_count_);
  Put16(image, 8, header_length);
  Put16(image, 10, record_length_);
  image[29] = static_cast<char>(0xC9);
  for (std::size_t i = 0; i < columns_.size(); ++i) {
    const std::size_t at = 32 + 32 * i;
    image.replace(at, std::min<std::size_t>(columns_[i].Name.size(), 11), columns_[i].Name, 0, 11);
    image[at + 11] = columns_[i].Type;
    image[at + 16] = static_cast<char>(columns_[i].Width);
  }
  image[header_length - 1] = 0x0D;
  image += records_;
  image += static_cast<char>(0x1A);
  return image;
}

void TDbfTableWriter::SaveTo(const std::filesystem::path& path) const { WriteBytes(path, Image()); }

void WriteBytes(const std::filesystem::path& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path.u8string());
}

}  // namespace olvendrix::demo
