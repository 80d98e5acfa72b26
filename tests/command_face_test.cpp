// The Command button's painted face: gradient, frame pieces, caption place,
// and the gradient direction each state leaves behind.
#include <gtest/gtest.h>

#include "tests/command_support.h"

namespace command_testing {
namespace {

using controls::StateFocused;
using controls::StateFocusedHover;

TEST(CommandFaces, SixDistinctPicturesOf64By25) {
  const char* names[] = {"button_highlight.bmp", "button_pressed.bmp",          "button_normal.bmp",
                         "button_selected.bmp",  "button_highlight_select.bmp", "button_disable.bmp"};
  for (const char* a : names) {
    SCOPED_TRACE(a);
    const ui::Picture& p = ui::EmbeddedPicture(a);
    EXPECT_EQ(p.width, 64);
    EXPECT_EQ(p.height, 25);
    for (const char* b : names) {
      if (a != b) {
        EXPECT_NE(p.pixels, ui::EmbeddedPicture(b).pixels) << b;
      }
    }
  }
}

struct PixelPiece {
  ui::Rect dest, source;
};

void ExpectPieces(Command& b, const PixelPiece (&expected)[8]) {
  const auto& copies = headless::SurfaceOf(b.Surface()).copies;
  ASSERT_EQ(copies.size(), 8u);
  for (int i = 0; i < 8; ++i) {
    SCOPED_TRACE(i);
    const auto& d = copies[i].dest;
    const auto& s = copies[i].source;
    EXPECT_EQ(
        (std::array{d.left, d.top, d.right, d.bottom}),
        (std::array{expected[i].dest.left, expected[i].dest.top, expected[i].dest.right, expected[i].dest.bottom}));
    EXPECT_EQ((std::array{s.left, s.top, s.right, s.bottom}),
              (std::array{expected[i].source.left, expected[i].source.top, expected[i].source.right,
                          expected[i].source.bottom}));
  }
}

TEST_F(CommandTest, FrameOfTheWideButtonInPixels) {
  auto b = Place(0, 0, 77, 33);  // 1155 x 495 twips
  ExpectPieces(*b, {{{0, 0, 4, 4}, {0, 0, 4, 4}},
                    {{4, 0, 73, 4}, {4, 0, 60, 4}},
                    {{73, 0, 77, 4}, {60, 0, 64, 4}},
                    {{73, 4, 77, 29}, {60, 4, 64, 21}},
                    {{73, 29, 77, 33}, {60, 21, 64, 25}},
                    {{4, 29, 73, 33}, {4, 21, 60, 25}},
                    {{0, 29, 4, 33}, {0, 21, 4, 25}},
                    {{0, 4, 4, 29}, {0, 4, 4, 21}}});
  // The corners are the picture's corners pixel for pixel, the inside is the gradient.
  const auto& s = headless::SurfaceOf(b->Surface());
  const ui::Picture& normal = b->PictureOf(Face::Normal);
  EXPECT_EQ(s.At(0, 0), normal.At(0, 0));
  EXPECT_EQ(s.At(76, 32), normal.At(63, 24));
  EXPECT_EQ(s.At(3, 30), normal.At(3, 22));
  EXPECT_EQ(b->LblMsg().Top(), 140);
  EXPECT_EQ(b->LblMsg().Width(), 1155);
  EXPECT_EQ(b->LblMsg().Left(), 0);
}

TEST_F(CommandTest, FrameOfTheSquareButtonInPixels) {
  auto b = Place(0, 0, 33, 33);  // 495 x 495 twips
  const auto& copies = headless::SurfaceOf(b->Surface()).copies;
  ASSERT_EQ(copies.size(), 8u);
  EXPECT_EQ(copies[1].dest.right - copies[1].dest.left, 25);  // 375 twips
  EXPECT_EQ(copies[5].dest.right - copies[5].dest.left, 25);
  EXPECT_EQ(copies[3].dest.bottom - copies[3].dest.top, 25);
  EXPECT_EQ(copies[2].dest.left, 29);
  EXPECT_EQ(b->LblMsg().Top(), 140);
  EXPECT_EQ(b->LblMsg().Width(), 495);
}

TEST_F(CommandTest, ATinyButtonDrawsItsCornersAndNoMirroredEdges) {
  auto b = Place(0, 0, 6, 6);  // 90 twips: the edges would be -30 twips long
  const auto& copies = headless::SurfaceOf(b->Surface()).copies;
  EXPECT_EQ(copies.size(), 4u);
  for (const auto& c : copies) {
    EXPECT_GT(c.dest.right, c.dest.left);
    EXPECT_GT(c.dest.bottom, c.dest.top);
  }
}

TEST_F(CommandTest, IdleGradientIsLightAtTheTop) {
  auto b = Place(0, 0, 77, 33);
  const auto& s = headless::SurfaceOf(b->Surface());
  // Corner to corner of the surface, white over lavender grey.
  EXPECT_EQ(s.last_gradient.rect, (ui::Rect{0, 0, 76, 32}));
  EXPECT_EQ(s.last_gradient.top, ui::Rgb(0xFF, 0xFF, 0xFF));
  EXPECT_EQ(s.last_gradient.bottom, ui::Rgb(0xC6, 0xC5, 0xD7));
  // Inside the frame: white at the top, lavender grey towards the bottom.
  const ui::Colour top = s.At(38, 4), bottom = s.At(38, 28);
  EXPECT_GT(ui::RedOf(top), 240);
  EXPECT_LT(ui::RedOf(bottom), 210);
  EXPECT_GT(ui::BlueOf(bottom), ui::RedOf(bottom));  // lavender, not the colour value's byte order
}

TEST_F(CommandTest, HoverGradientIsDarkAtTheTop) {
  auto b = Place(0, 0, 77, 33);
  b->Initialize();
  Enter(*b);
  const auto& s = headless::SurfaceOf(b->Surface());
  EXPECT_LT(ui::RedOf(s.At(38, 4)), 210);
  EXPECT_GT(ui::RedOf(s.At(38, 28)), 240);
}

TEST_F(CommandTest, DisablingKeepsTheHoverDirectionOnlyWhereTheStateSaysSo) {
  auto b = Place();
  b->Initialize();
  Enter(*b);
  b->SetEnabled(false);  // while hovering
  EXPECT_TRUE(Shows(*b, Face::Disable));
  EXPECT_TRUE(DarkAtTop(*b));

  auto idle = Place(100, 10);
  idle->Initialize();
  idle->SetEnabled(false);
  EXPECT_TRUE(Shows(*idle, Face::Disable));
  EXPECT_FALSE(DarkAtTop(*idle));

  // Focused and hovering: the previous direction stays.
  auto c = Place(200, 10);
  c->Initialize();
  Enter(*c);  // dark at the top
  headless::PostFocus(c->Surface());
  Run();
  ASSERT_EQ(c->State().ButtonState, StateFocusedHover);
  c->SetEnabled(false);
  EXPECT_TRUE(DarkAtTop(*c));
}

TEST_F(CommandTest, AResizeWhileFocusedPaintsNormalUntilTheNextTransition) {
  auto b = Place();
  b->Initialize();
  headless::PostFocus(b->Surface());
  Run();
  ASSERT_TRUE(Shows(*b, Face::Selected));
  b->Move(10, 10, 80, 35);
  EXPECT_TRUE(Shows(*b, Face::Normal));
  EXPECT_EQ(b->State().ButtonState, StateFocused);
  headless::PostMouseMove(b->Surface(), 5, 5);
  Run();
  EXPECT_TRUE(Shows(*b, Face::HighLightSelect));
}

TEST_F(CommandTest, HighLightSelectKeepsTheDirectionItWasReachedWith) {
  // From the focus, by hovering: light at the top, as Selected had it.
  auto b = Place();
  b->Initialize();
  headless::PostFocus(b->Surface());
  Run();
  Enter(*b);
  ASSERT_TRUE(Shows(*b, Face::HighLightSelect));
  EXPECT_FALSE(DarkAtTop(*b));

  // By a click that began while hovering: dark at the top.
  auto c = Place(100, 10);
  c->Initialize();
  Enter(*c);
  headless::PostMouseDown(c->Surface(), 1, 5, 5);
  headless::PostMouseUp(c->Surface(), 1, 5, 5);
  Run();
  ASSERT_TRUE(Shows(*c, Face::HighLightSelect));
  EXPECT_TRUE(DarkAtTop(*c));
}

TEST_F(CommandTest, InitializeDrawsNothing) {
  auto b = Place();
  const long paints = Paints(*b);
  b->Initialize();
  EXPECT_EQ(Paints(*b), paints);
  EXPECT_EQ(b->State().ButtonState, controls::StateIdle);
  EXPECT_TRUE(b->TmrMouse().Enabled());
  EXPECT_EQ(b->TmrMouse().Interval(), 100);
}

}  // namespace
}  // namespace command_testing
