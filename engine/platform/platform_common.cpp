// Parts of the platform seam that are the same on every system.
#include <atomic>

#include "platform/platform.h"

namespace olvendrix::platform {
namespace {
std::atomic<int> g_faults[static_cast<int>(testing::Fault::kCount)];
}

MappedMemory& MappedMemory::operator=(MappedMemory&& other) noexcept {
  if (this != &other) {
    Reset();
    data_ = other.data_;
    size_ = other.size_;
    writable_ = other.writable_;
    other.data_ = nullptr;
    other.size_ = 0;
    other.writable_ = false;
  }
  return *this;
}

void MappedMemory::Reset() {
  if (data_ != nullptr) internal::Unmap(data_, size_, writable_);
  data_ = nullptr;
  size_ = 0;
  writable_ = false;
}

FileLock& FileLock::operator=(FileLock&& other) noexcept {
  if (this != &other) {
    Release();
    handle_ = other.handle_;
    other.handle_ = kNone;
  }
  return *this;
}

void FileLock::Release() {
  if (handle_ != kNone) internal::Unlock(handle_);
  handle_ = kNone;
}

namespace testing {
void InjectFault(Fault fault, int count) { g_faults[static_cast<int>(fault)] = count; }
void ClearFaults() {
  for (auto& f : g_faults) f = 0;
}
}  // namespace testing

namespace internal {
bool TakeFault(testing::Fault fault) {
  auto& pending = g_faults[static_cast<int>(fault)];
  int now = pending.load();
  while (now > 0) {
    if (pending.compare_exchange_weak(now, now - 1)) return true;
  }
  return false;
}
}  // namespace internal

}  // namespace olvendrix::platform
