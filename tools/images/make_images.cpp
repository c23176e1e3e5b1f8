// make_images: draws the program's pictures from simple shapes and writes
// them as the resources resources/images.bmp (sixteen 16 x 16 pictures side
// by side, 32-bit with alpha), resources/olvendrix.ico (32 x 32, 16 x 16),
// resources/checks.bmp (the options grid's four 32 x 32 cell pictures, 32-bit
// with alpha), resources/checklistbkg.bmp (the grid's 72 x 72 background
// tile, 24-bit), resources/about.bmp (the about box's 85 x 283 picture,
// 256 colours) and resources/okbutton.bmp, resources/cancelbutton.bmp (the
// standard 16 x 16 pictures of the OK and Cancel buttons, 32-bit with alpha).
// Usage: make_images OUTPUT_FOLDER
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <functional>
#include <iostream>
#include <string>
#include <vector>

namespace {

struct Color {
  double r, g, b, a;
};

class Canvas {
 public:
  Canvas(int width, int height) : width_(width), height_(height), pixels_(width * height, {0, 0, 0, 0}) {}
  // Paints where `inside` holds, 4 x 4 samples a pixel; coordinates are in
  // 16ths of the picture so every shape scales with its size.
  void Fill(int left, int size, const std::function<bool(double, double)>& inside, Color color, int top = 0) {
    for (int y = 0; y < size && top + y < height_; ++y) {
      for (int x = 0; x < size && left + x < width_; ++x) {
        int hits = 0;
        for (int sy = 0; sy < 4; ++sy) {
          for (int sx = 0; sx < 4; ++sx) {
            const double u = (x + (sx + 0.5) / 4) * 16.0 / size;
            const double v = (y + (sy + 0.5) / 4) * 16.0 / size;
            hits += inside(u, v);
          }
        }
        if (hits == 0) continue;
        Color& p = pixels_[(top + y) * width_ + left + x];
        const double a = color.a * hits / 16.0;
        p = {color.r * a + p.r * (1 - a), color.g * a + p.g * (1 - a), color.b * a + p.b * (1 - a),
             a + p.a * (1 - a)};
      }
    }
  }
  // BGRA bytes, bottom row first, straight (not premultiplied) alpha.
  std::string BottomUpBgra() const {
    std::string out;
    for (int y = height_ - 1; y >= 0; --y) {
      for (int x = 0; x < width_; ++x) {
        const Color& p = pixels_[y * width_ + x];
        const double a = p.a > 0 ? p.a : 1;
        out += static_cast<char>(std::lround(255 * p.b / a));
        out += static_cast<char>(std::lround(255 * p.g / a));
        out += static_cast<char>(std::lround(255 * p.r / a));
        out += static_cast<char>(std::lround(255 * p.a));
      }
    }
    return out;
  }
  // Every pixel from a function of its position, opaque.
  void Paint(const std::function<Color(int, int)>& colour_at) {
    for (int y = 0; y < height_; ++y) {
      for (int x = 0; x < width_; ++x) pixels_[y * width_ + x] = colour_at(x, y);
    }
  }
  const Color& At(int x, int y) const { return pixels_[y * width_ + x]; }
  int width() const { return width_; }
  int height() const { return height_; }

 private:
  int width_, height_;
  std::vector<Color> pixels_;
};

using Shape = std::function<bool(double, double)>;

Shape Rect(double x0, double y0, double x1, double y1) {
  return [=](double x, double y) { return x >= x0 && x <= x1 && y >= y0 && y <= y1; };
}
Shape Circle(double cx, double cy, double r) {
  return [=](double x, double y) { return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r; };
}
Shape Ring(double cx, double cy, double outer, double inner) {
  return [=](double x, double y) {
    const double d = (x - cx) * (x - cx) + (y - cy) * (y - cy);
    return d <= outer * outer && d >= inner * inner;
  };
}
Shape Polygon(std::vector<std::pair<double, double>> points) {
  return [points](double x, double y) {
    bool inside = false;
    for (std::size_t i = 0, j = points.size() - 1; i < points.size(); j = i++) {
      const auto [xi, yi] = points[i];
      const auto [xj, yj] = points[j];
      if ((yi > y) != (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi) inside = !inside;
    }
    return inside;
  };
}
Shape Line(double x0, double y0, double x1, double y1, double width) {
  return [=](double x, double y) {
    const double dx = x1 - x0, dy = y1 - y0;
    const double t = std::fmax(0, std::fmin(1, ((x - x0) * dx + (y - y0) * dy) / (dx * dx + dy * dy)));
    const double px = x0 + t * dx - x, py = y0 + t * dy - y;
    return px * px + py * py <= width * width / 4;
  };
}
Shape Flip(const Shape& shape) {  // upside down
  return [shape](double x, double y) { return shape(x, 16 - y); };
}

const Color kBlue{0.10, 0.30, 0.70, 1}, kDarkBlue{0.05, 0.15, 0.45, 1}, kWhite{1, 1, 1, 1},
    kGrey{0.6, 0.6, 0.65, 1}, kBlack{0.08, 0.08, 0.08, 1}, kRed{0.80, 0.12, 0.10, 1},
    kGreen{0.10, 0.60, 0.15, 1}, kYellow{1.0, 0.80, 0.10, 1}, kBrown{0.55, 0.33, 0.12, 1},
    kSkin{0.95, 0.75, 0.55, 1};

Shape UpArrow(double top) {
  return [=](double x, double y) {
    return Polygon({{8, top}, {14, top + 6}, {2, top + 6}})(x, y) || Rect(6, top + 6, 10, 14)(x, y);
  };
}
Shape DoubleUp() {
  return [](double x, double y) {
    return Polygon({{8, 1}, {14, 7}, {2, 7}})(x, y) || Polygon({{8, 8}, {14, 14}, {2, 14}})(x, y);
  };
}
Shape ArrowUnderBar() {
  return [](double x, double y) { return Rect(2, 1.5, 14, 3.5)(x, y) || UpArrow(5)(x, y); };
}

// The sixteen pictures of the window's image list, in index order.
void DrawPicture(Canvas& canvas, int index, int left, int size) {
  const auto fill = [&](const Shape& shape, Color color) { canvas.Fill(left, size, shape, color); };
  switch (index) {
    case 0:  // floppy disk
      fill(Rect(2, 2, 14, 14), kDarkBlue);
      fill(Rect(4.5, 2, 11.5, 7), kWhite);
      fill(Rect(5.5, 10, 10.5, 14), kGrey);
      break;
    case 1:  // upward triangle over bars
      fill(Polygon({{8, 2}, {14, 8.5}, {2, 8.5}}), kRed);
      fill(Rect(2, 10.5, 14, 12), kRed);
      fill(Rect(2, 13, 14, 14.5), kRed);
      break;
    case 2:  // right-pointing triangle
      fill(Polygon({{4, 2}, {13.5, 8}, {4, 14}}), kGreen);
      break;
    case 3:  // black bomb
      fill(Circle(7, 10, 5), kBlack);
      fill(Line(9.5, 6, 12.5, 3, 1.2), kBrown);
      fill(Circle(13, 2.5, 1.8), kYellow);
      fill(Circle(5.5, 8.5, 1.2), kGrey);
      break;
    case 4:  // hammer
      fill(Line(3, 14, 9.5, 6.5, 2.2), kBrown);
      fill(Polygon({{6.5, 2.5}, {9.5, 1}, {14.5, 6.5}, {11.5, 9}}), kGrey);
      break;
    case 5: fill(ArrowUnderBar(), kBlue); break;
    case 6: fill(DoubleUp(), kBlue); break;
    case 7: fill(UpArrow(2), kBlue); break;
    case 8: fill(Flip(UpArrow(2)), kBlue); break;
    case 9: fill(Flip(DoubleUp()), kBlue); break;
    case 10: fill(Flip(ArrowUnderBar()), kBlue); break;
    case 11:  // life buoy
      fill(Ring(8, 8, 7, 3.5), kRed);
      fill([](double x, double y) {
        const double angle = std::atan2(y - 8, x - 8) * 4 / 3.14159265358979;
        return Ring(8, 8, 7, 3.5)(x, y) && static_cast<int>(std::floor(angle + 4.5)) % 2 == 0;
      }, kWhite);
      break;
    case 12:  // globe
      fill(Circle(8, 8, 7), kBlue);
      fill(Polygon({{4, 4}, {8, 3}, {9, 6}, {6, 9}, {3, 8}}), kGreen);
      fill(Polygon({{9, 9}, {13, 8}, {12, 13}, {9, 12}}), kGreen);
      fill(Ring(8, 8, 7, 6.3), kDarkBlue);
      break;
    case 13:  // two people
      fill(Circle(5.5, 4.5, 2.5), kSkin);
      fill([](double x, double y) { return y >= 8 && Circle(5.5, 13, 5)(x, y); }, kBlue);
      fill(Circle(11, 5.5, 2.3), kSkin);
      fill([](double x, double y) { return y >= 9 && Circle(11, 14, 4.5)(x, y); }, kGreen);
      break;
    case 14:  // green tick
      fill(Polygon({{2, 8.5}, {4.5, 6.5}, {7, 9.5}, {13, 2.5}, {15, 4.5}, {7, 14}}), kGreen);
      break;
    case 15:  // envelope
      fill(Rect(1.5, 3.5, 14.5, 12.5), kGrey);
      fill(Rect(2.2, 4.2, 13.8, 11.8), kWhite);
      fill(Line(2.5, 4.5, 8, 9, 1), kGrey);
      fill(Line(13.5, 4.5, 8, 9, 1), kGrey);
      break;
  }
}

// The application icon: a blue directory book with a white handset.
void DrawIcon(Canvas& canvas, int size) {
  const auto fill = [&](const Shape& shape, Color color) { canvas.Fill(0, size, shape, color); };
  fill(Rect(2, 1, 14, 15), kDarkBlue);
  fill(Rect(3.5, 1, 4.5, 15), kBlue);
  fill(Line(7, 5, 12, 11, 2.2), kWhite);
  fill(Circle(7, 5, 2), kWhite);
  fill(Circle(12, 11, 2), kWhite);
}

// The options grid's cell pictures: a box, ticked or empty, blue where the
// mode is allowed and grey where it is not.
void DrawCheck(Canvas& canvas, int index, int left) {
  const bool ticked = index < 2;
  const Color frame = index % 2 == 0 ? kBlue : kGrey;
  const auto fill = [&](const Shape& shape, Color color) { canvas.Fill(left, 32, shape, color); };
  fill(Rect(2.5, 2.5, 13.5, 13.5), frame);
  fill(Rect(3.7, 3.7, 12.3, 12.3), kWhite);
  if (ticked) fill(Polygon({{4.5, 8.5}, {6.2, 7}, {7.6, 9}, {11.6, 4.2}, {13, 5.6}, {7.6, 11.8}}), frame);
}

// The standard button pictures: a green tick for OK, a red cross for Cancel.
Canvas ButtonPicture(bool ok) {
  Canvas canvas(16, 16);
  const auto fill = [&](const Shape& shape, Color color) { canvas.Fill(0, 16, shape, color); };
  if (ok) {
    fill(Polygon({{1.5, 8.5}, {4, 6.2}, {6.5, 9}, {12.5, 2.5}, {14.8, 4.8}, {6.5, 13.8}}), kGreen);
  } else {
    fill(Line(3, 3, 13, 13, 2.6), kRed);
    fill(Line(13, 3, 3, 13, 2.6), kRed);
  }
  return canvas;
}

// A small, repeatable grain for the light-grey background tile.
double Grain(int x, int y) {
  std::uint32_t h = static_cast<std::uint32_t>(x) * 73856093u ^ static_cast<std::uint32_t>(y) * 19349663u;
  h ^= h >> 13;
  h *= 0x5bd1e995u;
  h ^= h >> 15;
  return (h % 1000) / 1000.0;
}

// The 72 x 72 tile: light grey with a fine texture; opposite edges match, so
// the tiles join without seams.
Canvas BackgroundTile() {
  Canvas tile(72, 72);
  tile.Paint([](int x, int y) {
    const double weave = 0.012 * std::sin(x * 3.14159265358979 / 6) * std::sin(y * 3.14159265358979 / 6);
    const double v = 0.86 + 0.035 * Grain(x, y) + weave;
    return Color{v, v, v + 0.01, 1};
  });
  return tile;
}

// The about box's picture: a night-blue band that lightens downwards, the
// program's book and handset near the top and a row of dialing keys below.
Color AboutBackground(double t) { return Color{0.05 + 0.35 * t, 0.12 + 0.45 * t, 0.35 + 0.5 * t, 1}; }

Canvas AboutPicture() {
  Canvas picture(85, 283);
  picture.Paint([](int, int y) { return AboutBackground(y / 282.0); });
  const auto fill = [&](const Shape& shape, Color color, int left, int top, int size) {
    picture.Fill(left, size, shape, color, top);
  };
  fill(Rect(2, 1, 14, 15), kDarkBlue, 10, 14, 64);
  fill(Rect(3.5, 1, 4.5, 15), kBlue, 10, 14, 64);
  fill(Line(7, 5, 12, 11, 2.2), kWhite, 10, 14, 64);
  fill(Circle(7, 5, 2), kWhite, 10, 14, 64);
  fill(Circle(12, 11, 2), kWhite, 10, 14, 64);
  for (int key = 0; key < 12; ++key) {
    const int left = 12 + (key % 3) * 22, top = 110 + (key / 3) * 24;
    fill(Circle(8, 8, 7), Color{0.85, 0.9, 1.0, 1}, left, top, 18);
    fill(Circle(8, 8, 5.2), Color{0.3, 0.45, 0.75, 1}, left, top, 18);
  }
  fill(Ring(8, 8, 7.5, 6.5), Color{1.0, 0.85, 0.3, 1}, 17, 222, 52);
  return picture;
}

void Put(std::string& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

std::string InfoHeader(int width, int height_in_header, std::uint32_t image_bytes, int bits = 32,
                       std::uint32_t colours = 0) {
  std::string h;
  Put(h, 40, 4);
  Put(h, static_cast<std::uint32_t>(width), 4);
  Put(h, static_cast<std::uint32_t>(height_in_header), 4);
  Put(h, 1, 2);
  Put(h, static_cast<std::uint32_t>(bits), 2);
  Put(h, 0, 4);  // BI_RGB
  Put(h, image_bytes, 4);
  Put(h, 2835, 4);
  Put(h, 2835, 4);
  Put(h, colours, 4);
  Put(h, 0, 4);
  return h;
}

std::string FileOf(const std::string& info_and_palette, const std::string& pixels) {
  std::string file = "BM";
  Put(file, static_cast<std::uint32_t>(14 + info_and_palette.size() + pixels.size()), 4);
  Put(file, 0, 4);
  Put(file, static_cast<std::uint32_t>(14 + info_and_palette.size()), 4);
  return file + info_and_palette + pixels;
}

std::string BitmapFile(const Canvas& canvas) {
  const std::string pixels = canvas.BottomUpBgra();
  return FileOf(InfoHeader(canvas.width(), canvas.height(), static_cast<std::uint32_t>(pixels.size())), pixels);
}

std::uint8_t Byte(double v) { return static_cast<std::uint8_t>(std::lround(255 * std::min(1.0, std::max(0.0, v)))); }

// 24-bit, rows padded to four bytes, the canvas taken as opaque.
std::string Bitmap24File(const Canvas& canvas) {
  std::string pixels;
  for (int y = canvas.height() - 1; y >= 0; --y) {
    for (int x = 0; x < canvas.width(); ++x) {
      const Color& p = canvas.At(x, y);
      pixels += static_cast<char>(Byte(p.b));
      pixels += static_cast<char>(Byte(p.g));
      pixels += static_cast<char>(Byte(p.r));
    }
    while (pixels.size() % 4 != 0) pixels += '\0';
  }
  return FileOf(InfoHeader(canvas.width(), canvas.height(), static_cast<std::uint32_t>(pixels.size()), 24), pixels);
}

// 256 colours: the background's gradient in 160 steps and a 4 x 4 x 6 cube
// for the shapes and their edges; each pixel takes the nearest entry.
std::string Bitmap8File(const Canvas& canvas) {
  std::vector<Color> palette;
  for (int i = 0; i < 160; ++i) palette.push_back(AboutBackground(i / 159.0));
  for (int r = 0; r < 4; ++r) {
    for (int g = 0; g < 4; ++g) {
      for (int b = 0; b < 6; ++b) palette.push_back({r / 3.0, g / 3.0, b / 5.0, 1});
    }
  }
  std::string table;
  for (const Color& c : palette) {
    table += static_cast<char>(Byte(c.b));
    table += static_cast<char>(Byte(c.g));
    table += static_cast<char>(Byte(c.r));
    table += '\0';
  }
  std::string pixels;
  for (int y = canvas.height() - 1; y >= 0; --y) {
    for (int x = 0; x < canvas.width(); ++x) {
      const Color& p = canvas.At(x, y);
      std::size_t best = 0;
      double best_distance = 1e9;
      for (std::size_t i = 0; i < palette.size(); ++i) {
        const double d = (p.r - palette[i].r) * (p.r - palette[i].r) + (p.g - palette[i].g) * (p.g - palette[i].g) +
                         (p.b - palette[i].b) * (p.b - palette[i].b);
        if (d < best_distance) best_distance = d, best = i;
      }
      pixels += static_cast<char>(best);
    }
    while (pixels.size() % 4 != 0) pixels += '\0';
  }
  return FileOf(InfoHeader(canvas.width(), canvas.height(), static_cast<std::uint32_t>(pixels.size()), 8, 256) + table,
                pixels);
}

std::string IconFile(const std::vector<Canvas>& sizes) {
  std::vector<std::string> images;
  for (const Canvas& canvas : sizes) {
    const std::string pixels = canvas.BottomUpBgra();
    const int mask_row = ((canvas.width() + 31) / 32) * 4;
    const std::string mask(static_cast<std::size_t>(mask_row * canvas.height()), '\0');
    images.push_back(InfoHeader(canvas.width(), canvas.height() * 2,
                                static_cast<std::uint32_t>(pixels.size() + mask.size())) +
                     pixels + mask);
  }
  std::string file;
  Put(file, 0, 2);
  Put(file, 1, 2);
  Put(file, static_cast<std::uint32_t>(sizes.size()), 2);
  std::uint32_t offset = 6 + 16 * static_cast<std::uint32_t>(sizes.size());
  for (std::size_t i = 0; i < sizes.size(); ++i) {
    Put(file, static_cast<std::uint32_t>(sizes[i].width()), 1);
    Put(file, static_cast<std::uint32_t>(sizes[i].height()), 1);
    Put(file, 0, 2);
    Put(file, 1, 2);
    Put(file, 32, 2);
    Put(file, static_cast<std::uint32_t>(images[i].size()), 4);
    Put(file, offset, 4);
    offset += static_cast<std::uint32_t>(images[i].size());
  }
  for (const std::string& image : images) file += image;
  return file;
}

bool Write(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: make_images OUTPUT_FOLDER\n";
    return 2;
  }
  const std::string folder = argv[1];
  Canvas strip(16 * 16, 16);
  for (int i = 0; i < 16; ++i) DrawPicture(strip, i, 16 * i, 16);
  std::vector<Canvas> icon_sizes{Canvas(32, 32), Canvas(16, 16)};
  for (Canvas& canvas : icon_sizes) DrawIcon(canvas, canvas.width());
  Canvas checks(4 * 32, 32);
  for (int i = 0; i < 4; ++i) DrawCheck(checks, i, 32 * i);
  if (!Write(folder + "/images.bmp", BitmapFile(strip)) ||
      !Write(folder + "/olvendrix.ico", IconFile(icon_sizes)) || !Write(folder + "/checks.bmp", BitmapFile(checks)) ||
      !Write(folder + "/checklistbkg.bmp", Bitmap24File(BackgroundTile())) ||
      !Write(folder + "/about.bmp", Bitmap8File(AboutPicture())) ||
      !Write(folder + "/okbutton.bmp", BitmapFile(ButtonPicture(true))) ||
      !Write(folder + "/cancelbutton.bmp", BitmapFile(ButtonPicture(false)))) {
    std::cerr << "make_images: cannot write into " << folder << "\n";
    return 1;
  }
  return 0;
}
