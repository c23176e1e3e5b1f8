// A checksum of picture bytes (32-bit FNV-1a), by which the about box tells
// that its picture is the one it was built with.
#pragma once

#include <cstddef>
#include <cstdint>

namespace olvendrix {

std::uint32_t PictureChecksum(const void* data, std::size_t size);

// The checksum of the about box's picture resource: resources/about.bmp
// without its 14-byte file header. A test keeps the two in step.
constexpr std::uint32_t kAboutPictureChecksum = 0xDAD62AA7;

}  // namespace olvendrix
