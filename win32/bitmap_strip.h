// A row of equal square pictures cut from one 32-bit bitmap resource, each
// its own bitmap with premultiplied alpha, as menus draw them.
#pragma once

#include <windows.h>

#include <vector>

namespace olvendrix::win32 {

class TBitmapStrip {
 public:
  TBitmapStrip() = default;
  TBitmapStrip(const TBitmapStrip&) = delete;
  TBitmapStrip& operator=(const TBitmapStrip&) = delete;
  ~TBitmapStrip() { Clear(); }

  // Cuts `count` pictures of `size` x `size` from the bitmap resource
  // `name`. Leaves the strip empty when the resource is missing or not 32-bit.
  void Load(HINSTANCE instance, const wchar_t* name, int count, int size);
  // Picture `index`, or null (none, or not loaded). The strip owns it.
  HBITMAP operator[](int index) const;

 private:
  void Clear();

  std::vector<HBITMAP> pictures_;
};

}  // namespace olvendrix::win32
