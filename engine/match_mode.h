// The per-field match modes of a search.
#pragma once

#include <array>
#include <cstdint>

namespace olvendrix {

// One byte per field. A value other than the three named ones places no
// condition on its field (a stored setting may hold any digit).
enum TMatchMode : std::uint8_t { mtBegins = 0, mtContains = 1, mtEquals = 2 };

// The modes of the five searched fields, in field order.
using TMatchModes = std::array<TMatchMode, 5>;

}  // namespace olvendrix
