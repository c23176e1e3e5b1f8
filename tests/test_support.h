// Helpers shared by the test suites.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "dbf_converter.h"
#include "errors.h"
#include "index_list.h"
#include "search_list.h"
#include "dbf_writer.h"

namespace olvendrix::testing {

// A fresh folder under the system's temporary folder, removed with its content.
class TempFolder {
 public:
  TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  ~TempFolder();
  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

std::string ReadBytes(const std::filesystem::path& path);

// The five standard columns (widths 7, 40, 30, 7, 7) with rows given in UTF-8.
demo::TDbfTableWriter StandardTable(const std::vector<std::vector<std::string>>& utf8_rows);

// A converted store with its three orders built as preparation builds them,
// saved to the folder and loaded back as a later start loads them, and a
// search list wired to both (storage allocated, defaults otherwise).
class TPreparedStore {
 public:
  TPreparedStore(const TempFolder& folder, const demo::TDbfTableWriter& table);
  TDBFConverter Store;
  TIndexList Lists[3];
  TSearchList Search;
};

// Builds the three orders of a converted store into `lists`.
void BuildOrders(const TDBFConverter& store, TIndexList (&lists)[3]);

// The message of the exception of class E that `action` raises; a test
// failure when it raises nothing or another class.
template <typename E, typename F>
std::string MessageOf(F&& action) {
  try {
    action();
  } catch (const E& e) {
    return e.Message();
  } catch (const std::exception& e) {
    ADD_FAILURE() << "unexpected exception: " << e.what();
    return {};
  }
  ADD_FAILURE() << "no exception";
  return {};
}

}  // namespace olvendrix::testing
