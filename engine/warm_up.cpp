#include "warm_up.h"

#include <algorithm>

#include "file_helpers.h"

namespace olvendrix {

TWarmUp::TWarmUp(const TDBFConverter& store, const std::array<const TSortList*, 3>& orders, TSearchList& search)
    : store_(store), orders_(orders), search_(search) {}

bool TWarmUp::Step() {
  switch (stage_) {
    case Stage::kPositions:
      if (orders_[order_]->BuildPositionsStep(kRanksPerStep) && ++order_ == 3) stage_ = Stage::kStore;
      break;
    case Stage::kStore: {
      const std::uint64_t end = std::min(offset_ + kBytesPerStep, store_.Size());
      FaultInForReading(store_.Data() + offset_, end - offset_);
      offset_ = end;
      if (offset_ == store_.Size()) {
        stage_ = Stage::kWork;
        offset_ = 0;
      }
      break;
    }
    case Stage::kWork: {
      const std::uint64_t end = std::min(offset_ + kBytesPerStep, search_.WorkBytes());
      search_.FaultInWork(offset_, end);
      offset_ = end;
      if (offset_ == search_.WorkBytes()) stage_ = Stage::kDone;
      break;
    }
    case Stage::kDone:
      break;
  }
  return !Done();
}

}  // namespace olvendrix
