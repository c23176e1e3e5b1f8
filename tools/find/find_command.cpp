#include "tools/find/find_command.h"

#include <chrono>
#include <optional>

#include "engine/cp1251.h"
#include "engine/errors.h"
#include "engine/exec_thread.h"
#include "engine/file_helpers.h"
#include "engine/main_thread_queue.h"
#include "engine/platform/platform.h"
#include "mainwindow/database_preparation.h"

namespace olvendrix::find {
namespace {

constexpr const char* kUsage =
    "usage: olvendrix-find [--dir DIR] [--number T] [--name T] [--street T] [--house T]\n"
    "                      [--apartment T] [--modes DDDDD] [--case | --no-case] [--sort 0|1|2]\n"
    "                      [--count] [--heading] [--utf8]\n"
    "Prepares the directory in DIR (default: the folder of this program) as Olvendrix does,\n"
    "then prints the subscribers that match, one line each, as a saved result file holds them.\n";

struct Options {
  std::optional<std::string> dir;
  std::optional<std::string> texts[5];
  std::optional<std::string> modes;
  std::optional<bool> case_sensitive;
  std::optional<int> sort;
  bool count = false;
  bool heading = false;
  bool utf8 = false;
};

// False on an unknown option or a missing value.
bool Parse(const std::vector<std::string>& args, Options& options, bool& help) {
  const char* const kTextOptions[5] = {"--number", "--name", "--street", "--house", "--apartment"};
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const bool has_value = i + 1 < args.size();
    bool matched = false;
    for (int f = 0; f < 5 && !matched; ++f) {
      if (arg != kTextOptions[f]) continue;
      if (!has_value) return false;
      options.texts[f] = args[++i];
      matched = true;
    }
    if (matched) continue;
    if (arg == "--help") {
      help = true;
    } else if (arg == "--dir" && has_value) {
      options.dir = args[++i];
    } else if (arg == "--modes" && has_value) {
      options.modes = args[++i];
    } else if (arg == "--sort" && has_value) {
      const std::string& order = args[++i];
      if (order != "0" && order != "1" && order != "2") return false;
      options.sort = order[0] - '0';
    } else if (arg == "--case" || arg == "--no-case") {
      if (options.case_sensitive) return false;
      options.case_sensitive = arg == "--case";
    } else if (arg == "--count") {
      options.count = true;
    } else if (arg == "--heading") {
      options.heading = true;
    } else if (arg == "--utf8") {
      options.utf8 = true;
    } else {
      return false;
    }
  }
  return true;
}

// Runs the preparation job on its own thread, as the program does, showing
// each progress text on `err` as the job sets it.
std::string Prepare(TPhoneDatabase& db, std::ostream& err, bool utf8) {
  db.WaitText.OnChange = [&err, utf8](const std::string& text) {
    err << (utf8 ? Cp1251ToUtf8(text) : text) << "\n";
  };
  TMainThreadQueue main_thread;
  return main_thread.RunJob(PrepareDatabase, &db);
}

}  // namespace

int RunFind(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  Options options;
  bool help = false;
  if (!Parse(args, options, help)) {
    err << kUsage;
    return 2;
  }
  if (help) {
    out << kUsage;
    return 0;
  }
  const std::filesystem::path folder =
      options.dir ? std::filesystem::u8path(*options.dir) : platform::ExecutableFolder();

  TPhoneDatabase db;
  CreateEngine(db.Engine);
  TSearchList& search = *db.Engine.SearchList;
  const TIniFile ini(folder / "options.ini");
  ReadDirectives(ini, db.Settings);
  ReadSearchOptions(ini, search);
  db.Settings.NoDeleteBase = true;  // a lookup never deletes its input
  db.Paths = BuildFilePaths(folder, db.Settings.BaseFileName);

  if (options.modes) {
    TMatchModes modes = search.Modes;
    if (!DigitsToBytes(*options.modes, modes)) {
      err << kUsage;
      return 2;
    }
    search.Modes = modes;
  }
  if (options.case_sensitive) search.CaseSensitive = *options.case_sensitive;
  if (options.sort) search.SetSortOrder(static_cast<std::uint8_t>(*options.sort));

  const auto report = [&](const std::string& message) {
    err << (options.utf8 ? Cp1251ToUtf8(message) : message) << "\n";
    return 1;
  };
  const std::string failure = Prepare(db, err, options.utf8);
  if (!failure.empty()) return report(failure);

  TSearchParams params;
  for (int f = 0; f < 5; ++f) {
    if (options.texts[f]) params.Texts[f].Assign(Utf8ToCp1251(*options.texts[f]));
  }
  try {
    search.Allocate(static_cast<std::int32_t>(db.Engine.Converter->RecordCount()));
    search.Search(params);
    if (options.count) {
      out << search.Count() << "\n";
      return 0;
    }
    const auto emit = [&](const std::string& line) { out << (options.utf8 ? Cp1251ToUtf8(line) : line); };
    if (options.heading) emit(ResultHeading());
    for (std::int32_t position = 0; position < search.Count(); ++position) emit(search.GetLine(position));
  } catch (const Exception& e) {
    return report(e.Message());
  }
  out.flush();
  return 0;
}

}  // namespace olvendrix::find
