// TDBFConverter: the reader the program uses for both the dBASE table and the
// binary store; loading also checks the table's shape.
#pragma once

#include "dbf_reader.h"

namespace olvendrix {

class TDBFConverter : public TDbfReader {
 public:
  // Maps and parses the file, then Validate. Raises as those do.
  void LoadFromFile(const std::filesystem::path& path) override;
};

}  // namespace olvendrix
