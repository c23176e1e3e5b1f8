#include "directory_session.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <mutex>
#include <vector>

#include "cp1251.h"
#include "format.h"
#include "main_thread_queue.h"
#include "platform/platform.h"
#include "test_support.h"
#include "demo_table.h"

namespace olvendrix {
namespace {

using testing::TempFolder;

// Records what the session asks of the window; the tasks it hands to the
// main thread wait until the test runs them, as posted messages wait for
// the window's loop.
class FakeHost : public TSessionHost {
 public:
  struct End {
    TJobKind kind;
    TJobFailure failure;
  };
  void RunOnMainThread(std::function<void()> task) override {
    std::lock_guard<std::mutex> lock(mutex_);
    tasks_.push_back(std::move(task));
  }
  void JobEnded(TJobKind kind, const TJobFailure& failure) override { ends.push_back({kind, failure}); }
  void PostSearchRequest(bool forced) override { search_requests.push_back(forced); }
  void PostSaveRequest() override { ++save_requests; }

  // Runs what is queued for the main thread now.
  void RunQueued() {
    std::deque<std::function<void()>> tasks;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      tasks.swap(tasks_);
    }
    for (auto& task : tasks) task();
  }

  std::vector<End> ends;
  std::vector<bool> search_requests;
  int save_requests = 0;

 private:
  std::mutex mutex_;
  std::deque<std::function<void()>> tasks_;
};

// Runs each job's body only when the test says so, on the test's thread.
class ControlledRunner : public TJobRunner {
 public:
  void Start(std::function<void()> body, std::function<void(const TJobFailure&)> ended) override {
    jobs_.push_back({std::move(body), std::move(ended)});
  }
  bool WaitForAll(std::chrono::milliseconds) override {
    ++waits;
    if (never_ends) return jobs_.empty();
    while (!jobs_.empty()) EndNext();
    return true;
  }
  // Runs the oldest job's body and reports its end, as a job thread would.
  void EndNext() {
    ASSERT_FALSE(jobs_.empty());
    Job job = std::move(jobs_.front());
    jobs_.pop_front();
    TJobFailure failure;
    try {
      job.body();
    } catch (const std::exception& e) {
      failure = TJobError{Format("Error in thread:%s %s ", {"\n\r", MessageOf(e)}), MessageOf(e)};
    }
    job.ended(failure);
  }
  std::size_t Started() const { return jobs_.size(); }

  int waits = 0;
  bool never_ends = false;  // the bounded wait runs out

 private:
  struct Job {
    std::function<void()> body;
    std::function<void(const TJobFailure&)> ended;
  };
  std::deque<Job> jobs_;
};

void WriteDemoTable(const std::filesystem::path& path, std::uint32_t records) {
  demo::TDemoOptions options;
  options.Records = records;
  demo::MakeDemoTable(options).SaveTo(path);
}

TSearchParams Params(const std::string& name_utf8) {
  TSearchParams params;
  params.Texts[1].Assign(W1251(name_utf8));
  return params;
}

class Session : public ::testing::Test {
 protected:
  Session() {
    WriteDemoTable(folder_ / "Data.dbf", 2000);
    Restart();
  }
  // A new session over the folder, as a new start of the program.
  void Restart() {
    session_.reset();
    auto runner = std::make_unique<ControlledRunner>();
    runner_ = runner.get();
    session_ = std::make_unique<TDirectorySession>(host_, std::move(runner), folder_.path());
  }

  // Runs the preparation to its end and finishes it, as the window's end
  // message does.
  void Prepare() {
    ASSERT_TRUE(session_->BeginPreparation());
    session_->StartPreparation();
    EndJob();
    ASSERT_TRUE(session_->FinishPreparation());
    ASSERT_EQ(session_->RecordCount(), 2000);
  }
  // The running job's body ends and its end reaches the main thread.
  void EndJob() {
    runner_->EndNext();
    host_.RunQueued();
  }
  void StartSearch(const std::string& name, bool forced = false) {
    ASSERT_EQ(session_->RequestSearch(Params(name), forced), TSearchRequest::kStarted);
  }
  std::int32_t Found() const { return session_->ReadEngine().SearchList->Count(); }

  TempFolder folder_;
  FakeHost host_;
  ControlledRunner* runner_ = nullptr;
  std::unique_ptr<TDirectorySession> session_;
};

TEST_F(Session, PreparationRunsOnceAndItsEndIsHandledOnce) {
  EXPECT_EQ(session_->RequestSearch(Params("К"), true), TSearchRequest::kDropped);
  ASSERT_TRUE(session_->BeginPreparation());
  EXPECT_FALSE(session_->BeginPreparation());  // a second start message does nothing
  session_->StartPreparation();
  EXPECT_TRUE(session_->Preparing());
  EXPECT_FALSE(session_->CanReadEngine());
  // An end message before the job has ended does nothing.
  EXPECT_FALSE(session_->FinishPreparation());
  EXPECT_EQ(session_->RequestSearch(Params("К"), true), TSearchRequest::kDropped);
  EndJob();
  ASSERT_EQ(host_.ends.size(), 1u);
  EXPECT_EQ(host_.ends[0].kind, TJobKind::kPreparation);
  EXPECT_FALSE(host_.ends[0].failure);
  EXPECT_FALSE(session_->TakePreparationFailure());  // a stray fatal message does nothing
  EXPECT_TRUE(session_->FinishPreparation());
  EXPECT_FALSE(session_->FinishPreparation());  // the end message again
  EXPECT_FALSE(session_->Preparing());
  EXPECT_TRUE(session_->CanReadEngine());
  EXPECT_EQ(session_->RecordCount(), 2000);
  EXPECT_FALSE(session_->BeginPreparation());
}

TEST_F(Session, AFailedPreparationIsReportedOnceAndKeepsTheSlot) {
  std::filesystem::remove(folder_ / "Data.dbf");
  ASSERT_TRUE(session_->BeginPreparation());
  session_->StartPreparation();
  EndJob();
  ASSERT_EQ(host_.ends.size(), 1u);
  ASSERT_TRUE(host_.ends[0].failure);
  EXPECT_NE(host_.ends[0].failure->Text.find("Data.dbf"), std::string::npos);
  EXPECT_EQ(session_->WaitText().Get(), host_.ends[0].failure->Text);
  EXPECT_FALSE(session_->FinishPreparation());  // a stray end message
  EXPECT_EQ(session_->TakePreparationFailure(), host_.ends[0].failure->Text);
  EXPECT_FALSE(session_->TakePreparationFailure());
  // The program is ending: nothing searches.
  EXPECT_EQ(session_->RequestSearch(Params("К"), true), TSearchRequest::kDropped);
}

TEST_F(Session, SearchesDuringASearchCollapseIntoOneForcedIfAnyWasForced) {
  Prepare();
  StartSearch("К", true);
  EXPECT_TRUE(session_->SearchRunning());
  EXPECT_FALSE(session_->CanReadEngine());
  EXPECT_EQ(session_->RequestSearch(Params("Ко"), false), TSearchRequest::kPending);
  EXPECT_EQ(session_->RequestSearch(Params("Ков"), true), TSearchRequest::kPending);
  EXPECT_EQ(session_->RequestSearch(Params("Кова"), false), TSearchRequest::kPending);
  EXPECT_TRUE(session_->SearchPending());
  EXPECT_TRUE(host_.search_requests.empty());  // nothing before the end is handled
  EndJob();
  EXPECT_TRUE(host_.search_requests.empty());
  EXPECT_TRUE(session_->FinishSearch());
  EXPECT_EQ(host_.search_requests, std::vector<bool>{true});
  EXPECT_FALSE(session_->SearchPending());
  EXPECT_FALSE(session_->FinishSearch());  // the end message again
  EXPECT_EQ(host_.search_requests.size(), 1u);
  // The same inputs again, unforced, do not search; forced they do.
  EXPECT_EQ(session_->RequestSearch(Params("К"), false), TSearchRequest::kUnchanged);
  StartSearch("К", true);
}

TEST_F(Session, ARequestBetweenAJobsEndAndItsEndMessageIsKept) {
  Prepare();
  StartSearch("К", true);
  EndJob();  // the end message is posted, not yet handled
  EXPECT_TRUE(session_->SearchRunning());
  EXPECT_EQ(session_->RequestSearch(Params("Ш"), false), TSearchRequest::kPending);
  EXPECT_TRUE(session_->FinishSearch());
  EXPECT_EQ(host_.search_requests, std::vector<bool>{false});
}

TEST_F(Session, ASortOrderChosenDuringASearchIsHandedToTheNextWithItsRecord) {
  Prepare();
  StartSearch("", true);
  EXPECT_TRUE(session_->ChooseSortOrder(2, 17));
  EXPECT_FALSE(session_->ChooseSortOrder(2, 5));  // the same order again
  EXPECT_TRUE(session_->ResortMark());
  EXPECT_EQ(session_->ShownSortOrder(), 0);  // the running search keeps its order
  EXPECT_EQ(session_->RequestSearch(Params(""), true), TSearchRequest::kPending);
  EndJob();
  ASSERT_TRUE(session_->FinishSearch());
  ASSERT_EQ(host_.search_requests, std::vector<bool>{true});
  StartSearch("", true);
  EXPECT_EQ(Cp1251ToUtf8(session_->WaitText().Get()), Cp1251ToUtf8(session_->MessageTexts().MessSorting));
  EXPECT_FALSE(session_->ResortMark());
  EXPECT_EQ(session_->ShownSortOrder(), 2);
  EndJob();
  ASSERT_TRUE(session_->FinishSearch());
  const TSearchList& search = *session_->ReadEngine().SearchList;
  EXPECT_EQ(search.SortOrder(), 2);
  ASSERT_TRUE(search.KeepSelection);
  EXPECT_EQ(search.GetItem(search.SelIndex), 17);
  // The search command forgets the selection kept.
  session_->ForgetSelection();
  StartSearch("", true);
  EndJob();
  ASSERT_TRUE(session_->FinishSearch());
  EXPECT_FALSE(session_->ReadEngine().SearchList->KeepSelection);
}

TEST_F(Session, ASaveWaitsForASearchAndASearchForASave) {
  Prepare();
  StartSearch("К", true);
  session_->RequestSave(folder_ / "Phone.txt");
  EXPECT_EQ(host_.save_requests, 1);
  EXPECT_FALSE(session_->StartRequestedSave());  // the search runs
  EXPECT_EQ(session_->RequestSearch(Params("Ш"), false), TSearchRequest::kPending);
  EndJob();
  ASSERT_TRUE(session_->FinishSearch());
  // The save first, then the search that waited (which meets the save).
  EXPECT_EQ(host_.save_requests, 2);
  EXPECT_EQ(host_.search_requests, std::vector<bool>{false});
  ASSERT_TRUE(session_->StartRequestedSave());
  EXPECT_TRUE(session_->SaveRunning());
  EXPECT_EQ(Cp1251ToUtf8(session_->WaitText().Get()), Cp1251ToUtf8(session_->MessageTexts().MessSaveToFile));
  // A save only reads: the window may read the results meanwhile.
  EXPECT_TRUE(session_->CanReadEngine());
  const std::int32_t found = Found();
  EXPECT_GT(found, 0);
  EXPECT_EQ(session_->RequestSearch(Params("Ш"), false), TSearchRequest::kPending);
  EXPECT_FALSE(session_->FinishSave());  // not ended yet
  EndJob();
  ASSERT_TRUE(session_->FinishSave());
  EXPECT_EQ(host_.search_requests, (std::vector<bool>{false, false}));
  EXPECT_EQ(testing::ReadBytes(folder_ / "Phone.txt").size() > 0, true);
  EXPECT_FALSE(session_->FinishSave());
}

TEST_F(Session, OnlyTheSaveCommandStartsASaveAndOnlyOnce) {
  Prepare();
  StartSearch("К", true);
  EndJob();
  ASSERT_TRUE(session_->FinishSearch());
  // A start message nobody asked for.
  EXPECT_FALSE(session_->StartRequestedSave());
  EXPECT_EQ(runner_->Started(), 0u);
  session_->RequestSave(folder_ / "Phone.txt");
  ASSERT_TRUE(session_->StartRequestedSave());
  EndJob();
  ASSERT_TRUE(session_->FinishSave());
  std::filesystem::remove(folder_ / "Phone.txt");
  // The start message again, after a real save: the file is not rewritten.
  EXPECT_FALSE(session_->StartRequestedSave());
  EXPECT_EQ(runner_->Started(), 0u);
  EXPECT_FALSE(std::filesystem::exists(folder_ / "Phone.txt"));
}

TEST_F(Session, AFailedSaveIsReportedWithItsText) {
  Prepare();
  StartSearch("К", true);
  EndJob();
  ASSERT_TRUE(session_->FinishSearch());
  session_->RequestSave(folder_ / "no such folder" / "Phone.txt");
  ASSERT_TRUE(session_->StartRequestedSave());
  EndJob();
  ASSERT_EQ(host_.ends.back().kind, TJobKind::kSave);
  ASSERT_TRUE(host_.ends.back().failure);
  EXPECT_EQ(host_.ends.back().failure->Text.rfind("Error in thread:", 0), 0u);
  EXPECT_TRUE(session_->FinishSave());
}

// Closing while a job runs: the settings are saved first, a job end that
// arrives meanwhile (the fatal box's loop runs it) is dropped, and the engine
// is freed only after the job has ended.
TEST_F(Session, ClosingDuringEachJobSavesWaitsAndDropsTheJobsEnd) {
  const auto close_during = [&](const std::function<void()>& start) {
    host_.ends.clear();
    start();
    const int waits_before = runner_->waits;
    bool saved = false;
    const std::exception_ptr failure = session_->Shutdown([&] {
      saved = true;
      EXPECT_EQ(runner_->waits, waits_before);  // not waited yet
      // The job ends while the settings are written, and a message loop
      // runs its end.
      runner_->EndNext();
      host_.RunQueued();
    });
    EXPECT_TRUE(saved);
    EXPECT_FALSE(failure);
    EXPECT_EQ(runner_->waits, waits_before + 1);
    host_.RunQueued();
    EXPECT_TRUE(host_.ends.empty());
    EXPECT_FALSE(session_->FinishPreparation());
    EXPECT_FALSE(session_->FinishSearch());
    EXPECT_FALSE(session_->FinishSave());
    EXPECT_FALSE(session_->CanReadEngine());
    EXPECT_EQ(session_->RequestSearch(Params("Ш"), true), TSearchRequest::kDropped);
  };
  close_during([&] {
    ASSERT_TRUE(session_->BeginPreparation());
    session_->StartPreparation();
  });
  Restart();
  Prepare();
  close_during([&] { StartSearch("К", true); });
  Restart();
  Prepare();
  close_during([&] {
    session_->RequestSave(folder_ / "Phone.txt");
    ASSERT_TRUE(session_->StartRequestedSave());
  });
}

// A job whose end message is already queued when the session shuts down
// (a log-off inside a dialog, a close handled just before the message): the
// message finds nothing to finish and nothing to read.
TEST_F(Session, EndMessagesQueuedBeforeTheShutdownDoNothingAfterIt) {
  const auto ended_then_shut_down = [&](const std::function<void()>& start) {
    Restart();
    start();
    EndJob();
    session_->Shutdown({});
  };
  const auto prepare = [&] {
    ASSERT_TRUE(session_->BeginPreparation());
    session_->StartPreparation();
  };
  std::filesystem::rename(folder_ / "Data.dbf", folder_ / "Data.away");
  ended_then_shut_down(prepare);
  EXPECT_FALSE(session_->TakePreparationFailure());  // no fatal box after a log-off
  std::filesystem::rename(folder_ / "Data.away", folder_ / "Data.dbf");
  ended_then_shut_down(prepare);
  EXPECT_FALSE(session_->FinishPreparation([] { ADD_FAILURE() << "shown after the shutdown"; }));

  ended_then_shut_down([&] {
    Prepare();
    StartSearch("К", true);
  });
  EXPECT_FALSE(session_->FinishSearch([] { ADD_FAILURE() << "shown after the shutdown"; }));

  ended_then_shut_down([&] {
    Prepare();
    session_->RequestSave(folder_ / "Phone.txt");
    ASSERT_TRUE(session_->StartRequestedSave());
  });
  EXPECT_FALSE(session_->FinishSave([] { ADD_FAILURE() << "shown after the shutdown"; }));
}

// The window's part of an end comes before the requests that waited, and
// the duration covers it.
TEST_F(Session, TheWindowsPartOfAnEndComesBeforeTheRequestsThatWaited) {
  Prepare();
  session_->RequestSave(folder_ / "Phone.txt");
  ASSERT_TRUE(session_->StartRequestedSave());
  EXPECT_NE(session_->Durations().SaveFileTime.load(), 0u);  // the start tick while it runs
  EXPECT_EQ(session_->RequestSearch(Params("Ш"), false), TSearchRequest::kPending);
  EndJob();
  bool shown = false;
  ASSERT_TRUE(session_->FinishSave([&] {
    EXPECT_TRUE(host_.search_requests.empty());
    EXPECT_FALSE(session_->SaveRunning());
    shown = true;
  }));
  EXPECT_TRUE(shown);
  EXPECT_EQ(host_.search_requests, std::vector<bool>{false});
}

// A program folder nobody may write to, with the files prepared: the
// directory loads, searches and saves results elsewhere, and only the
// settings' write at the end fails.
TEST_F(Session, AReadOnlyFolderWithPreparedFilesStillServesItsDirectory) {
  Prepare();
  Restart();
  std::filesystem::remove(folder_ / "data.lock");
  const auto files = [&] {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder_.path())) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  };
  const std::vector<std::string> before = files();
  // The lock file cannot be made: the preparation goes on without it.
  platform::testing::InjectFault(platform::testing::Fault::kCreate);
  Prepare();
  StartSearch("К", true);
  EndJob();
  ASSERT_TRUE(session_->FinishSearch());
  TempFolder elsewhere;
  session_->RequestSave(elsewhere / "Phone.txt");
  ASSERT_TRUE(session_->StartRequestedSave());
  EndJob();
  ASSERT_TRUE(session_->FinishSave());
  EXPECT_TRUE(std::filesystem::exists(elsewhere / "Phone.txt"));
  platform::testing::InjectFault(platform::testing::Fault::kCreate);
  const std::exception_ptr failure = session_->Shutdown([&] {
    TIniFile ini(folder_ / "options.ini");
    session_->WriteSettings(ini);
    ini.UpdateFile();
  });
  platform::testing::ClearFaults();
  ASSERT_TRUE(failure);
  try {
    std::rethrow_exception(failure);
  } catch (const std::exception& e) {
    EXPECT_EQ(MessageOf(e).rfind("Unable to write to ", 0), 0u);
  }
  EXPECT_EQ(files(), before);
}

TEST_F(Session, AFailedSettingsWriteIsReturnedAfterTheRestOfShutdown) {
  Prepare();
  StartSearch("К", true);
  const std::exception_ptr failure =
      session_->Shutdown([] { throw EPhoneFormError("Unable to write to OPTIONS.INI"); });
  ASSERT_TRUE(failure);
  EXPECT_EQ(runner_->Started(), 0u);  // the search was waited for
  EXPECT_FALSE(session_->Shutdown([] { throw EPhoneFormError("again"); }));
}

TEST_F(Session, AJobThatOutlivesTheWaitKeepsItsDataAndItsEndGoesNowhere) {
  Prepare();
  StartSearch("К", true);
  host_.ends.clear();
  runner_->never_ends = true;
  EXPECT_FALSE(session_->Shutdown({}));
  session_.reset();
  // The runner and the job's data were kept: the job can still end, and its
  // end reaches no one.
  runner_->EndNext();
  host_.RunQueued();
  EXPECT_TRUE(host_.ends.empty());
}

TEST_F(Session, AJobEndQueuedWhenTheSessionIsDestroyedIsDropped) {
  Prepare();
  StartSearch("К", true);
  host_.ends.clear();
  runner_->EndNext();  // queued for the main thread, not yet run
  session_.reset();
  host_.RunQueued();
  EXPECT_TRUE(host_.ends.empty());
}

// A later start loads the orders from their files: the warm-up has their
// whole positions to make.
class WarmUp : public Session {
 protected:
  void SetUp() override {
    Prepare();
    Restart();
    session_->EnableWarmUp();
    Prepare();
  }
  // The first search and its end, then the window idle: the warm-up starts.
  void FirstSearch() {
    session_->WarmUpWhenIdle();  // no search has ended yet
    EXPECT_FALSE(session_->WarmingUp());
    StartSearch("К", true);
    session_->WarmUpWhenIdle();
    EXPECT_TRUE(session_->SearchRunning());
    EndJob();
    ASSERT_TRUE(session_->FinishSearch());
    EXPECT_FALSE(session_->WarmingUp());
    session_->WarmUpWhenIdle();
    ASSERT_TRUE(session_->WarmingUp());
    session_->WarmUpWhenIdle();  // once
    EXPECT_EQ(runner_->Started(), 1u);
  }
  // Each order's whole positions exist: asking for them needs no region.
  void ExpectWholePositions() {
    platform::testing::InjectFault(platform::testing::Fault::kRegion);
    for (const auto& order : session_->ReadEngine().IndexLists) EXPECT_NO_THROW(order->Positions());
    platform::testing::ClearFaults();
  }
};

TEST_F(WarmUp, StartsWhenIdleAfterTheFirstSearchGivesWayToASearchAndResumes) {
  FirstSearch();
  // The window reads the results and may command meanwhile.
  EXPECT_TRUE(session_->CanReadEngine());
  EXPECT_TRUE(session_->Idle());
  EXPECT_FALSE(session_->SearchRunning());
  EXPECT_GT(Found(), 0);
  EXPECT_EQ(session_->RequestSearch(Params("Ш"), false), TSearchRequest::kPending);
  EXPECT_TRUE(host_.search_requests.empty());
  EndJob();  // it stops before its next step, and its end posts the request
  EXPECT_FALSE(session_->WarmingUp());
  EXPECT_FALSE(session_->WarmedUp());
  EXPECT_EQ(host_.search_requests, std::vector<bool>{false});
  StartSearch("Ш");
  EndJob();
  ASSERT_TRUE(session_->FinishSearch());
  session_->WarmUpWhenIdle();
  ASSERT_TRUE(session_->WarmingUp());
  EndJob();  // nothing asks it to stop: every step runs
  EXPECT_TRUE(session_->WarmedUp());
  EXPECT_EQ(runner_->Started(), 0u);
  ExpectWholePositions();
  // The host heard of the searches only.
  for (const FakeHost::End& end : host_.ends) EXPECT_NE(end.kind, TJobKind::kWarmUp);
  // Done once: later ends start nothing.
  StartSearch("Ко");
  EndJob();
  ASSERT_TRUE(session_->FinishSearch());
  session_->WarmUpWhenIdle();
  EXPECT_EQ(runner_->Started(), 0u);
}

TEST_F(WarmUp, NeitherStartsWhileARequestWaitsNorKeepsASaveWaiting) {
  StartSearch("К", true);
  EXPECT_EQ(session_->RequestSearch(Params("Ш"), false), TSearchRequest::kPending);
  session_->WarmUpWhenIdle();
  EndJob();
  session_->WarmUpWhenIdle();  // the search's end is not handled yet
  EXPECT_TRUE(session_->SearchRunning());
  ASSERT_TRUE(session_->FinishSearch());
  EXPECT_EQ(host_.search_requests, std::vector<bool>{false});
  session_->RequestSave(folder_ / "Phone.txt");
  session_->WarmUpWhenIdle();  // a save is asked for
  EXPECT_FALSE(session_->WarmingUp());
  ASSERT_TRUE(session_->StartRequestedSave());
  EndJob();
  ASSERT_TRUE(session_->FinishSave());
  session_->WarmUpWhenIdle();
  ASSERT_TRUE(session_->WarmingUp());
  session_->RequestSave(folder_ / "Phone.txt");
  EXPECT_EQ(host_.save_requests, 2);
  EXPECT_FALSE(session_->StartRequestedSave());
  session_->WarmUpWhenIdle();
  EndJob();
  EXPECT_EQ(host_.save_requests, 3);
  ASSERT_TRUE(session_->StartRequestedSave());
  EndJob();
  ASSERT_TRUE(session_->FinishSave());
  session_->WarmUpWhenIdle();
  ASSERT_TRUE(session_->WarmingUp());
  EndJob();
  EXPECT_TRUE(session_->WarmedUp());
}

TEST_F(WarmUp, ARefusedRegionEndsItAndLeavesTheSearchesWorking) {
  FirstSearch();
  platform::testing::InjectFault(platform::testing::Fault::kRegion);
  EndJob();
  platform::testing::ClearFaults();
  EXPECT_FALSE(session_->WarmingUp());
  EXPECT_FALSE(session_->WarmedUp());
  for (const FakeHost::End& end : host_.ends) EXPECT_NE(end.kind, TJobKind::kWarmUp);
  for (const char* name : {"Ш", "Ко", "Бо", "Я"}) {
    StartSearch(name);
    EndJob();
    ASSERT_TRUE(session_->FinishSearch());
    session_->WarmUpWhenIdle();
    EXPECT_EQ(runner_->Started(), 0u);  // not tried again
  }
  EXPECT_GT(Found(), 0);
}

TEST_F(WarmUp, ClosingDuringItStopsItAndWaits) {
  FirstSearch();
  const int waits_before = runner_->waits;
  EXPECT_FALSE(session_->Shutdown({}));
  EXPECT_EQ(runner_->waits, waits_before + 1);
  EXPECT_EQ(runner_->Started(), 0u);
  host_.RunQueued();
  for (const FakeHost::End& end : host_.ends) EXPECT_NE(end.kind, TJobKind::kWarmUp);
  EXPECT_FALSE(session_->WarmedUp());
  EXPECT_FALSE(session_->CanReadEngine());
  EXPECT_EQ(session_->RequestSearch(Params("Ш"), true), TSearchRequest::kDropped);
}

// A host whose main-thread tasks and posted requests go through one queue,
// as the window's messages do.
class QueueHost : public TSessionHost {
 public:
  void RunOnMainThread(std::function<void()> task) override { queue.Post(std::move(task)); }
  void JobEnded(TJobKind kind, const TJobFailure&) override { ended.push_back(kind); }
  void PostSearchRequest(bool forced) override { queue.Post([this, forced] { searches.push_back(forced); }); }
  void PostSaveRequest() override { queue.Post([this] { ++saves; }); }
  // Runs queued tasks until a job of `kind` has ended.
  void ServeUntilEnded(TJobKind kind) {
    while (std::find(ended.begin(), ended.end(), kind) == ended.end()) {
      ASSERT_TRUE(queue.RunOne(std::chrono::milliseconds(20000)));
    }
    ended.clear();
  }
  TMainThreadQueue queue;
  std::vector<TJobKind> ended;
  std::vector<bool> searches;
  int saves = 0;
};

// Real job threads: requests, saves and reads of the results race the jobs'
// ends as they do in the program (run under ThreadSanitizer too).
TEST(SessionThreads, RequestsAndReadsRaceTheJobsWithoutTouchingWhatAJobOwns) {
  TempFolder folder;
  WriteDemoTable(folder / "Data.dbf", 20000);

  QueueHost host;
  TDirectorySession session(host, MakeThreadJobRunner(), folder.path());
  const auto serve_until_ended = [&](TJobKind kind) { host.ServeUntilEnded(kind); };
  ASSERT_TRUE(session.BeginPreparation());
  session.StartPreparation();
  serve_until_ended(TJobKind::kPreparation);
  ASSERT_TRUE(session.FinishPreparation());
  const char* names[] = {"К", "Ко", "Ш", "Бо", "", "Мельник"};
  for (int round = 0; round < 30; ++round) {
    ASSERT_EQ(session.RequestSearch(Params(names[round % 6]), true), TSearchRequest::kStarted);
    session.RequestSearch(Params(names[(round + 1) % 6]), false);
    session.ChooseSortOrder(static_cast<std::uint8_t>(round % 3), -1);
    serve_until_ended(TJobKind::kSearch);
    ASSERT_TRUE(session.FinishSearch());
    if (round % 5 == 0) {
      session.RequestSave(folder / "Phone.txt");
      ASSERT_TRUE(session.StartRequestedSave());
      // Reading during a save, as the list and the copy command do.
      const TSearchList& results = *session.ReadEngine().SearchList;
      for (std::int32_t row = 0; row < std::min(results.Count(), 50); ++row) results.GetLine(row);
      serve_until_ended(TJobKind::kSave);
      ASSERT_TRUE(session.FinishSave());
    }
    while (host.queue.RunOne(std::chrono::milliseconds(0))) {}
    host.searches.clear();
  }
  // Closing with a search running.
  ASSERT_EQ(session.RequestSearch(Params("Ко"), true), TSearchRequest::kStarted);
  EXPECT_FALSE(session.Shutdown({}));
}

// Real job threads with the warm-up: searches meet it at any step, and the
// results are read while it runs.
TEST(SessionThreads, TheWarmUpGivesWayToSearchesWhileTheResultsAreRead) {
  TempFolder folder;
  WriteDemoTable(folder / "Data.dbf", 20000);
  QueueHost host;
  for (const bool warm_up : {false, true}) {
    TDirectorySession session(host, MakeThreadJobRunner(), folder.path());
    if (warm_up) session.EnableWarmUp();
    ASSERT_TRUE(session.BeginPreparation());
    session.StartPreparation();
    host.ServeUntilEnded(TJobKind::kPreparation);
    ASSERT_TRUE(session.FinishPreparation());
    if (!warm_up) continue;  // the first start made the index files
    const char* names[] = {"К", "Ко", "Ш", "Бо", "", "Мельник"};
    for (int round = 0; round < 20; ++round) {
      session.WarmUpWhenIdle();
      const TSearchList& results = *session.ReadEngine().SearchList;
      for (std::int32_t row = 0; row < std::min(results.Count(), 50); ++row) results.GetLine(row);
      host.searches.clear();
      if (session.RequestSearch(Params(names[round % 6]), true) == TSearchRequest::kPending) {
        while (host.searches.empty()) ASSERT_TRUE(host.queue.RunOne(std::chrono::milliseconds(20000)));
        ASSERT_EQ(session.RequestSearch(Params(names[round % 6]), true), TSearchRequest::kStarted);
      }
      host.ServeUntilEnded(TJobKind::kSearch);
      ASSERT_TRUE(session.FinishSearch());
    }
    session.WarmUpWhenIdle();
    while (!session.WarmedUp()) ASSERT_TRUE(host.queue.RunOne(std::chrono::milliseconds(20000)));
    EXPECT_FALSE(session.WarmingUp());
  }
}

}  // namespace
}  // namespace olvendrix
