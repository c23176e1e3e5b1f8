// The options dialog's grid of match modes: fifteen cells, row = mode,
// column = field, and which modes each field allows. Pure functions.
#pragma once

#include "match_mode.h"

namespace olvendrix {

constexpr int kGridRows = 3;
constexpr int kGridColumns = 5;
constexpr int kGridCells = kGridRows * kGridColumns;

// Equals is offered only for the house and the apartment.
bool ModeAllowed(int field, int mode);

// The picture of cell k (row k / 5, field k % 5): 0 chosen and allowed,
// 1 chosen but not allowed (only a stored setting gets there), 2 allowed,
// 3 neither.
int CellPicture(int cell, const TMatchModes& modes);

// A click or key on cell k: makes its row the field's mode when that mode
// is allowed; true when the modes changed.
bool ChooseCell(int cell, TMatchModes& modes);

}  // namespace olvendrix
