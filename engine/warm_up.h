// TWarmUp: the work a search would otherwise meet the first time it needs
// it, done beforehand in short steps while nobody waits: the whole positions
// of the three orders, then the pages of the store, then the pages of the
// search list's work regions. Its progress is kept here and in the orders,
// so a run of steps cut off anywhere resumes where it stopped.
//
// Threads: Step runs on whichever thread holds the engine for it (the
// session's job thread); meanwhile nothing else may search or change the
// engine, while the results and the store may be read. Not owned: the engine
// objects, which must outlive it.
#pragma once

#include <array>
#include <cstdint>

#include "dbf_converter.h"
#include "index_list.h"
#include "search_list.h"

namespace olvendrix {

class TWarmUp {
 public:
  // Records whose ranks one step inverts, store and work bytes one step maps:
  // each a few milliseconds of one core.
  static constexpr std::uint32_t kRanksPerStep = 1u << 17;
  static constexpr std::uint64_t kBytesPerStep = 8u << 20;

  TWarmUp(const TDBFConverter& store, const std::array<const TSortList*, 3>& orders, TSearchList& search);

  // Does one step; false once nothing is left (then it does nothing). Raises
  // the general allocation error when an order's positions region is
  // refused: nothing is lost, the orders stay as usable as before, and the
  // next call tries the same step again.
  bool Step();
  bool Done() const { return stage_ == Stage::kDone; }

 private:
  enum class Stage { kPositions, kStore, kWork, kDone };

  const TDBFConverter& store_;
  std::array<const TSortList*, 3> orders_;
  TSearchList& search_;
  Stage stage_ = Stage::kPositions;
  int order_ = 0;              // the order whose positions are being made
  std::uint64_t offset_ = 0;  // bytes of the store or the work regions done
};

}  // namespace olvendrix
