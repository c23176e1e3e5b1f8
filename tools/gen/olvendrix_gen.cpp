// olvendrix-gen: writes a demo subscriber table (dBASE III, Windows-1251).
#include <cstdlib>
#include <iostream>
#include <string>

#include "demo_table.h"

namespace {

int Usage(std::ostream& out, int status) {
  out << "usage: olvendrix-gen [--records N] [--seed S] [--extra-columns K] [--out FILE]\n"
         "Writes a demo subscriber table (default 100000 records to Data.dbf).\n";
  return status;
}

bool ParseNumber(const char* text, unsigned long long& value) {
  char* end = nullptr;
  value = std::strtoull(text, &end, 10);
  return end != text && *end == '\0';
}

}  // namespace

int main(int argc, char** argv) {
  olvendrix::demo::TDemoOptions options;
  std::string out = "Data.dbf";
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--help") return Usage(std::cout, 0);
    if (i + 1 >= argc) return Usage(std::cerr, 2);
    unsigned long long number = 0;
    const char* value = argv[++i];
    if (arg == "--out") {
      out = value;
    } else if (!ParseNumber(value, number)) {
      return Usage(std::cerr, 2);
    } else if (arg == "--records" && number <= 50000000) {
      options.Records = static_cast<std::uint32_t>(number);
    } else if (arg == "--seed") {
      options.Seed = number;
    } else if (arg == "--extra-columns" && number <= 1000) {
      options.ExtraColumns = static_cast<int>(number);
    } else {
      return Usage(std::cerr, 2);
    }
  }
  try {
    olvendrix::demo::MakeDemoTable(options).SaveTo(out);
  } catch (const std::exception& e) {
    std::cerr << "olvendrix-gen: " << e.what() << "\n";
    return 1;
  }
  return 0;
}
