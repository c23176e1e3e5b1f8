// Preparing the directory: the engine objects, the data file paths, and the
// preparation job that converts the table or loads data.bin, then builds or
// loads the three sort orders.
//
// Portable and window-free: the main window and the command-line lookup run
// the very same job. The job runs on a TExecThread with a TPhoneDatabase as
// its argument; while it runs the engine objects belong to it, and the only
// values the owner may touch are WaitText (read), CloseRequested and
// StopRequested (set).
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "dbf_converter.h"
#include "index_list.h"
#include "search_list.h"
#include "message_texts.h"
#include "program_settings.h"

namespace olvendrix {

struct TDataFilePaths {
  std::filesystem::path DbfPath;
  std::filesystem::path DataBinPath;
  std::filesystem::path IndexPaths[3];
  // Held by the copy that prepares the folder (TryLockFile); never deleted.
  std::filesystem::path LockPath;
};

// The paths of the table (BaseFileName, Windows-1251, appended to the folder
// as text, so that a rooted or absolute name never leaves it), of data.bin,
// of index1.bin .. index3.bin and of the lock file data.lock in `folder`.
TDataFilePaths BuildFilePaths(const std::filesystem::path& folder, const std::string& BaseFileName);

// The progress text: written by a job, read by the wait indicator on the
// main thread.
class TWaitText {
 public:
  // Called on the writer's thread after every change; set before any job runs.
  std::function<void(const std::string& text)> OnChange;

  void Set(std::string text) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      text_ = text;
    }
    if (OnChange) OnChange(text);
  }
  std::string Get() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return text_;
  }

 private:
  mutable std::mutex mutex_;
  std::string text_;
};

// Milliseconds of the tick counter, shown by the timing window.
struct TDurations {
  std::atomic<std::uint32_t> InitTime{0};
  std::atomic<std::uint32_t> LoadBaseTime{0};
  std::atomic<std::uint32_t> SortTime{0};
  std::atomic<std::uint32_t> SearchTime{0};
  std::atomic<std::uint32_t> SaveFileTime{0};
};

// The engine objects, owned together from OpenDatabase to FreeEngine.
struct TEngine {
  std::unique_ptr<TDBFConverter> Converter;
  std::array<std::unique_ptr<TIndexList>, 3> IndexLists;
  std::unique_ptr<TSearchList> SearchList;
};

// Frees the converter, the orders 0, 1, 2, then the search list.
void FreeEngine(TEngine& engine);

// Everything the preparation job reads and writes.
struct TPhoneDatabase {
  TEngine Engine;
  TDataFilePaths Paths;
  TProgramSettings Settings;
  TMessageTexts Texts = DefaultMessageTexts();
  TWaitText WaitText;
  TDurations Durations;
  // The user confirmed leaving during preparation: failures are dropped.
  std::atomic<bool> CloseRequested{false};
  // The owner is going away: the job ends quietly at its next step.
  std::atomic<bool> StopRequested{false};
};

// Gives `db` its engine (the converter, the three orders bound to it with
// their compare functions, and the search list given all four) and the data
// file paths in `folder` for the table its settings name now; settings read
// later need BuildFilePaths again.
void OpenDatabase(TPhoneDatabase& db, const std::filesystem::path& folder);

// The job. It first takes the folder's lock, so that copies of the program
// (and olvendrix-find) in one folder prepare one at a time and a copy never
// loads files another is writing; while another copy holds it, WaitText is
// MessLoadBIN and the lock is polled, so that StopRequested or
// CloseRequested ends the wait quietly. The system releases the lock of a
// copy that dies; the temporary files such a copy was writing beside the
// data files are removed.
// Stage 1 converts the table (AlwaysPrepareBase, or no data.bin) or loads
// data.bin; stage 2 builds the orders (the store was converted in this run,
// an index file is missing, or a loaded order fails BelongsToStore) and
// saves them, or loads them.
// Whatever ends the job at any moment, the files on disk are the old
// complete set, a store with no orders (or only its own), or the new
// complete set: old index files are deleted before a new data.bin takes its
// place, and the table is deleted (unless NoDeleteBase or
// AlwaysPrepareBase) only once data.bin is in place. When another process
// holds the old files so that they cannot be deleted or replaced, the new
// store and its orders serve this run from memory, the files on disk stay a
// matching set and the table is kept.
// Raises EPhoneFormError for a missing table (ErrorFIndBase with the full
// path) or an outdated store (ErrorVersion), and the engine's or any
// standard failure otherwise, unless CloseRequested is set; the lock is
// released first.
void PrepareDatabase(void* database);

}  // namespace olvendrix
