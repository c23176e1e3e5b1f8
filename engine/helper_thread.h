// Two-core work: a task on a second thread beside one on the calling thread.
//
// RunBeside starts a thread for one call (preparation, once per start).
// THelperThread keeps one thread for many calls: a search must not pay for
// a new thread each time, which under Wine costs over a millisecond.
//
// Both return when both tasks have ended and raise the calling thread's
// task's failure if any, else the other's. Without a second core both tasks
// run in turn on the calling thread, so callers split work without asking.
// A THelperThread is used by one calling thread at a time; destroying it
// ends its thread.
#pragma once

#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>

namespace olvendrix {

void RunBeside(const std::function<void()>& here, const std::function<void()>& beside);

// The machine has a second core for RunBeside to use. Asked once: the system
// call behind it costs 7 µs natively and 20 µs under Wine.
bool SecondCoreAvailable();

class THelperThread {
 public:
  THelperThread() = default;
  THelperThread(const THelperThread&) = delete;
  THelperThread& operator=(const THelperThread&) = delete;
  ~THelperThread();

  // The thread starts on the first call. Raises std::system_error when no
  // thread can be made.
  void RunBeside(const std::function<void()>& here, const std::function<void()>& beside);

 private:
  void Serve();

  std::mutex mutex_;
  std::condition_variable changed_;
  const std::function<void()>* task_ = nullptr;  // set while the helper has work
  std::exception_ptr failure_;
  bool stopping_ = false;
  std::thread thread_;
};

}  // namespace olvendrix
