#include "job_runner.h"

#include <condition_variable>
#include <list>
#include <mutex>

#include "exec_thread.h"

namespace olvendrix {
namespace {

class TThreadJobRunner : public TJobRunner {
 public:
  ~TThreadJobRunner() override {
    // Each thread's destructor joins it.
    jobs_.clear();
  }

  void Start(std::function<void()> body, std::function<void(const TJobFailure&)> ended) override {
    JoinEnded();
    jobs_.emplace_back();
    Job& job = jobs_.back();
    job.body = std::move(body);
    // The end is reported on the job's own thread: the session hands it to
    // the main thread itself, and can drop it there once it is shutting down.
    job.thread = std::make_unique<TExecThread>(RunBody, &job.body, [](std::function<void()> task) { task(); });
    job.thread->OnTerminate = [this, &job, ended = std::move(ended)](TExecThread& thread) {
      TJobFailure failure;
      if (thread.FatalException()) failure = TJobError{thread.FatalMessage(), thread.JobMessage()};
      ended(failure);
      {
        std::lock_guard<std::mutex> lock(mutex_);
        job.ended = true;
      }
      all_ended_.notify_all();
    };
    job.thread->Resume();
  }

  bool WaitForAll(std::chrono::milliseconds timeout) override {
    std::unique_lock<std::mutex> lock(mutex_);
    const bool none_left = all_ended_.wait_for(lock, timeout, [this] {
      for (const Job& job : jobs_) {
        if (!job.ended) return false;
      }
      return true;
    });
    lock.unlock();
    if (none_left) JoinEnded();
    return none_left;
  }

 private:
  struct Job {
    std::function<void()> body;
    std::unique_ptr<TExecThread> thread;
    bool ended = false;  // guarded by mutex_
  };

  static void RunBody(void* body) { (*static_cast<std::function<void()>*>(body))(); }

  // Joins and forgets the jobs whose end has been reported: what is left of
  // their threads is the return from OnTerminate.
  void JoinEnded() {
    std::lock_guard<std::mutex> lock(mutex_);
    for (auto job = jobs_.begin(); job != jobs_.end();) {
      if (job->ended) {
        job->thread->WaitFor();
        job = jobs_.erase(job);
      } else {
        ++job;
      }
    }
  }

  std::mutex mutex_;
  std::condition_variable all_ended_;
  // A list: a running job's OnTerminate keeps a reference to its entry.
  std::list<Job> jobs_;
};

}  // namespace

std::unique_ptr<TJobRunner> MakeThreadJobRunner() { return std::make_unique<TThreadJobRunner>(); }

}  // namespace olvendrix
