#include "mode_grid.h"

#include <gtest/gtest.h>

namespace olvendrix {
namespace {

constexpr int Cell(int row, int field) { return row * kGridColumns + field; }

TEST(ModeGrid, EqualsIsForHouseAndApartmentOnly) {
  TMatchModes modes{};
  EXPECT_EQ(CellPicture(Cell(2, 0), modes), 3);
  EXPECT_FALSE(ChooseCell(Cell(2, 0), modes));  // the telephone keeps its mode
  EXPECT_EQ(modes[0], mtBegins);
  EXPECT_TRUE(ChooseCell(Cell(2, 3), modes));
  EXPECT_EQ(modes[3], mtEquals);
  EXPECT_EQ(CellPicture(Cell(2, 3), modes), 0);
  EXPECT_EQ(CellPicture(Cell(0, 3), modes), 2);
  EXPECT_FALSE(ChooseCell(Cell(2, 3), modes));  // already chosen
}

TEST(ModeGrid, AStoredModeOutsideTheOfferShowsAndMovesAway) {
  TMatchModes modes{mtBegins, mtBegins, mtEquals, mtBegins, static_cast<TMatchMode>(7)};
  EXPECT_EQ(CellPicture(Cell(2, 2), modes), 1);  // chosen, not allowed
  EXPECT_TRUE(ChooseCell(Cell(1, 2), modes));
  EXPECT_EQ(CellPicture(Cell(2, 2), modes), 3);
  EXPECT_EQ(CellPicture(Cell(1, 2), modes), 0);
  // A digit past the three: no cell of that column is chosen.
  for (int row = 0; row < kGridRows; ++row) EXPECT_GE(CellPicture(Cell(row, 4), modes), 2);
  EXPECT_FALSE(ChooseCell(-1, modes));
  EXPECT_FALSE(ChooseCell(kGridCells, modes));
}

}  // namespace
}  // namespace olvendrix
