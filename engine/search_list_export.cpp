// The results as text: one line per subscriber, and the saved result file.
#include "search_list.h"

#include <algorithm>

#include "cp1251.h"
#include "errors.h"
#include "file_helpers.h"
#include "format.h"

namespace olvendrix {

char* TSearchList::WriteLine(const std::uint8_t* record, char* out) const {
  for (std::uint16_t f = 0; f < Reader->FieldCount(); ++f) {
    const std::string_view text = TrimTrailingBlanks(Reader->FieldText(record, f));
    out = std::copy(text.begin(), text.end(), out);
    *out++ = ' ';
  }
  *out++ = '\r';
  *out++ = '\n';
  return out;
}

std::string TSearchList::GetLine(std::int32_t position) const {
  const std::uint8_t* record = GetRecAddr(position);
  std::string line(static_cast<std::size_t>(Reader->RecordLength()) + 2, '\0');
  line.resize(static_cast<std::size_t>(WriteLine(record, line.data()) - line.data()));
  return line;
}

void TSearchList::SaveToFile(const std::filesystem::path& path) const {
  const std::string heading = ResultHeading();
  const std::uint64_t line_room = Reader != nullptr ? Reader->RecordLength() + 2u : 0u;
  const std::uint64_t room = heading.size() + static_cast<std::uint64_t>(count_) * line_room;
  platform::MappedMemory buffer = AllocateWorkRegion(room);
  char* start = reinterpret_cast<char*>(buffer.Data());
  char* out = std::copy(heading.begin(), heading.end(), start);
  for (std::int32_t position = 0; position < count_; ++position) {
    out = WriteLine(GetRecAddr(position), out);
  }
  SaveThroughTempFile(path, start, static_cast<std::uint64_t>(out - start));
}

std::string ResultHeading() {
  return Format("Olvendrix v.%s   %s", {kProgramVersion, platform::LocalDateTimeText()}) + "\r\n";
}

}  // namespace olvendrix
