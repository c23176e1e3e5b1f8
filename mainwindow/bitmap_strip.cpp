#include "bitmap_strip.h"

#include <cstdint>

namespace olvendrix::win32 {

void TBitmapStrip::Load(HINSTANCE instance, const wchar_t* name, int count, int size) {
  Clear();
  HBITMAP strip = static_cast<HBITMAP>(::LoadImageW(instance, name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  DIBSECTION section{};
  if (strip == nullptr || ::GetObjectW(strip, sizeof section, &section) != sizeof section ||
      section.dsBm.bmBitsPixel != 32) {
    if (strip != nullptr) ::DeleteObject(strip);
    return;
  }
  const auto* source = static_cast<const std::uint8_t*>(section.dsBm.bmBits);
  const int stride = section.dsBm.bmWidthBytes;
  for (int picture = 0; picture < count; ++picture) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = size;
    info.bmiHeader.biHeight = -size;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    pictures_.push_back(bitmap);
    if (bitmap == nullptr) continue;
    auto* target = static_cast<std::uint8_t*>(bits);
    for (int y = 0; y < size; ++y) {
      // The resource is stored bottom row first.
      const std::uint8_t* row = source + (size - 1 - y) * stride + picture * size * 4;
      for (int x = 0; x < size; ++x) {
        const std::uint8_t alpha = row[4 * x + 3];
        std::uint8_t* pixel = target + (y * size + x) * 4;
        for (int c = 0; c < 3; ++c) pixel[c] = static_cast<std::uint8_t>(row[4 * x + c] * alpha / 255);
        pixel[3] = alpha;
      }
    }
  }
  ::DeleteObject(strip);
}

HBITMAP TBitmapStrip::operator[](int index) const {
  return index >= 0 && index < static_cast<int>(pictures_.size()) ? pictures_[index] : nullptr;
}

void TBitmapStrip::Clear() {
  for (HBITMAP picture : pictures_) {
    if (picture != nullptr) ::DeleteObject(picture);
  }
  pictures_.clear();
}

}  // namespace olvendrix::win32
