// TMainThreadQueue: a main-thread dispatcher for programs without a window
// (tests, command-line tools). Tasks posted from any thread run, in order, on
// the thread that calls RunOne.
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>

#include "exec_thread.h"

namespace olvendrix {

class TMainThreadQueue {
 public:
  // A dispatcher that posts to this queue; the queue must outlive it.
  TMainThreadDispatcher Dispatcher() {
    return [this](std::function<void()> task) { Post(std::move(task)); };
  }
  void Post(std::function<void()> task) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      tasks_.push_back(std::move(task));
    }
    ready_.notify_one();
  }
  // Runs the next task, waiting up to `timeout` for one; false when none came.
  // A zero timeout never waits: some thread libraries sleep a timer tick in
  // a wait of no time.
  bool RunOne(std::chrono::milliseconds timeout) {
    std::function<void()> task;
    {
      std::unique_lock<std::mutex> lock(mutex_);
      const auto waiting = [this] { return !tasks_.empty(); };
      if (timeout.count() == 0 ? !waiting() : !ready_.wait_for(lock, timeout, waiting)) return false;
      task = std::move(tasks_.front());
      tasks_.pop_front();
    }
    task();
    return true;
  }

  // Runs `proc(data)` on a TExecThread and serves this queue until the job
  // has ended; returns the thread's failure message, empty when it
  // succeeded, and the job's own message in `job_message` when given.
  std::string RunJob(TJobProc proc, void* data, std::string* job_message = nullptr) {
    bool ended = false;
    std::string failure;
    TExecThread job(proc, data, Dispatcher());
    job.OnTerminate = [&](TExecThread& finished) {
      failure = finished.FatalMessage();
      if (job_message != nullptr) *job_message = finished.JobMessage();
      ended = true;
    };
    job.Resume();
    while (!ended) RunOne(std::chrono::milliseconds(1000));
    return failure;
  }

 private:
  std::mutex mutex_;
  std::condition_variable ready_;
  std::deque<std::function<void()>> tasks_;
};

}  // namespace olvendrix
