#include "find_command.h"

#include <chrono>
#include <optional>

#include "cp1251.h"
#include "errors.h"
#include "file_helpers.h"
#include "main_thread_queue.h"
#include "platform/platform.h"
#include "directory_session.h"

namespace olvendrix::find {
namespace {

constexpr const char* kUsage =
    "usage: olvendrix-find [--dir DIR] [--number T] [--name T] [--street T] [--house T]\n"
    "                      [--apartment T] [--modes DDDDD] [--case | --no-case] [--sort 0|1|2]\n"
    "                      [--count] [--heading] [--utf8 | --cp1251] [--verbose]\n"
    "Prepares the directory in DIR (default: the folder of this program) as Olvendrix does,\n"
    "then prints the subscribers that match, one line each, as a saved result file holds them.\n"
    "  --number, --name, --street, --house, --apartment T   the input of each field (UTF-8)\n"
    "  --modes DDDDD   match mode per field: 0 begins, 1 contains, 2 equals a word\n"
    "  --case, --no-case   respect letter case or not (default: options.ini)\n"
    "  --sort 0|1|2    by number, by name, by street (default: options.ini)\n"
    "  --count         print the number of subscribers found only\n"
    "  --heading       print the heading line of a saved result file first\n"
    "  --utf8          print UTF-8 (the default on a UTF-8 terminal)\n"
    "  --cp1251        print the file's Windows-1251 bytes, messages included\n"
    "  --verbose       show the preparation's progress (shown anyway on a terminal)\n"
    "Exit status: 0 found (or nothing found), 1 a failure, 2 bad arguments.\n";

struct Options {
  std::optional<std::string> dir;
  std::optional<std::string> texts[5];
  std::optional<std::string> modes;
  std::optional<bool> case_sensitive;
  std::optional<int> sort;
  std::optional<bool> utf8;  // --utf8 or --cp1251
  bool count = false;
  bool heading = false;
  bool verbose = false;
  bool help = false;
};

// Fills `options`; returns the fault of the arguments, empty when none.
std::string Parse(const std::vector<std::string>& args, Options& options) {
  const char* const kTextOptions[5] = {"--number", "--name", "--street", "--house", "--apartment"};
  const auto takes_value = [&](const std::string& arg) {
    if (arg == "--dir" || arg == "--modes" || arg == "--sort") return true;
    for (const char* name : kTextOptions) {
      if (arg == name) return true;
    }
    return false;
  };
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (takes_value(arg)) {
      if (i + 1 >= args.size()) return "missing value for " + arg;
      const std::string& value = args[++i];
      if (arg == "--dir") {
        options.dir = value;
      } else if (arg == "--modes") {
        TMatchModes modes{};
        if (!DigitsToBytes(value, modes)) return "bad value for --modes: " + value;
        options.modes = value;
      } else if (arg == "--sort") {
        if (value != "0" && value != "1" && value != "2") return "bad value for --sort: " + value;
        options.sort = value[0] - '0';
      } else {
        for (int f = 0; f < 5; ++f) {
          if (arg == kTextOptions[f]) options.texts[f] = value;
        }
      }
    } else if (arg == "--help") {
      options.help = true;
    } else if (arg == "--case" || arg == "--no-case") {
      if (options.case_sensitive) return "--case and --no-case exclude each other";
      options.case_sensitive = arg == "--case";
    } else if (arg == "--utf8" || arg == "--cp1251") {
      if (options.utf8) return "--utf8 and --cp1251 exclude each other";
      options.utf8 = arg == "--utf8";
    } else if (arg == "--count") {
      options.count = true;
    } else if (arg == "--heading") {
      options.heading = true;
    } else if (arg == "--verbose") {
      options.verbose = true;
    } else {
      return "unknown option: " + arg;
    }
  }
  return {};
}

// The session's host without a window: job ends are served on this thread.
class TConsoleHost : public TSessionHost {
 public:
  void RunOnMainThread(std::function<void()> task) override { queue_.Post(std::move(task)); }
  void JobEnded(TJobKind, const TJobFailure& failure) override {
    ended_ = true;
    failure_ = failure;
  }
  // A lookup asks for nothing while a job runs.
  void PostSearchRequest(bool) override {}
  void PostSaveRequest() override {}

  // Serves the job ends until the running job has ended; its failure.
  TJobFailure WaitForJob() {
    ended_ = false;
    while (!ended_) queue_.RunOne(std::chrono::milliseconds(1000));
    return failure_;
  }

 private:
  TMainThreadQueue queue_;
  bool ended_ = false;
  TJobFailure failure_;
};

}  // namespace

int RunFind(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
            const TConsole& console) {
  Options options;
  const std::string fault = Parse(args, options);
  if (!fault.empty()) {
    err << "olvendrix-find: " << fault << "\n" << kUsage;
    return 2;
  }
  if (options.help) {
    out << kUsage;
    return 0;
  }
  const bool cp1251_messages = options.utf8 == false;
  const bool utf8_output = options.utf8.value_or(console.OutputIsUtf8Terminal);
  // Messages are Windows-1251 texts of the program.
  const auto message_text = [&](const std::string& text1251) {
    return cp1251_messages ? text1251 : Cp1251ToUtf8(text1251);
  };
  const auto report = [&](const std::string& message1251) {
    err << "olvendrix-find: " << message_text(message1251) << "\n";
    return 1;
  };
  const std::filesystem::path folder =
      options.dir ? std::filesystem::u8path(*options.dir) : platform::ExecutableFolder();

  TConsoleHost host;
  TDirectorySession session(host, MakeThreadJobRunner(), folder);
  session.ReadSettings(TIniFile(folder / "options.ini"));
  session.Settings().NoDeleteBase = true;  // a lookup never deletes its input
  TSearchOptions search_options = session.SearchOptions();
  if (options.modes) DigitsToBytes(*options.modes, search_options.Modes);
  if (options.case_sensitive) search_options.CaseSensitive = *options.case_sensitive;
  session.SetCaseAndModes(search_options.CaseSensitive, search_options.Modes);
  if (options.sort) session.ChooseSortOrder(static_cast<std::uint8_t>(*options.sort), -1);

  if (options.verbose || console.ErrorIsTerminal) {
    session.WaitText().OnChange = [&](const std::string& text) { err << message_text(text) << "\n"; };
  }
  session.BeginPreparation();
  session.StartPreparation();
  if (const TJobFailure failure = host.WaitForJob()) return report(failure->JobMessage);
  // The progress shown is the preparation's only.
  session.WaitText().OnChange = nullptr;

  TSearchParams params;
  for (int f = 0; f < 5; ++f) {
    if (options.texts[f]) params.Texts[f].Assign(Utf8ToCp1251(*options.texts[f]));
  }
  try {
    if (!session.FinishPreparation()) return report("the preparation did not end");
    if (options.count) {
      out << session.CountMatches(params) << "\n";
    } else {
      session.RequestSearch(params, true);
      if (const TJobFailure failure = host.WaitForJob()) return report(failure->JobMessage);
      session.FinishSearch();
      const TSearchList& search = *session.ReadEngine().SearchList;
      const auto emit = [&](const std::string& line) { out << (utf8_output ? Cp1251ToUtf8(line) : line); };
      if (options.heading) emit(ResultHeading());
      for (std::int32_t position = 0; position < search.Count(); ++position) emit(search.GetLine(position));
    }
  } catch (const std::exception& e) {
    return report(MessageOf(e));
  }
  out.flush();
  if (!out) return report("cannot write the results");
  return 0;
}

}  // namespace olvendrix::find
