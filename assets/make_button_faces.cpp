// Makes the six face pictures of the Command button: 64 x 25 pixels, 24-bit
// uncompressed BMP. The button cuts each picture into 4-pixel corners and
// stretched 4-pixel edges and paints its own gradient inside, so all the look
// is in a four-ring bevel: an outer border, two bevel rings (raised, or sunken
// while pressed) and an inner ring that carries the focus accent.
// Run it by hand and commit the result:
//   make_button_faces <source>/assets
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr int kWidth = 64;
constexpr int kHeight = 25;

struct Rgb {
  int r, g, b;
};

struct Skin {
  const char* file;
  Rgb border;
  Rgb corner;                     // the outer corner pixel, between border and dialog background
  Rgb light[3];                   // rings 1..3 on the top and left sides
  Rgb dark[3];                    // rings 1..3 on the bottom and right sides
  Rgb inside_top, inside_bottom;  // only seen when the picture itself is viewed
};

// Soft blue-grey tones that sit on the dialog's blue/lavender gradient and
// around the button's own white-to-lavender gradient.
const Skin kSkins[] = {
    {"button_normal.bmp",
     {104, 108, 148},
     {150, 152, 190},
     {{255, 255, 255}, {240, 240, 250}, {232, 232, 244}},
     {{160, 160, 188}, {186, 185, 206}, {205, 204, 222}},
     {255, 255, 255},
     {198, 197, 215}},
    {"button_highlight.bmp",
     {72, 104, 196},
     {130, 146, 206},
     {{232, 240, 255}, {214, 226, 252}, {200, 214, 248}},
     {{120, 140, 200}, {150, 165, 215}, {175, 188, 230}},
     {198, 197, 215},
     {255, 255, 255}},
    {"button_pressed.bmp",
     {48, 56, 112},
     {120, 124, 170},
     {{120, 122, 160}, {160, 160, 190}, {190, 190, 212}},
     {{236, 236, 248}, {222, 222, 238}, {214, 214, 232}},
     {186, 185, 206},
     {240, 240, 250}},
    {"button_selected.bmp",
     {64, 72, 156},
     {130, 134, 190},
     {{255, 255, 255}, {240, 240, 250}, {118, 132, 214}},
     {{160, 160, 188}, {186, 185, 206}, {118, 132, 214}},
     {255, 255, 255},
     {198, 197, 215}},
    {"button_highlight_select.bmp",
     {56, 84, 190},
     {122, 138, 204},
     {{232, 240, 255}, {214, 226, 252}, {80, 104, 220}},
     {{120, 140, 200}, {150, 165, 215}, {80, 104, 220}},
     {198, 197, 215},
     {255, 255, 255}},
    {"button_disable.bmp",
     {150, 150, 160},
     {176, 176, 196},
     {{236, 236, 240}, {228, 228, 232}, {222, 222, 226}},
     {{190, 190, 198}, {204, 204, 210}, {212, 212, 218}},
     {225, 225, 230},
     {225, 225, 230}},
};

Rgb PixelOf(const Skin& s, int x, int y) {
  const int ring = std::min(std::min(x, y), std::min(kWidth - 1 - x, kHeight - 1 - y));
  const bool corner = (x == 0 || x == kWidth - 1) && (y == 0 || y == kHeight - 1);
  if (corner) return s.corner;
  if (ring == 0) return s.border;
  if (ring <= 3) {
    const bool top_left = (y == ring && x < kWidth - 1 - ring) || (x == ring && y < kHeight - 1 - ring);
    return top_left ? s.light[ring - 1] : s.dark[ring - 1];
  }
  const double t = static_cast<double>(y - 4) / (kHeight - 9);
  const auto mix = [t](int a, int b) { return static_cast<int>(a + (b - a) * t + 0.5); };
  return {mix(s.inside_top.r, s.inside_bottom.r), mix(s.inside_top.g, s.inside_bottom.g),
          mix(s.inside_top.b, s.inside_bottom.b)};
}

void Put16(std::vector<unsigned char>& out, std::uint32_t v) {
  out.push_back(v & 0xFF);
  out.push_back((v >> 8) & 0xFF);
}
void Put32(std::vector<unsigned char>& out, std::uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

// A bottom-up BI_RGB bitmap, blue-green-red bytes, rows padded to 4 bytes.
std::vector<unsigned char> Bmp(const Skin& s) {
  const std::uint32_t row = (kWidth * 3 + 3) & ~3u;
  const std::uint32_t image = row * kHeight;
  std::vector<unsigned char> out;
  out.push_back('B');
  out.push_back('M');
  Put32(out, 54 + image);
  Put32(out, 0);
  Put32(out, 54);
  Put32(out, 40);
  Put32(out, kWidth);
  Put32(out, kHeight);
  Put16(out, 1);
  Put16(out, 24);
  Put32(out, 0);  // BI_RGB
  Put32(out, image);
  Put32(out, 3780);  // 96 dpi in pixels per metre
  Put32(out, 3780);
  Put32(out, 0);
  Put32(out, 0);
  for (int y = kHeight - 1; y >= 0; --y) {
    for (int x = 0; x < kWidth; ++x) {
      const Rgb p = PixelOf(s, x, y);
      out.push_back(static_cast<unsigned char>(p.b));
      out.push_back(static_cast<unsigned char>(p.g));
      out.push_back(static_cast<unsigned char>(p.r));
    }
    for (std::uint32_t pad = kWidth * 3; pad < row; ++pad) out.push_back(0);
  }
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_button_faces <output directory>\n");
    return 2;
  }
  for (const Skin& s : kSkins) {
    const std::string path = std::string(argv[1]) + "/" + s.file;
    const auto bytes = Bmp(s);
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!f) {
      std::fprintf(stderr, "make_button_faces: cannot write %s\n", path.c_str());
      return 1;
    }
  }
  return 0;
}
