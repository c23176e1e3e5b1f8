#include "directory_session.h"

#include <mutex>
#include <utility>
#include <vector>

#include "file_helpers.h"
#include "platform/platform.h"
#include "program_settings.h"

namespace olvendrix {

// Carries job ends from job threads to the host until it is closed; a job
// that outlives the session keeps it, and posts nothing.
class TDirectorySession::Mailbox {
 public:
  explicit Mailbox(TSessionHost& host) : host_(&host) {}
  void Post(std::function<void()> task) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (host_ != nullptr) host_->RunOnMainThread(std::move(task));
  }
  void Close() {
    std::lock_guard<std::mutex> lock(mutex_);
    host_ = nullptr;
  }

 private:
  std::mutex mutex_;
  TSessionHost* host_;
};

namespace {

// A job that outlived the wait at shutdown still uses its runner and data:
// they stay, reachable, until the process ends.
void KeepUntilExit(std::unique_ptr<TJobRunner> runner, std::unique_ptr<TPhoneDatabase> db) {
  static std::mutex mutex;
  static auto* kept = new std::vector<std::pair<TJobRunner*, TPhoneDatabase*>>();
  std::lock_guard<std::mutex> lock(mutex);
  kept->emplace_back(runner.release(), db.release());
}

}  // namespace

TDirectorySession::TDirectorySession(TSessionHost& host, std::unique_ptr<TJobRunner> runner,
                                     std::filesystem::path folder)
    : host_(host),
      runner_(std::move(runner)),
      folder_(std::move(folder)),
      db_(std::make_unique<TPhoneDatabase>()),
      mailbox_(std::make_shared<Mailbox>(host)) {
  OpenDatabase(*db_, folder_);
}

TDirectorySession::~TDirectorySession() {
  Shutdown({});
  if (jobs_outlived_shutdown_) KeepUntilExit(std::move(runner_), std::move(db_));
}

void TDirectorySession::ReadSettings(const TIniFile& ini) {
  TProgramSettings& settings = db_->Settings;
  ReadDirectives(ini, settings);
  ReadSearchOptions(ini, options_);
  shown_sort_order_ = options_.SortOrder;
  ReadOptions(ini, settings);
  if (settings.AlwaysPrepareBase) settings.NoDeleteBase = true;
  db_->Paths = BuildFilePaths(folder_, settings.BaseFileName);
}

void TDirectorySession::WriteSettings(TIniFile& ini) const {
  WriteOptions(ini, db_->Settings, options_);
}

void TDirectorySession::SetCaseAndModes(bool case_sensitive, const TMatchModes& modes) {
  options_.CaseSensitive = case_sensitive;
  options_.Modes = modes;
}

bool TDirectorySession::ChooseSortOrder(std::uint8_t order, std::int32_t selected_record) {
  if (order == options_.SortOrder) return false;
  options_.SortOrder = order;
  take_selection_ = true;
  resort_record_ = selected_record;
  resort_mark_ = true;
  return true;
}

void TDirectorySession::ForgetSelection() {
  keep_selection_ = false;
  take_selection_ = false;
}

void TDirectorySession::StartJob(TJobKind kind, std::function<void()> body) {
  slot_ = Slot{kind, false, {}};
  job_start_ = platform::TickCount();
  std::weak_ptr<char> alive = alive_;
  runner_->Start(std::move(body), [this, kind, alive, mailbox = mailbox_](const TJobFailure& failure) {
    mailbox->Post([this, kind, alive, failure] {
      if (alive.expired()) return;
      JobBodyEnded(kind, failure);
    });
  });
}

void TDirectorySession::JobBodyEnded(TJobKind kind, const TJobFailure& failure) {
  // Once shutting down, nothing a job reports may reach the window.
  if (shut_down_ || slot_.kind != kind || slot_.ended) return;
  if (kind == TJobKind::kWarmUp) return FinishWarmUp(failure);
  slot_.ended = true;
  slot_.failure = failure;
  if (kind == TJobKind::kPreparation && failure) db_->WaitText.Set(failure->Text);
  host_.JobEnded(kind, failure);
}

bool TDirectorySession::BeginPreparation() {
  if (preparation_claimed_ || shut_down_) return false;
  preparation_claimed_ = true;
  return true;
}

void TDirectorySession::StartPreparation() {
  assert(preparation_claimed_ && slot_.kind == TJobKind::kNone);
  if (!preparation_claimed_ || shut_down_ || slot_.kind != TJobKind::kNone) return;
  TPhoneDatabase* db = db_.get();
  StartJob(TJobKind::kPreparation, [db] { PrepareDatabase(db); });
}

bool TDirectorySession::FinishPreparation(const std::function<void()>& show) {
  if (!Ended(TJobKind::kPreparation) || slot_.failure) return false;
  const std::uint32_t started = job_start_;
  FreeSlot();
  TEngine& engine = db_->Engine;
  const auto count = static_cast<std::int32_t>(engine.Converter->RecordCount());
  engine.SearchList->Allocate(count);
  record_count_ = count;
  prepared_ = true;
  if (show) show();
  db_->Durations.InitTime = platform::TickCount() - started;
  return true;
}

std::optional<std::string> TDirectorySession::TakePreparationFailure() {
  if (!Ended(TJobKind::kPreparation) || !slot_.failure) return std::nullopt;
  std::string failure = slot_.failure->Text;
  // The slot stays held: the program is ending, and nothing may search.
  slot_.ended = false;
  return failure;
}

TSearchRequest TDirectorySession::RequestSearch(const TSearchParams& params, bool forced) {
  // The forced search at the end of preparation covers what came before it.
  if (shut_down_ || !prepared_) return TSearchRequest::kDropped;
  if (!forced && params == last_params_) return TSearchRequest::kUnchanged;
  if (slot_.kind != TJobKind::kNone) {
    search_pending_ = true;
    // A sort command during a search must still end in the new order.
    pending_forced_ = pending_forced_ || forced;
    AskWarmUpToGiveWay();
    return TSearchRequest::kPending;
  }
  last_params_ = params;
  HandOverSearchState();
  db_->WaitText.Set(resort_mark_ ? db_->Texts.MessSorting : db_->Texts.MessSearching);
  resort_mark_ = false;
  TSearchList* search = db_->Engine.SearchList.get();
  StartJob(TJobKind::kSearch, [search, params] { search->Search(params); });
  return TSearchRequest::kStarted;
}

void TDirectorySession::HandOverSearchState() {
  TSearchList& search = *db_->Engine.SearchList;
  if (take_selection_) {
    keep_selection_ = resort_record_ >= 0;
    if (keep_selection_) {
      // No position to save first: the search looks for the record itself.
      search.SelIndex = -1;
      search.SelRecord = resort_record_;
    }
    take_selection_ = false;
  }
  search.KeepSelection = keep_selection_;
  search.CaseSensitive = options_.CaseSensitive;
  search.Modes = options_.Modes;
  search.SetSortOrder(options_.SortOrder);
  shown_sort_order_ = options_.SortOrder;
}

bool TDirectorySession::FinishJob(TJobKind kind, const std::function<void()>& show,
                                  std::atomic<std::uint32_t>& duration) {
  if (!Ended(kind)) return false;
  const std::uint32_t started = job_start_;
  FreeSlot();
  if (show) show();
  duration = platform::TickCount() - started;
  PostWaitingRequests();
  return true;
}

bool TDirectorySession::FinishSearch(const std::function<void()>& show) {
  if (!FinishJob(TJobKind::kSearch, show, db_->Durations.SearchTime)) return false;
  ++searches_finished_;
  return true;
}

void TDirectorySession::PostWaitingRequests() {
  // Posted only once the job's end is handled: a request may arrive between
  // the job's end and that, and must not be lost. A save asked for during
  // the job starts first; a search that came meanwhile then waits for it.
  if (save_requested_) host_.PostSaveRequest();
  if (search_pending_) host_.PostSearchRequest(pending_forced_);
  search_pending_ = false;
  pending_forced_ = false;
}

void TDirectorySession::AskWarmUpToGiveWay() {
  if (WarmingUp()) warm_up_->Stop = true;
}

void TDirectorySession::WarmUpWhenIdle() {
  if (!warm_up_enabled_ || searches_finished_ == 0 || warm_up_failed_ || warmed_up_ || shut_down_ ||
      slot_.kind != TJobKind::kNone || search_pending_ || save_requested_) {
    return;
  }
  if (!warm_up_) warm_up_ = std::make_shared<WarmUpJob>(db_->Engine);
  warm_up_->Stop = false;
  StartJob(TJobKind::kWarmUp, [job = warm_up_] {
    while (!job->Stop && job->Work.Step()) {
    }
  });
}

void TDirectorySession::FinishWarmUp(const TJobFailure& failure) {
  FreeSlot();
  // Memory is short: the searches make what they need when they need it.
  if (failure) warm_up_failed_ = true;
  warmed_up_ = !failure && warm_up_->Work.Done();
  // A warm-up stops early only for a request, which is posted now.
  PostWaitingRequests();
}

std::int64_t TDirectorySession::CountMatches(const TSearchParams& params) {
  assert(prepared_ && slot_.kind == TJobKind::kNone);
  HandOverSearchState();
  return db_->Engine.SearchList->CountMatches(params);
}

void TDirectorySession::RequestSave(const std::filesystem::path& path) {
  if (shut_down_ || save_requested_ || SaveRunning()) return;
  save_requested_ = true;
  save_path_ = path;
  host_.PostSaveRequest();
}

bool TDirectorySession::StartRequestedSave() {
  if (!save_requested_ || !prepared_ || shut_down_) return false;
  // The typing timer still fires under the save dialog: a search may have
  // started meanwhile. The save then starts when it has finished.
  if (slot_.kind != TJobKind::kNone) {
    AskWarmUpToGiveWay();
    return false;
  }
  save_requested_ = false;
  db_->WaitText.Set(db_->Texts.MessSaveToFile);
  db_->Durations.SaveFileTime = platform::TickCount();
  const TSearchList* search = db_->Engine.SearchList.get();
  StartJob(TJobKind::kSave, [search, path = save_path_] { search->SaveToFile(path); });
  return true;
}

bool TDirectorySession::FinishSave(const std::function<void()>& show) {
  return FinishJob(TJobKind::kSave, show, db_->Durations.SaveFileTime);
}

std::exception_ptr TDirectorySession::Shutdown(const std::function<void()>& save_settings) {
  if (shut_down_) return nullptr;
  shut_down_ = true;
  db_->StopRequested = true;
  AskWarmUpToGiveWay();
  std::exception_ptr failure;
  if (save_settings) {
    try {
      save_settings();
    } catch (...) {
      failure = std::current_exception();
    }
  }
  mailbox_->Close();
  jobs_outlived_shutdown_ = !runner_->WaitForAll(kJobWaitBound);
  if (!jobs_outlived_shutdown_) FreeEngine(db_->Engine);
  return failure;
}

}  // namespace olvendrix
