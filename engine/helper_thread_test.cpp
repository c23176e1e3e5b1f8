#include "helper_thread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <string>

namespace olvendrix {
namespace {

std::string FailureOf(const std::function<void()>& call) {
  try {
    call();
  } catch (const std::runtime_error& e) {
    return e.what();
  }
  return "";
}

TEST(HelperThread, RunsBothSidesEveryTimeOnTwoThreads) {
  if (!SecondCoreAvailable()) GTEST_SKIP() << "one core: both sides run in turn";
  THelperThread helper;
  std::atomic<int> here{0}, beside{0};
  for (int i = 0; i < 200; ++i) {
    std::thread::id here_thread, beside_thread;
    helper.RunBeside([&] { here_thread = std::this_thread::get_id(); ++here; },
                     [&] { beside_thread = std::this_thread::get_id(); ++beside; });
    ASSERT_NE(here_thread, beside_thread);
  }
  EXPECT_EQ(here, 200);
  EXPECT_EQ(beside, 200);
}

TEST(HelperThread, TheCallersFailureComesFirstAndTheHelperLivesOn) {
  const auto fail = [](const char* text) { return [text] { throw std::runtime_error(text); }; };
  const auto fine = [] {};
  THelperThread helper;
  EXPECT_EQ(FailureOf([&] { helper.RunBeside(fail("here"), fail("beside")); }), "here");
  EXPECT_EQ(FailureOf([&] { helper.RunBeside(fine, fail("beside")); }), "beside");
  EXPECT_EQ(FailureOf([&] { helper.RunBeside(fine, fine); }), "");
  EXPECT_EQ(FailureOf([&] { RunBeside(fail("here"), fail("beside")); }), "here");
  EXPECT_EQ(FailureOf([&] { RunBeside(fine, fail("beside")); }), "beside");
}

}  // namespace
}  // namespace olvendrix
