// TExecThread: runs one job procedure on its own thread and hands its end to
// a completion handler on the owner's main thread.
//
// Created suspended; the owner sets OnTerminate, then calls Resume. When the
// job has ended, either way, the thread posts OnTerminate through the
// dispatcher the owner supplied (the window posts a message; tests and tools
// use TMainThreadQueue), so it runs on the main thread exactly once. A job
// that raises the program's Exception (or any std::exception) ends with an
// EExecThreadError "Error in thread:" LF CR " " + message + " " as its fatal
// exception; anything else passes through unchanged.
//
// The object must outlive the completion handler; destroying it waits for
// the thread.
#pragma once

#include <exception>
#include <functional>
#include <string>
#include <thread>

namespace olvendrix {

using TJobProc = void (*)(void* Data);
// Runs a task on the owner's main thread later; callable from any thread.
using TMainThreadDispatcher = std::function<void(std::function<void()>)>;

class TExecThread {
 public:
  TExecThread(TJobProc Proc, void* Data, TMainThreadDispatcher dispatcher);
  TExecThread(const TExecThread&) = delete;
  TExecThread& operator=(const TExecThread&) = delete;
  ~TExecThread();

  // Run on the main thread once the job has ended.
  std::function<void(TExecThread& job)> OnTerminate;

  // Starts the job; call once, after setting OnTerminate. Raises
  // EExecThreadError "Thread already started" when called again, or the
  // standard std::system_error when no thread can be made.
  void Resume();
  // Waits until the thread has ended.
  void WaitFor();

  // The exception that ended the job, or null; valid in OnTerminate.
  std::exception_ptr FatalException() const { return fatal_; }
  // The fatal exception's message (Windows-1251), or empty.
  std::string FatalMessage() const;
  // The message the job itself raised, without the thread's wrapping; empty
  // when it succeeded.
  const std::string& JobMessage() const { return job_message_; }

 private:
  void Execute();

  TJobProc proc_;
  void* data_;
  TMainThreadDispatcher dispatcher_;
  std::exception_ptr fatal_;
  std::string job_message_;
  std::thread thread_;
  bool started_ = false;
};

}  // namespace olvendrix
