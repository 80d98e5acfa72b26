// The portable container: windowless controls composed over the persistent
// image and shown on the box's surface, the hit test that picks the control
// under the mouse, and the capture that keeps a pressed control's mouse.
#include <algorithm>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "tests/test_support.h"
#include "ui/backend.h"
#include "ui/headless/widgets_api.h"
#include "ui/widgets.h"

namespace {

using testing_support::HeadlessTest;

constexpr ui::Colour kBack = ui::Rgb(0, 0, 128);
constexpr ui::Colour kRed = ui::Rgb(255, 0, 0);
constexpr ui::Colour kGreen = ui::Rgb(0, 255, 0);
constexpr ui::Colour kInk = ui::Rgb(255, 255, 0);

std::shared_ptr<const ui::Picture> Solid(int width, int height, ui::Colour colour) {
  auto picture = std::make_shared<ui::Picture>();
  picture->width = width;
  picture->height = height;
  picture->pixels.assign(static_cast<std::size_t>(width) * height, colour);
  return picture;
}

class CanvasTest : public HeadlessTest {
 protected:
  CanvasTest() {
    canvas_.Move(0, 0, 60, 50);
    canvas_.SetBackColor(kBack);
  }
  // Every mouse event a control receives, as "name:event(x,y)" relative to it.
  void Watch(ui::Windowless& control, const std::string& name) {
    control.OnClick = [this, name] { events_.push_back(name + ":click"); };
    control.OnMouseDown = Logger(name, "down");
    control.OnMouseMove = Logger(name, "move");
    control.OnMouseUp = Logger(name, "up");
  }
  ui::MouseHandler Logger(const std::string& name, const std::string& event) {
    return [this, name, event](int, int, float x, float y) {
      events_.push_back(name + ":" + event + "(" + std::to_string(static_cast<int>(x)) + "," +
                        std::to_string(static_cast<int>(y)) + ")");
    };
  }
  void Down(float x, float y, int button = ui::kLeftButton) { headless::PostMouseDown(canvas_.Box(), button, x, y); }
  void MoveTo(float x, float y, int button = ui::kLeftButton) { headless::PostMouseMove(canvas_.Box(), x, y, button); }
  void Up(float x, float y, int button = ui::kLeftButton) { headless::PostMouseUp(canvas_.Box(), button, x, y); }
  // Delivers the input posted so far and hands back what the controls heard.
  std::vector<std::string> Deliver() {
    ui::DoEvents();
    return std::exchange(events_, {});
  }
  bool ClickedAt(float x, float y) {
    Down(x, y);
    Up(x, y);
    const auto heard = Deliver();
    return std::find(heard.begin(), heard.end(), "target:click") != heard.end();
  }
  const headless::Surface& Shown() { return headless::SurfaceOf(canvas_.Box()); }

  ui::Form form_;
  ui::Canvas canvas_{form_};
  std::vector<std::string> events_;
};

// The control covers x 10..39 and y 20..34: its right and bottom edges are
// the first pixels outside it.
TEST_F(CanvasTest, AClickCountsOnTheControlsPixelsAndNotOnePixelBeyond) {
  ui::Image target(canvas_);
  target.Move(10, 20, 30, 15);
  Watch(target, "target");
  for (const auto& [x, y] : {std::pair{10.f, 20.f}, {39.f, 34.f}, {39.9f, 34.9f}, {10.f, 34.f}, {39.f, 20.f}})
    EXPECT_TRUE(ClickedAt(x, y)) << x << "," << y;
  for (const auto& [x, y] :
       {std::pair{40.f, 25.f}, {25.f, 35.f}, {40.f, 35.f}, {9.9f, 25.f}, {25.f, 19.9f}, {40.5f, 34.f}})
    EXPECT_FALSE(ClickedAt(x, y)) << x << "," << y;
  EXPECT_EQ(canvas_.HitTest(39, 34), &target);
  EXPECT_EQ(canvas_.HitTest(40, 34), nullptr);
  EXPECT_EQ(canvas_.HitTest(39, 35), nullptr);
}

TEST_F(CanvasTest, APressDraggedOffTheControlIsNoClickUnlessItComesBack) {
  ui::Image target(canvas_), other(canvas_);
  target.Move(10, 10, 20, 20);
  other.Move(35, 10, 20, 20);
  Watch(target, "target");
  Watch(other, "other");

  // Released over the other control: the pressed one hears the release, at
  // its own coordinates, and nobody hears a click.
  Down(15, 15);
  MoveTo(40, 15);
  Up(40, 15);
  EXPECT_EQ(Deliver(), (std::vector<std::string>{"target:down(5,5)", "target:move(30,5)", "target:up(30,5)"}));
  // Released over nothing at all.
  Down(15, 15);
  Up(15, 45);
  EXPECT_EQ(Deliver(), (std::vector<std::string>{"target:down(5,5)", "target:up(5,35)"}));
  // Dragged off and back again: a click.
  Down(15, 15);
  MoveTo(31, 15);
  MoveTo(29, 15);
  Up(29, 15);
  EXPECT_EQ(Deliver(), (std::vector<std::string>{"target:down(5,5)", "target:move(21,5)", "target:move(19,5)",
                                                 "target:up(19,5)", "target:click"}));
  // The right button is no click, even where it is let go.
  Down(15, 15, ui::kRightButton);
  Up(15, 15, ui::kRightButton);
  EXPECT_EQ(Deliver(), (std::vector<std::string>{"target:down(5,5)", "target:up(5,5)"}));
}

TEST_F(CanvasTest, APressedControlKeepsTheMouseUntilEveryButtonIsUp) {
  ui::Image target(canvas_), other(canvas_);
  target.Move(0, 0, 20, 20);
  other.Move(30, 0, 20, 20);
  Watch(target, "target");
  Watch(other, "other");

  Down(5, 5);
  Down(6, 5, ui::kRightButton);
  MoveTo(35, 5);
  Up(35, 5, ui::kRightButton);
  MoveTo(36, 5);  // the left button is still down
  Up(36, 5);
  MoveTo(37, 5, 0);
  EXPECT_EQ(Deliver(),
            (std::vector<std::string>{"target:down(5,5)", "target:down(6,5)", "target:move(35,5)", "target:up(35,5)",
                                      "target:move(36,5)", "target:up(36,5)", "other:move(7,5)"}));
}

// The system took the mouse away mid-press: the release that reaches the
// control afterwards is no click, and the next press goes where it is made.
TEST_F(CanvasTest, ALostCaptureEndsThePress) {
  ui::Image target(canvas_), other(canvas_);
  target.Move(0, 0, 20, 20);
  other.Move(30, 0, 20, 20);
  Watch(target, "target");
  Watch(other, "other");
  Down(5, 5);
  headless::PostCaptureLost(canvas_.Box());
  Up(5, 5);
  MoveTo(35, 5, 0);
  EXPECT_EQ(Deliver(), (std::vector<std::string>{"target:down(5,5)", "target:up(5,5)", "other:move(5,5)"}));
}

// A release that went elsewhere never came: the next press of that button
// belongs to where it is made.
TEST_F(CanvasTest, ASecondPressOfAHeldButtonStartsAfresh) {
  ui::Image target(canvas_), other(canvas_);
  target.Move(0, 0, 20, 20);
  other.Move(30, 0, 20, 20);
  Watch(target, "target");
  Watch(other, "other");
  Down(5, 5);
  Down(35, 5);
  Up(35, 5);
  EXPECT_EQ(Deliver(),
            (std::vector<std::string>{"target:down(5,5)", "other:down(5,5)", "other:up(5,5)", "other:click"}));
}

TEST_F(CanvasTest, AControlGoneWhilePressedTakesTheCaptureWithIt) {
  ui::Image below(canvas_);
  auto pressed = std::make_unique<ui::Image>(canvas_);
  below.Move(0, 0, 40, 40);
  pressed->Move(0, 0, 20, 20);
  Watch(below, "below");
  Watch(*pressed, "pressed");
  Down(5, 5);
  EXPECT_EQ(Deliver(), (std::vector<std::string>{"pressed:down(5,5)"}));
  pressed.reset();
  // The release finds what is under it now; its press was elsewhere.
  Up(5, 5);
  EXPECT_EQ(Deliver(), (std::vector<std::string>{"below:up(5,5)"}));
  Down(5, 5);
  Up(5, 5);
  EXPECT_EQ(Deliver(), (std::vector<std::string>{"below:down(5,5)", "below:up(5,5)", "below:click"}));
}

// The topmost control that is visible and listens to the mouse takes it; a
// hidden one, or one without mouse handlers, lets it through.
TEST_F(CanvasTest, TheHitTestPicksTheTopmostVisibleControlThatTakesTheMouse) {
  ui::Image bottom(canvas_), middle(canvas_), top(canvas_);
  for (ui::Image* c : {&bottom, &middle, &top}) c->Move(0, 0, 20, 20);
  Watch(bottom, "bottom");
  Watch(middle, "middle");
  EXPECT_EQ(canvas_.HitTest(5, 5), &middle);  // top takes no mouse
  middle.SetVisible(false);
  EXPECT_EQ(canvas_.HitTest(5, 5), &bottom);
  top.OnClick = [] {};
  EXPECT_EQ(canvas_.HitTest(5, 5), &top);
  EXPECT_EQ(canvas_.HitTest(25, 5), nullptr);
}

// What the box shows is the persistent image with the controls over it,
// bottom first, each within its own rectangle; hidden ones are left out.
TEST_F(CanvasTest, TheBoxShowsTheImageWithTheControlsPaintedOverIt) {
  canvas_.Line(0, 2, 60, 2, kInk);
  ui::Image red(canvas_), green(canvas_);
  red.SetPicture(Solid(10, 10, kRed));
  red.Move(0, 0, 10, 10);
  green.SetStretch(true);
  green.SetPicture(Solid(2, 2, kGreen));
  green.Move(5, 5, 10, 10);
  ui::Shape frame(canvas_);
  frame.SetBorderColor(kInk);
  frame.Move(30, 20, 5, 4);

  const headless::Surface& s = Shown();
  ASSERT_EQ(s.width, 60);
  ASSERT_EQ(s.height, 50);
  EXPECT_EQ(s.At(2, 2), kRed);    // the control over the line
  EXPECT_EQ(s.At(12, 2), kInk);   // the line where no control is
  EXPECT_EQ(s.At(7, 7), kGreen);  // the upper control where both are
  EXPECT_EQ(s.At(4, 7), kRed);    // the lower one beside it
  EXPECT_EQ(s.At(14, 14), kGreen);
  EXPECT_EQ(s.At(15, 14), kBack);  // nothing beyond the stretched picture
  EXPECT_EQ(s.At(30, 20), kInk);   // the outline, one pixel wide, inside its rectangle
  EXPECT_EQ(s.At(34, 23), kInk);
  EXPECT_EQ(s.At(31, 21), kBack);
  EXPECT_EQ(s.At(35, 23), kBack);
  EXPECT_EQ(s.At(34, 24), kBack);

  green.SetVisible(false);
  EXPECT_EQ(Shown().At(7, 7), kRed);
  EXPECT_EQ(Shown().At(12, 12), kBack);
  // Moved: the old place shows what lies below again.
  red.Move(40, 30, 10, 10);
  EXPECT_EQ(Shown().At(2, 2), kInk);
  EXPECT_EQ(Shown().At(4, 7), kBack);
  EXPECT_EQ(Shown().At(45, 35), kRed);
  // Composition gives the same pixels for any part of the canvas.
  const ui::Picture part = canvas_.Compose(ui::Rect{38, 28, 42, 32});
  ASSERT_EQ(part.width, 4);
  EXPECT_EQ(part.At(1, 1), kBack);
  EXPECT_EQ(part.At(2, 2), kRed);
}

TEST_F(CanvasTest, AHeldCanvasShowsNothingNewUntilReleased) {
  ui::Image red(canvas_);
  canvas_.Hold();
  red.SetPicture(Solid(10, 10, kRed));
  red.Move(0, 0, 10, 10);
  canvas_.Line(0, 20, 30, 20, kInk);
  EXPECT_EQ(Shown().At(5, 5), kBack);
  EXPECT_EQ(Shown().At(20, 20), kBack);
  canvas_.Release();
  EXPECT_EQ(Shown().At(5, 5), kRed);
  EXPECT_EQ(Shown().At(20, 20), kInk);
}

}  // namespace
