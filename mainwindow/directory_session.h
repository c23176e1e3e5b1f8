// TDirectorySession: the directory behind the main window, without the
// window. It owns the engine objects, the settings, the data file paths, the
// progress text and the durations, and it runs the three jobs (preparation,
// search, save) with the rules that decide when each may start, what waits,
// and what a finished job may touch. The window and the command-line lookup
// both drive it.
//
// Threads. Every member function is for the main thread (the thread that
// made the session) unless it says otherwise. Jobs run through the
// TJobRunner; their ends come back to the main thread through the host's
// RunOnMainThread and are dropped once Shutdown has begun.
//
// Jobs. There is one job slot: a job holds it from its start until its end
// has been handled by the matching Finish call (the window's end message).
// Preparing(), SearchRunning() and SaveRunning() read the slot, nothing
// else. A job is "running" until its body has ended, then "ended" until it is
// finished; an end message that finds no ended job of its kind does nothing,
// and none does once Shutdown has begun. A Finish call runs the window's
// part of the end (`show`) between freeing the slot and recording the
// duration and asking for what waited, so that the window's own messages
// come before the requests that waited.
//
// The warm-up. Once enabled, the session warms the engine up (TWarmUp) as a
// fourth kind of job when the host says it is idle (WarmUpWhenIdle), from
// the first search's end on, until it is done. It runs in steps of a few
// milliseconds and gives way to any search or save: a request that meets it
// waits, as it would for any job, and asks it to stop after its current
// step; once its end is handled the request is posted. Its progress stays in
// the engine, so the next run resumes where this one stopped. Its end is the
// session's own: the host hears nothing of it. A failed step (an allocation
// refused) ends the warm-up for the run and leaves the engine as usable as
// before.
//
// The engine. While a preparation or a search job holds the slot, the main
// thread neither reads nor writes the engine objects. While a save or the
// warm-up holds it, the main thread may read them (they only read what the
// window reads) and writes nothing. Engine() and ReadEngine() assert this in
// builds with assertions.
//
// Shutdown order (Shutdown, once, whichever way the program ends):
//   1. ask a running job to stop;
//   2. save the settings (the caller's step); a job end that arrives
//      meanwhile is dropped;
//   3. wait for the jobs, at most kJobWaitBound;
//   4. free the engine, only when no job is left. When a job outlives the
//      bound, its data is left to the end of the process instead.
#pragma once

#include <cassert>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <exception>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "search_list.h"
#include "warm_up.h"
#include "database_preparation.h"
#include "ini_file.h"
#include "job_runner.h"
#include "program_settings.h"

namespace olvendrix {

enum class TJobKind { kNone, kPreparation, kSearch, kSave, kWarmUp };

// What the session needs of the window (or of a tool without one).
class TSessionHost {
 public:
  virtual ~TSessionHost() = default;
  // Runs `task` on the main thread later, after what is queued. Any thread.
  virtual void RunOnMainThread(std::function<void()> task) = 0;
  // A job's body has ended: the host posts the job's end message, or, for a
  // failed preparation, the fatal end (the failure text is also the wait
  // text then). A failed save's text is for the user; a failed search's is
  // not shown.
  virtual void JobEnded(TJobKind kind, const TJobFailure& failure) = 0;
  // A search asked for while a job held the slot, or a save asked for
  // during a search, may start now: the host posts the request.
  virtual void PostSearchRequest(bool forced) = 0;
  virtual void PostSaveRequest() = 0;
};

enum class TSearchRequest {
  kDropped,    // preparing (its end searches anyway), or shutting down
  kUnchanged,  // not forced, and the inputs are those of the last search
  kPending,    // a job holds the slot: one search runs after it
  kStarted,    // the search job runs; the wait text is set
};

class TDirectorySession {
 public:
  // How long Shutdown waits for running jobs.
  static constexpr std::chrono::milliseconds kJobWaitBound{5000};

  // The engine objects are made at once; nothing is read yet.
  TDirectorySession(TSessionHost& host, std::unique_ptr<TJobRunner> runner, std::filesystem::path folder);
  TDirectorySession(const TDirectorySession&) = delete;
  TDirectorySession& operator=(const TDirectorySession&) = delete;
  // Shuts down without saving settings, if Shutdown has not run.
  ~TDirectorySession();

  // --- Settings, before preparation starts.
  // [Directives] and [Options] of the settings file, then the data file
  // paths (AlwaysPrepareBase implies NoDeleteBase).
  void ReadSettings(const TIniFile& ini);
  // [Options] as the window's choices now stand.
  void WriteSettings(TIniFile& ini) const;
  TProgramSettings& Settings() { return db_->Settings; }
  const TProgramSettings& Settings() const { return db_->Settings; }

  // The texts the jobs show; change them only while no job holds the slot.
  TMessageTexts& MessageTexts() { return db_->Texts; }
  // Written by jobs, read by the wait indicator. Any thread.
  TWaitText& WaitText() { return db_->WaitText; }
  // Any thread.
  const TDurations& Durations() const { return db_->Durations; }

  // --- The window's choices, handed to the search list when a search starts.
  const TSearchOptions& SearchOptions() const { return options_; }
  void SetCaseAndModes(bool case_sensitive, const TMatchModes& modes);
  // Chooses the sort order; when it differs, the next search keeps
  // `selected_record` (-1: none) selected and shows the sorting text.
  // Returns whether it differed.
  bool ChooseSortOrder(std::uint8_t order, std::int32_t selected_record);
  // The search command: the next search keeps no selection.
  void ForgetSelection();
  // The order of the last search started: the order the list shows.
  std::uint8_t ShownSortOrder() const { return shown_sort_order_; }

  // --- The job slot.
  TJobKind JobKind() const { return slot_.kind; }
  bool Preparing() const { return slot_.kind == TJobKind::kPreparation; }
  bool SearchRunning() const { return slot_.kind == TJobKind::kSearch; }
  bool SaveRunning() const { return slot_.kind == TJobKind::kSave; }
  bool WarmingUp() const { return slot_.kind == TJobKind::kWarmUp; }
  // No job holds the slot but perhaps the warm-up, which gives way to any
  // request: the user's commands may run.
  bool Idle() const { return slot_.kind == TJobKind::kNone || WarmingUp(); }
  bool SearchPending() const { return search_pending_; }
  bool ResortMark() const { return resort_mark_; }
  bool ShuttingDown() const { return shut_down_; }

  // --- Preparation.
  // Claims the run's one preparation: false, claiming nothing, when it was
  // claimed before or Shutdown has begun.
  bool BeginPreparation();
  // Starts the preparation job; only once BeginPreparation returned true.
  void StartPreparation();
  // The user confirmed leaving during preparation: its failures are dropped.
  void ConfirmCloseDuringPreparation() { db_->CloseRequested = true; }
  // Finishes an ended, successful preparation: frees the slot, sizes the
  // results for the store, runs `show` and records InitTime. False, doing
  // nothing, when there is none. Raises the engine's allocation failure.
  bool FinishPreparation(const std::function<void()>& show = {});
  // The failure of an ended, failed preparation, once; nothing otherwise.
  std::optional<std::string> TakePreparationFailure();
  // The store's record count once prepared, else 0.
  std::int32_t RecordCount() const { return record_count_; }

  // --- Search.
  // Searches for `params` when a search may start now; see TSearchRequest.
  TSearchRequest RequestSearch(const TSearchParams& params, bool forced);
  // Finishes an ended search: frees the slot, runs `show`, records
  // SearchTime, and asks the host for the save and the search that waited.
  // False, doing nothing, when there is none.
  bool FinishSearch(const std::function<void()>& show = {});
  // How many searches' ends have been handled: one who asked for a search
  // waits for this to grow.
  std::uint32_t SearchesFinished() const { return searches_finished_; }
  // How many records a search would find, on this thread. Only while no job
  // holds the slot and the store is prepared (the command-line lookup).
  std::int64_t CountMatches(const TSearchParams& params);

  // --- Save.
  // The save command, after its file dialog: remembers `path` and asks the
  // host to post the save request. Ignored while a save is asked for or runs.
  void RequestSave(const std::filesystem::path& path);
  // Starts the save that the save command asked for: true when it started
  // now (the wait text is set). A request the command did not make does
  // nothing; one made during a search starts when the search has finished.
  bool StartRequestedSave();
  // Finishes an ended save: frees the slot, runs `show`, records
  // SaveFileTime (which holds the start tick while the save runs) and asks
  // for the search that waited. False, doing nothing, when there is none.
  bool FinishSave(const std::function<void()>& show = {});

  // --- Warm-up (see the top). The window enables it; the command-line
  // lookup does not.
  void EnableWarmUp() { warm_up_enabled_ = true; }
  // Starts or resumes the warm-up when it is enabled and not done, a search
  // has ended, no job holds the slot and no request waits. For a host with
  // nothing queued (no posted request waiting either): the window calls it
  // when its queue is empty, so the results are painted first and the
  // warm-up never competes with them.
  void WarmUpWhenIdle();
  // Everything the warm-up does is done, and its end handled.
  bool WarmedUp() const { return warmed_up_; }

  // --- The engine, for the window.
  // Results and the store may be read: prepared, no preparation or search
  // job, not shut down.
  bool CanReadEngine() const {
    return prepared_ && !Preparing() && !SearchRunning() && !shut_down_;
  }
  const TEngine& ReadEngine() const {
    assert(CanReadEngine() && "the window read the engine while a job owns it");
    return db_->Engine;
  }
  // Only while no job holds the slot.
  TEngine& Engine() {
    assert(slot_.kind == TJobKind::kNone && !shut_down_ && "the window touched the engine while a job owns it");
    return db_->Engine;
  }

  // --- Shutdown, in the order written at the top. `save_settings` may be
  // empty; its failure is returned after the rest has run. Later calls do
  // nothing and return nothing.
  std::exception_ptr Shutdown(const std::function<void()>& save_settings);

 private:
  struct Slot {
    TJobKind kind = TJobKind::kNone;
    bool ended = false;
    TJobFailure failure;
  };
  class Mailbox;

  void StartJob(TJobKind kind, std::function<void()> body);
  void JobBodyEnded(TJobKind kind, const TJobFailure& failure);
  // The slot holds an ended job of `kind` whose end may still be handled.
  bool Ended(TJobKind kind) const { return slot_.kind == kind && slot_.ended && !shut_down_; }
  void FreeSlot() { slot_ = Slot{}; }
  void HandOverSearchState();
  // Posts what waited for the job just finished: the save, then the search.
  void PostWaitingRequests();
  // Frees the slot of an ended job of `kind`, runs `show`, records
  // `duration` and asks for what waited; false when there is none.
  bool FinishJob(TJobKind kind, const std::function<void()>& show, std::atomic<std::uint32_t>& duration);
  // A request met the slot held: the warm-up, if it holds it, stops after
  // its current step.
  void AskWarmUpToGiveWay();
  void FinishWarmUp(const TJobFailure& failure);

  TSessionHost& host_;
  std::unique_ptr<TJobRunner> runner_;
  std::filesystem::path folder_;
  // Owned through pointers so that data a job still holds at the end of
  // the bounded wait can be left to the end of the process.
  std::unique_ptr<TPhoneDatabase> db_;
  std::shared_ptr<Mailbox> mailbox_;
  // Alive as long as the session: a job end queued on the main thread
  // checks it before touching the session.
  std::shared_ptr<char> alive_ = std::make_shared<char>();

  Slot slot_;
  bool preparation_claimed_ = false;
  bool prepared_ = false;
  bool shut_down_ = false;
  bool jobs_outlived_shutdown_ = false;
  std::int32_t record_count_ = 0;
  std::uint32_t job_start_ = 0;

  TSearchOptions options_;
  std::uint8_t shown_sort_order_ = 0;
  TSearchParams last_params_;
  bool search_pending_ = false;
  bool pending_forced_ = false;  // a forced request met a running job
  bool resort_mark_ = false;
  bool keep_selection_ = false;
  // A sort change asks the next search to keep this record selected (the
  // record, not the row, so that a search ending meanwhile cannot shift it).
  bool take_selection_ = false;
  std::int32_t resort_record_ = -1;

  bool save_requested_ = false;
  std::filesystem::path save_path_;

  // The warm-up's progress and its stop request, shared with its job (which
  // may outlive the session, see KeepUntilExit); made at its first start.
  // The name order goes first: names are what operators search most.
  struct WarmUpJob {
    explicit WarmUpJob(const TEngine& engine)
        : Work(*engine.Converter,
               {engine.IndexLists[1].get(), engine.IndexLists[0].get(), engine.IndexLists[2].get()},
               *engine.SearchList) {}
    TWarmUp Work;
    std::atomic<bool> Stop{false};
  };
  bool warm_up_enabled_ = false;
  std::uint32_t searches_finished_ = 0;
  bool warm_up_failed_ = false;
  bool warmed_up_ = false;
  std::shared_ptr<WarmUpJob> warm_up_;
};

}  // namespace olvendrix
