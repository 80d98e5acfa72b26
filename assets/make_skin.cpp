// Makes the settings window's skin: title strip, close button (normal and
// pressed), option marks, check marks, the panel strip, the window's icon and
// the link cursor. One palette throughout, taken from the button faces: dark
// blue RGB(0, 0, 30) to lavender RGB(220, 220, 250) with soft blue-grey
// frames.
//
//   make_skin <assets folder>
//
// The output is the same on every run (no randomness; stb's JPEG writer is
// deterministic).
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>
#pragma GCC diagnostic pop

namespace {

struct Rgb {
  double r = 0, g = 0, b = 0;
};

Rgb Mix(Rgb a, Rgb b, double t) {
  t = std::clamp(t, 0.0, 1.0);
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

// The skin's tones.
constexpr Rgb kNight{0, 0, 30};
constexpr Rgb kNavy{28, 30, 78};
constexpr Rgb kDusk{62, 64, 124};
constexpr Rgb kSlate{104, 108, 158};
constexpr Rgb kMist{168, 170, 212};
constexpr Rgb kLavender{220, 220, 250};
constexpr Rgb kWhite{255, 255, 255};

struct Image {
  int w, h;
  std::vector<Rgb> px;
  Image(int w_, int h_, Rgb fill = {}) : w(w_), h(h_), px(static_cast<std::size_t>(w_) * h_, fill) {}
  Rgb& at(int x, int y) { return px[static_cast<std::size_t>(y) * w + x]; }
  // Blends a colour over a pixel with coverage a (0..1).
  void blend(int x, int y, Rgb c, double a) {
    if (x < 0 || y < 0 || x >= w || y >= h) return;
    at(x, y) = Mix(at(x, y), c, a);
  }
  std::vector<unsigned char> bytes() const {
    std::vector<unsigned char> out;
    for (const Rgb& p : px)
      for (double v : {p.r, p.g, p.b})
        out.push_back(static_cast<unsigned char>(std::lround(std::clamp(v, 0.0, 255.0))));
    return out;
  }
};

// Coverage of a pixel by a shape, 4 x 4 samples.
double Coverage(int x, int y, const std::function<bool(double, double)>& inside) {
  int n = 0;
  for (int sy = 0; sy < 4; ++sy)
    for (int sx = 0; sx < 4; ++sx) n += inside(x + (sx + 0.5) / 4, y + (sy + 0.5) / 4);
  return n / 16.0;
}

bool InRoundRect(double x, double y, double l, double t, double r, double b, double radius) {
  if (x < l || x > r || y < t || y > b) return false;
  const double cx = std::clamp(x, l + radius, r - radius), cy = std::clamp(y, t + radius, b - radius);
  return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= radius * radius;
}

double DistanceToSegment(double px, double py, double ax, double ay, double bx, double by) {
  const double vx = bx - ax, vy = by - ay;
  const double t = std::clamp(((px - ax) * vx + (py - ay) * vy) / (vx * vx + vy * vy), 0.0, 1.0);
  const double dx = px - (ax + t * vx), dy = py - (ay + t * vy);
  return std::sqrt(dx * dx + dy * dy);
}

bool WriteJpeg(const std::string& path, const Image& img) {
  const auto data = img.bytes();
  return stbi_write_jpg(path.c_str(), img.w, img.h, 3, data.data(), 97) != 0;
}

bool WriteBmp(const std::string& path, const Image& img) {
  const auto data = img.bytes();
  return stbi_write_bmp(path.c_str(), img.w, img.h, 3, data.data()) != 0;
}

// --- The pictures -----------------------------------------------------------------

// Title strip: a deep blue bar with a soft glow behind the title on the left
// and a thin highlight along the top.
Image TitleStrip() {
  Image img(500, 22);
  for (int y = 0; y < img.h; ++y)
    for (int x = 0; x < img.w; ++x) {
      Rgb c = Mix(kDusk, kNavy, y / 21.0);
      const double glow = std::exp(-std::pow((x - 70) / 150.0, 2)) * 0.35 * (1 - std::abs(y - 9) / 14.0);
      c = Mix(c, kSlate, glow);
      img.at(x, y) = c;
    }
  for (int x = 0; x < img.w; ++x) {
    img.at(x, 0) = Mix(kMist, kDusk, x / 700.0);
    img.at(x, 21) = kNight;
  }
  return img;
}

// Close button: a rounded blue-grey key with a white cross; pressed, it is
// darker and the cross sits one pixel lower and to the right (16 wide).
Image CloseButton(bool pressed) {
  const int w = pressed ? 16 : 15, h = 15;
  Image img(w, h, kNavy);
  const double off = pressed ? 1 : 0;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const double frame =
          Coverage(x, y, [&](double px, double py) { return InRoundRect(px, py, off, 0.5, off + 14.5, 14.5, 3); });
      const double face = Coverage(
          x, y, [&](double px, double py) { return InRoundRect(px, py, off + 1, 1.5, off + 13.5, 13.5, 2.2); });
      img.blend(x, y, pressed ? kNight : Rgb{150, 152, 200}, frame);
      const Rgb top = pressed ? kDusk : Rgb{132, 136, 190};
      const Rgb bottom = pressed ? kNavy : kDusk;
      img.blend(x, y, Mix(top, bottom, y / 14.0), face);
      const double cx = off + 7.5 + (pressed ? 0.5 : 0), cy = 7.5 + (pressed ? 0.5 : 0);
      const double cross = Coverage(x, y, [&](double px, double py) {
        return DistanceToSegment(px, py, cx - 3.2, cy - 3.2, cx + 3.2, cy + 3.2) < 0.95 ||
               DistanceToSegment(px, py, cx - 3.2, cy + 3.2, cx + 3.2, cy - 3.2) < 0.95;
      });
      img.blend(x, y, pressed ? kMist : kWhite, cross);
    }
  return img;
}

// Panel strip: a light lavender band with a highlight on top and a faint
// blue-grey line below; tiled down the music panel it gives fine stripes.
Image PanelStrip() {
  Image img(579, 21);
  for (int y = 0; y < img.h; ++y)
    for (int x = 0; x < img.w; ++x) {
      Rgb c = Mix(Rgb{236, 236, 248}, Rgb{218, 219, 238}, y / 20.0);
      c = Mix(c, kLavender, 0.25 * std::sin(x / 579.0 * 3.14159));
      if (y == 0) c = Mix(c, kWhite, 0.6);
      if (y == 20) c = Mix(c, kMist, 0.55);
      img.at(x, y) = c;
    }
  return img;
}

// The tile behind the marks: they lie on the light panel and on the bright
// middle of the window's gradient.
constexpr Rgb kMarkGround{226, 226, 244};

// Option mark: a round well with a dark blue dot when selected.
Image OptionMark(bool selected) {
  Image img(13, 13, kMarkGround);
  for (int y = 0; y < 13; ++y)
    for (int x = 0; x < 13; ++x) {
      auto circle = [&](double r) {
        return Coverage(
            x, y, [&](double px, double py) { return (px - 6.5) * (px - 6.5) + (py - 6.5) * (py - 6.5) <= r * r; });
      };
      img.blend(x, y, kSlate, circle(6.2));
      img.blend(x, y, Mix(Rgb{200, 202, 232}, kWhite, y / 12.0), circle(5.1));
      if (selected) {
        img.blend(x, y, Mix(kDusk, kNight, y / 12.0), circle(3.1));
        const double shine = Coverage(
            x, y, [&](double px, double py) { return (px - 5.6) * (px - 5.6) + (py - 5.4) * (py - 5.4) <= 1.0; });
        img.blend(x, y, kMist, shine * 0.8);
      }
    }
  return img;
}

// Check mark: a rounded box, with a dark blue tick when on.
Image CheckMark(bool on) {
  Image img(12, 12, kMarkGround);
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 12; ++x) {
      img.blend(x, y, kSlate,
                Coverage(x, y, [](double px, double py) { return InRoundRect(px, py, 0.3, 0.3, 11.7, 11.7, 2.2); }));
      img.blend(x, y, Mix(Rgb{204, 206, 236}, kWhite, y / 11.0),
                Coverage(x, y, [](double px, double py) { return InRoundRect(px, py, 1.3, 1.3, 10.7, 10.7, 1.4); }));
      if (on)
        img.blend(x, y, kNavy, Coverage(x, y, [](double px, double py) {
                    return DistanceToSegment(px, py, 2.8, 6.0, 5.0, 8.6) < 1.05 ||
                           DistanceToSegment(px, py, 5.0, 8.6, 9.4, 3.0) < 1.05;
                  }));
    }
  return img;
}

// --- Icon and cursor files ---------------------------------------------------------

void Put16(std::vector<unsigned char>& b, int v) {
  b.push_back(static_cast<unsigned char>(v & 0xFF));
  b.push_back(static_cast<unsigned char>((v >> 8) & 0xFF));
}
void Put32(std::vector<unsigned char>& b, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b.push_back(static_cast<unsigned char>((v >> (8 * i)) & 0xFF));
}
void PutInfoHeader(std::vector<unsigned char>& b, int w, int h, int bits, std::uint32_t image_size, int colours) {
  Put32(b, 40);
  Put32(b, static_cast<std::uint32_t>(w));
  Put32(b, static_cast<std::uint32_t>(2 * h));  // XOR and AND masks
  Put16(b, 1);
  Put16(b, bits);
  Put32(b, 0);
  Put32(b, image_size);
  Put32(b, 0);
  Put32(b, 0);
  Put32(b, static_cast<std::uint32_t>(colours));
  Put32(b, 0);
}

bool WriteFile(const std::string& path, const std::vector<unsigned char>& bytes) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && ok;
}

// The icon: a deep blue rounded tile with a small net of rings and a glowing
// four-pointed star, 32 x 32 in 256 colours (the 3-3-2 colour cube of the
// animation, so the star looks as it does in the window).
std::vector<unsigned char> Icon() {
  constexpr int kSize = 32;
  Image img(kSize, kSize);
  std::vector<double> alpha(kSize * kSize);
  for (int y = 0; y < kSize; ++y)
    for (int x = 0; x < kSize; ++x) {
      const double tile =
          Coverage(x, y, [](double px, double py) { return InRoundRect(px, py, 0.5, 0.5, 31.5, 31.5, 6); });
      alpha[y * kSize + x] = tile;
      Rgb c = Mix(kDusk, kNight, std::hypot(x - 16, y - 12) / 24.0);
      for (int k = 0; k < 4; ++k) {
        const double cx = 6 + k * 7, cy = 22 - (k % 2) * 5;
        const double d = std::abs(std::hypot(x + 0.5 - cx, y + 0.5 - cy) - 6.5);
        c = Mix(c, kSlate, std::max(0.0, 0.9 - d) * 0.8);
      }
      const double sx = x + 0.5 - 16, sy = y + 0.5 - 12;
      const double star = std::exp(-std::abs(sx) * 0.9) * std::exp(-std::abs(sy) * 0.22) +
                          std::exp(-std::abs(sy) * 0.9) * std::exp(-std::abs(sx) * 0.22);
      c = Mix(c, Rgb{120, 255, 200}, std::min(star, 1.0) * 0.9);
      c = Mix(c, kWhite, std::max(0.0, 1.0 - std::hypot(sx, sy) / 2.5));
      const double rim = alpha[y * kSize + x] - Coverage(x, y, [](double px, double py) {
                           return InRoundRect(px, py, 1.5, 1.5, 30.5, 30.5, 5);
                         });
      img.at(x, y) = Mix(c, kMist, rim);
    }
  // The 3-3-2 palette: index bits RRRGGGBB.
  const int rg[8] = {0, 32, 64, 96, 128, 160, 192, 255}, bl[4] = {0, 64, 128, 255};
  auto nearest = [&](const Rgb& c) {
    int best = 0;
    double best_d = 1e18;
    for (int i = 0; i < 256; ++i) {
      const double d =
          std::pow(c.r - rg[(i >> 5) & 7], 2) + std::pow(c.g - rg[(i >> 2) & 7], 2) + std::pow(c.b - bl[i & 3], 2);
      if (d < best_d) best_d = d, best = i;
    }
    return best;
  };
  std::vector<unsigned char> image;
  PutInfoHeader(image, kSize, kSize, 8, kSize * kSize + kSize * 4, 256);
  for (int i = 0; i < 256; ++i) {
    image.push_back(static_cast<unsigned char>(bl[i & 3]));
    image.push_back(static_cast<unsigned char>(rg[(i >> 2) & 7]));
    image.push_back(static_cast<unsigned char>(rg[(i >> 5) & 7]));
    image.push_back(0);
  }
  for (int y = kSize - 1; y >= 0; --y)
    for (int x = 0; x < kSize; ++x)
      image.push_back(static_cast<unsigned char>(alpha[y * kSize + x] >= 0.5 ? nearest(img.at(x, y)) : 0));
  for (int y = kSize - 1; y >= 0; --y)
    for (int byte = 0; byte < 4; ++byte) {
      unsigned char bits = 0;
      for (int bit = 0; bit < 8; ++bit)
        if (alpha[y * kSize + byte * 8 + bit] < 0.5) bits |= static_cast<unsigned char>(0x80 >> bit);
      image.push_back(bits);
    }
  std::vector<unsigned char> file;
  Put16(file, 0);
  Put16(file, 1);  // icon
  Put16(file, 1);
  file.push_back(kSize);
  file.push_back(kSize);
  file.push_back(0);  // 256 colours
  file.push_back(0);
  Put16(file, 1);  // planes
  Put16(file, 8);  // bits per pixel
  Put32(file, static_cast<std::uint32_t>(image.size()));
  Put32(file, 22);
  file.insert(file.end(), image.begin(), image.end());
  return file;
}

// The link cursor: a pointing hand, black outline and white inside, the tip
// of the index finger on the hot spot (12, 10).
std::vector<unsigned char> Cursor() {
  constexpr int kSize = 32, kHotX = 12, kHotY = 10;
  auto hand = [&](int x, int y) {
    const double px = x + 0.5, py = y + 0.5;
    // Index finger, its rounded tip at the hot spot.
    if (InRoundRect(px, py, kHotX - 1.6, kHotY, kHotX + 2.4, kHotY + 12, 2)) return true;
    // Three folded fingers to the right, each a little shorter.
    for (int k = 0; k < 3; ++k) {
      const double l = kHotX + 2.4 + k * 3.3;
      if (InRoundRect(px, py, l, kHotY + 6 + k * 0.8, l + 3.6, kHotY + 15, 1.6)) return true;
    }
    // Thumb on the left, pointing up and out.
    if (DistanceToSegment(px, py, kHotX - 1.5, kHotY + 15, kHotX - 5.5, kHotY + 10.5) < 1.9) return true;
    // Palm and wrist.
    return InRoundRect(px, py, kHotX - 2.6, kHotY + 12, kHotX + 12.2, kHotY + 20, 3);
  };
  std::vector<bool> inside(kSize * kSize), edge(kSize * kSize);
  for (int y = 0; y < kSize; ++y)
    for (int x = 0; x < kSize; ++x) inside[y * kSize + x] = hand(x, y);
  for (int y = 0; y < kSize; ++y)
    for (int x = 0; x < kSize; ++x) {
      if (!inside[y * kSize + x]) continue;
      bool border = false;
      for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
          const int nx = x + dx, ny = y + dy;
          if (nx < 0 || ny < 0 || nx >= kSize || ny >= kSize || !inside[ny * kSize + nx]) border = true;
        }
      edge[y * kSize + x] = border;
    }
  std::vector<unsigned char> image;
  PutInfoHeader(image, kSize, kSize, 1, 2 * kSize * 4, 2);
  for (unsigned char v : {0, 0, 0, 0, 255, 255, 255, 0}) image.push_back(v);
  // XOR mask: 1 = white inside; AND mask: 1 = transparent outside.
  for (int pass = 0; pass < 2; ++pass)
    for (int y = kSize - 1; y >= 0; --y)
      for (int byte = 0; byte < 4; ++byte) {
        unsigned char bits = 0;
        for (int bit = 0; bit < 8; ++bit) {
          const int i = y * kSize + byte * 8 + bit;
          const bool set = pass == 0 ? inside[i] && !edge[i] : !inside[i];
          if (set) bits |= static_cast<unsigned char>(0x80 >> bit);
        }
        image.push_back(bits);
      }
  std::vector<unsigned char> file;
  Put16(file, 0);
  Put16(file, 2);  // cursor
  Put16(file, 1);
  file.push_back(kSize);
  file.push_back(kSize);
  file.push_back(2);
  file.push_back(0);
  Put16(file, kHotX);
  Put16(file, kHotY);
  Put32(file, static_cast<std::uint32_t>(image.size()));
  Put32(file, 22);
  file.insert(file.end(), image.begin(), image.end());
  return file;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_skin <assets folder>\n");
    return 2;
  }
  const std::string dir = std::string(argv[1]) + "/";
  bool ok = WriteJpeg(dir + "dialog_title.jpg", TitleStrip());
  ok &= WriteJpeg(dir + "dialog_exit.jpg", CloseButton(false));
  ok &= WriteJpeg(dir + "dialog_exit_pressed.jpg", CloseButton(true));
  ok &= WriteJpeg(dir + "dialog_option_on.jpg", OptionMark(true));
  ok &= WriteJpeg(dir + "dialog_option_off.jpg", OptionMark(false));
  ok &= WriteJpeg(dir + "dialog_check_on.jpg", CheckMark(true));
  ok &= WriteJpeg(dir + "dialog_check_off.jpg", CheckMark(false));
  ok &= WriteBmp(dir + "dialog_panel_strip.bmp", PanelStrip());
  ok &= WriteFile(dir + "tessellane.ico", Icon());
  ok &= WriteFile(dir + "dialog_link.cur", Cursor());
  if (!ok) {
    std::fprintf(stderr, "make_skin: could not write into %s\n", dir.c_str());
    return 1;
  }
  return 0;
}
