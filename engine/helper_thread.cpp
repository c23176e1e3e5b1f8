#include "helper_thread.h"

namespace olvendrix {
namespace {

// Runs `here`, then waits for the other side; the failure of `here` wins.
void RunHereThenWait(const std::function<void()>& here, const std::function<void()>& wait) {
  try {
    here();
  } catch (...) {
    wait();
    throw;
  }
  wait();
}

// Both tasks in turn on this thread, failing as RunBeside does.
void RunInTurn(const std::function<void()>& here, const std::function<void()>& beside) {
  std::exception_ptr beside_failure;
  RunHereThenWait(here, [&] {
    try {
      beside();
    } catch (...) {
      beside_failure = std::current_exception();
    }
  });
  if (beside_failure) std::rethrow_exception(beside_failure);
}

}  // namespace

bool SecondCoreAvailable() {
  static const bool available = std::thread::hardware_concurrency() > 1;
  return available;
}

void RunBeside(const std::function<void()>& here, const std::function<void()>& beside) {
  if (!SecondCoreAvailable()) return RunInTurn(here, beside);
  std::exception_ptr beside_failure;
  std::thread helper([&] {
    try {
      beside();
    } catch (...) {
      beside_failure = std::current_exception();
    }
  });
  RunHereThenWait(here, [&] { helper.join(); });
  if (beside_failure) std::rethrow_exception(beside_failure);
}

THelperThread::~THelperThread() {
  if (!thread_.joinable()) return;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  thread_.join();
}

void THelperThread::RunBeside(const std::function<void()>& here, const std::function<void()>& beside) {
  if (!SecondCoreAvailable()) return RunInTurn(here, beside);
  if (!thread_.joinable()) thread_ = std::thread([this] { Serve(); });
  {
    std::lock_guard<std::mutex> lock(mutex_);
    task_ = &beside;
    failure_ = nullptr;
  }
  changed_.notify_all();
  RunHereThenWait(here, [&] {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [&] { return task_ == nullptr; });
  });
  if (failure_) std::rethrow_exception(failure_);
}

void THelperThread::Serve() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    changed_.wait(lock, [&] { return task_ != nullptr || stopping_; });
    if (task_ == nullptr) return;
    const std::function<void()>& task = *task_;
    lock.unlock();
    std::exception_ptr failure;
    try {
      task();
    } catch (...) {
      failure = std::current_exception();
    }
    lock.lock();
    failure_ = failure;
    task_ = nullptr;
    changed_.notify_all();
  }
}

}  // namespace olvendrix
