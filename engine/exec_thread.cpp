#include "exec_thread.h"

#include "errors.h"
#include "format.h"

namespace olvendrix {
namespace {

std::exception_ptr Wrapped(const std::string& message) {
  return std::make_exception_ptr(
      EExecThreadError(Format("Error in thread:%s %s ", {"\n\r", message})));
}

}  // namespace

TExecThread::TExecThread(TJobProc Proc, void* Data, TMainThreadDispatcher dispatcher)
    : proc_(Proc), data_(Data), dispatcher_(std::move(dispatcher)) {}

TExecThread::~TExecThread() { WaitFor(); }

void TExecThread::Resume() {
  // A second run would post a second completion for one job.
  if (started_) throw EExecThreadError("Thread already started");
  started_ = true;
  thread_ = std::thread([this] { Execute(); });
}

void TExecThread::WaitFor() {
  if (thread_.joinable() && thread_.get_id() != std::this_thread::get_id()) thread_.join();
}

void TExecThread::Execute() {
  try {
    proc_(data_);
  } catch (const std::exception& e) {
    job_message_ = MessageOf(e);
    fatal_ = Wrapped(job_message_);
  } catch (...) {
    job_message_ = "unknown exception";
    fatal_ = std::current_exception();
  }
  // Last step of the thread: the handler may destroy this object.
  dispatcher_([this] {
    if (OnTerminate) OnTerminate(*this);
  });
}

std::string TExecThread::FatalMessage() const {
  if (!fatal_) return {};
  try {
    std::rethrow_exception(fatal_);
  } catch (const std::exception& e) {
    return MessageOf(e);
  } catch (...) {
    return "unknown exception";
  }
}

}  // namespace olvendrix
