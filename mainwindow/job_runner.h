// TJobRunner: where the directory session's jobs run. The program runs each
// job on a TExecThread of its own (MakeThreadJobRunner); tests run them when
// they choose, so that every interleaving of requests and job ends can be
// set up without a window and without timing.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace olvendrix {

// Why a job failed.
struct TJobError {
  // As the job thread wraps it: "Error in thread:" LF CR " " + message + " ".
  std::string Text;
  // What the job itself raised.
  std::string JobMessage;
};
// How a job ended: nothing when its body returned.
using TJobFailure = std::optional<TJobError>;

class TJobRunner {
 public:
  virtual ~TJobRunner() = default;

  // Runs `body` elsewhere and returns at once. Once the body has ended,
  // either way, `ended` is called once, on the thread that ran the body.
  // Called on the owner's main thread.
  virtual void Start(std::function<void()> body, std::function<void(const TJobFailure&)> ended) = 0;

  // Waits up to `timeout` until every body started has ended and its `ended`
  // has returned; true when none is left. Main thread.
  virtual bool WaitForAll(std::chrono::milliseconds timeout) = 0;
};

// One TExecThread per job. Finished threads are joined at the next Start,
// at WaitForAll, and on destruction, which waits for every job.
std::unique_ptr<TJobRunner> MakeThreadJobRunner();

}  // namespace olvendrix
