#include "mode_grid.h"

namespace olvendrix {

bool ModeAllowed(int field, int mode) { return mode != mtEquals || field >= 3; }

int CellPicture(int cell, const TMatchModes& modes) {
  const int row = cell / kGridColumns, field = cell % kGridColumns;
  const bool allowed = ModeAllowed(field, row);
  const bool chosen = modes[field] == row;
  if (chosen) return allowed ? 0 : 1;
  return allowed ? 2 : 3;
}

bool ChooseCell(int cell, TMatchModes& modes) {
  if (cell < 0 || cell >= kGridCells) return false;
  const int row = cell / kGridColumns, field = cell % kGridColumns;
  if (!ModeAllowed(field, row) || modes[field] == row) return false;
  modes[field] = static_cast<TMatchMode>(row);
  return true;
}

}  // namespace olvendrix
