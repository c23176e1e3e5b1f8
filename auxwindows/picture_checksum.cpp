#include "picture_checksum.h"

namespace olvendrix {

std::uint32_t PictureChecksum(const void* data, std::size_t size) {
  std::uint32_t hash = 2166136261u;
  const auto* bytes = static_cast<const std::uint8_t*>(data);
  for (std::size_t i = 0; i < size; ++i) hash = (hash ^ bytes[i]) * 16777619u;
  return hash;
}

}  // namespace olvendrix
