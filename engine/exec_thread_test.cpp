#include "exec_thread.h"

#include <gtest/gtest.h>

#include "errors.h"
#include "format.h"
#include "main_thread_queue.h"

namespace olvendrix {
namespace {

// Runs `proc` on a TExecThread and pumps the queue until its end; returns
// how often OnTerminate ran and the fatal message.
std::pair<int, std::string> RunJob(TJobProc proc, void* data) {
  TMainThreadQueue main_thread;
  int terminated = 0;
  std::string message;
  TExecThread job(proc, data, main_thread.Dispatcher());
  job.OnTerminate = [&](TExecThread& finished) {
    ++terminated;
    message = finished.FatalMessage();
    EXPECT_EQ(&finished, &job);
  };
  job.Resume();
  while (terminated == 0) main_thread.RunOne(std::chrono::milliseconds(1000));
  // Nothing else arrives later.
  EXPECT_FALSE(main_thread.RunOne(std::chrono::milliseconds(50)));
  return {terminated, message};
}

TEST(ExecThread, WrapsTheJobsExceptionMessage) {
  const auto [count, message] = RunJob(
      [](void*) { throw ESearchListError(Format("index out of bound: %i", {5})); }, nullptr);
  EXPECT_EQ(count, 1);
  EXPECT_EQ(message, "Error in thread:\n\r index out of bound: 5 ");
  std::string own;
  TMainThreadQueue main_thread;
  main_thread.RunJob([](void*) { throw EIndexListError("corrupt index file"); }, nullptr, &own);
  EXPECT_EQ(own, "corrupt index file");
}

TEST(ExecThread, AJobThatReturnsLeavesNoFatalException) {
  int ran = 0;
  const auto [count, message] = RunJob([](void* data) { ++*static_cast<int*>(data); }, &ran);
  EXPECT_EQ(ran, 1);
  EXPECT_EQ(count, 1);
  EXPECT_EQ(message, "");
}

TEST(ExecThread, ASecondResumeIsRefusedAndRunsNothing) {
  TMainThreadQueue main_thread;
  int ran = 0, terminated = 0;
  TExecThread job([](void* data) { ++*static_cast<int*>(data); }, &ran, main_thread.Dispatcher());
  job.OnTerminate = [&](TExecThread&) { ++terminated; };
  job.Resume();
  while (terminated == 0) main_thread.RunOne(std::chrono::milliseconds(1000));
  job.WaitFor();
  EXPECT_THROW(job.Resume(), EExecThreadError);
  EXPECT_FALSE(main_thread.RunOne(std::chrono::milliseconds(50)));
  EXPECT_EQ(ran, 1);
  EXPECT_EQ(terminated, 1);
}

TEST(ExecThread, OtherExceptionObjectsPassThroughUnwrapped) {
  TMainThreadQueue main_thread;
  bool ended = false;
  TExecThread job([](void*) { throw 42; }, nullptr, main_thread.Dispatcher());
  job.OnTerminate = [&](TExecThread& finished) {
    ended = true;
    try {
      std::rethrow_exception(finished.FatalException());
    } catch (int value) {
      EXPECT_EQ(value, 42);
    }
  };
  job.Resume();
  while (!ended) main_thread.RunOne(std::chrono::milliseconds(1000));
}

}  // namespace
}  // namespace olvendrix
