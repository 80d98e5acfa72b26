// Containers, native widgets, the palette picture, the dialogs and the shell
// of the headless backend: memory only, answered from the test's script.
#include <algorithm>
#include <cmath>
#include <deque>

#include "ui/backend.h"
#include "ui/headless/state.h"
#include "ui/headless/widgets_api.h"
#include "ui/widgets.h"

namespace headless {
namespace {

using detail::Record;
using detail::TheProcess;

struct WidgetsState {
  std::deque<std::optional<ui::Colour>> colour_answers;
  std::deque<std::optional<std::string>> file_answers;
  std::vector<ColourDialogCall> colour_calls;
  std::vector<FileDialogCall> file_calls;
  std::function<void()> shell_hook;
};

WidgetsState& Widgets() {
  auto& slot = TheProcess().widgets;
  if (!slot) slot = std::make_shared<WidgetsState>();
  return *static_cast<WidgetsState*>(slot.get());
}

class HeadlessCanvasPeer : public ui::CanvasPeer {
 public:
  void Attach() override {}
  void SetSunkenBorder(bool) override {}
  void SetVisible(bool) override {}
  void ZOrder(bool) override {}
};

class HeadlessComboBoxPeer : public ui::ComboBoxPeer {
 public:
  void SetBounds(int, int, int, int) override {}
  void SetFont(const ui::Font&) override {}
  void SetText(const std::string& text) override { text_ = text; }
  std::string Text() override { return text_; }
  void AddItem(const std::string&) override {}
  ui::WindowHandle Handle() override {
    if (!handle_) handle_ = TheProcess().next_handle++;
    return handle_;
  }

 private:
  std::string text_;
  ui::WindowHandle handle_ = 0;
};

class HeadlessScrollBarPeer : public ui::ScrollBarPeer {
 public:
  void SetBounds(int, int, int, int) override {}
  void SetRange(int) override {}
  void SetPosition(int) override {}
  ui::WindowHandle Handle() override {
    if (!handle_) handle_ = TheProcess().next_handle++;
    return handle_;
  }

 private:
  ui::WindowHandle handle_ = 0;
};

class HeadlessPalettePicturePeer : public ui::PalettePicturePeer {
 public:
  void SetBounds(int, int, int, int) override {}
  void SetSunkenBorder(bool) override {}
  ui::BitmapInfo Create(int width, int height, const ui::Palette&) override {
    // Scan lines padded to four bytes and stored bottom-up, like a DIB.
    const int stride = (width + 3) / 4 * 4;
    bits_.assign(static_cast<std::size_t>(stride) * height, 0);
    return ui::BitmapInfo{width, height, stride, 8, bits_.data()};
  }
  void Refresh() override { ++refreshes_; }
  ui::WindowHandle Handle() override {
    if (!handle_) handle_ = TheProcess().next_handle++;
    return handle_;
  }

  long refreshes_ = 0;

 private:
  std::vector<std::uint8_t> bits_;
  ui::WindowHandle handle_ = 0;
};

// Text has no glyphs here: its size is estimated from the point size, a
// full-width character one em, a half-width one half an em.
int EmPixels(const ui::Font& font) { return static_cast<int>(std::lround(font.Size * 96 / 72)); }

std::pair<int, int> CountWidths(std::string_view text) {
  int half = 0, full = 0;
  for (std::size_t i = 0; i < text.size();) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    const std::size_t len = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
    // Half-width katakana (U+FF61..U+FF9F) are EF BD A1..EF BE 9F.
    const bool halfwidth_kana =
        len == 3 && c == 0xEF && i + 1 < text.size() &&
        (static_cast<unsigned char>(text[i + 1]) == 0xBD || static_cast<unsigned char>(text[i + 1]) == 0xBE);
    (len == 1 || halfwidth_kana ? half : full) += 1;
    i += len;
  }
  return {half, full};
}

// The UTF-16 code units of a UTF-8 text: one per character, two for a
// character beyond the basic plane.
std::size_t Utf16Length(std::string_view utf8) {
  std::size_t units = 0;
  for (const char c : utf8) {
    const auto byte = static_cast<unsigned char>(c);
    if ((byte & 0xC0) != 0x80) units += byte >= 0xF0 ? 2 : 1;
  }
  return units;
}

}  // namespace

void PostMouseDownOn(ui::Windowless& control, int button, float x, float y) {
  PostMouseDown(control.Container().Box(), button, control.Left() + x, control.Top() + y);
}
void PostMouseMoveOn(ui::Windowless& control, int button, float x, float y) {
  PostMouseMove(control.Container().Box(), control.Left() + x, control.Top() + y, button);
}
void PostMouseUpOn(ui::Windowless& control, int button, float x, float y) {
  PostMouseUp(control.Container().Box(), button, control.Left() + x, control.Top() + y);
}
void PostClickOn(ui::Windowless& control, int button) {
  const float x = control.Width() / 2.0f, y = control.Height() / 2.0f;
  PostMouseDownOn(control, button, x, y);
  PostMouseUpOn(control, button, x, y);
}

void PostTypeText(ui::ComboBox& box, const std::string& text) {
  TheProcess().input.push_back([&box, text] { box.Peer().SetText(text); });
}

void PostScrollArrow(ui::VScrollBar& bar, int direction) {
  TheProcess().input.push_back([&bar, direction] { bar.UserStepped(direction); });
}

void AnswerColourDialog(std::optional<ui::Colour> answer) { Widgets().colour_answers.push_back(answer); }
const std::vector<ColourDialogCall>& ColourDialogCalls() { return Widgets().colour_calls; }
void AnswerFileDialog(std::optional<std::string> answer) { Widgets().file_answers.push_back(std::move(answer)); }
const std::vector<FileDialogCall>& FileDialogCalls() { return Widgets().file_calls; }
void SetOpenDocumentHook(std::function<void()> hook) { Widgets().shell_hook = std::move(hook); }

long RefreshesOf(ui::PalettePictureBox& box) { return static_cast<HeadlessPalettePicturePeer&>(box.Peer()).refreshes_; }

}  // namespace headless

namespace ui {

std::unique_ptr<CanvasPeer> CreateCanvasPeer(Canvas&) { return std::make_unique<headless::HeadlessCanvasPeer>(); }
std::unique_ptr<ComboBoxPeer> CreateComboBoxPeer(ComboBox&, Canvas&) {
  return std::make_unique<headless::HeadlessComboBoxPeer>();
}
std::unique_ptr<ScrollBarPeer> CreateScrollBarPeer(VScrollBar&, Canvas&) {
  return std::make_unique<headless::HeadlessScrollBarPeer>();
}
std::unique_ptr<PalettePicturePeer> CreatePalettePicturePeer(PalettePictureBox&, Form&) {
  return std::make_unique<headless::HeadlessPalettePicturePeer>();
}

void BringToTop(WindowHandle) {}

void DrawTextInto(Picture&, const Rect&, const Rect&, std::string_view, const Font&, Colour, Alignment, bool, bool) {}

Point MeasureText(std::string_view text, const Font& font) {
  const int em = headless::EmPixels(font);
  const auto [half, full] = headless::CountWidths(text);
  return Point{half * em / 2 + full * em, text.empty() ? 0 : em};
}

}  // namespace ui

namespace ui::sys {

using headless::detail::Record;

Colour WindowTextColour() { return 0; }

std::optional<Colour> ChooseColour(WindowHandle owner) {
  auto& w = headless::Widgets();
  w.colour_calls.push_back({owner});
  Record("ChooseColour");
  if (w.colour_answers.empty()) return std::nullopt;
  const auto answer = w.colour_answers.front();
  w.colour_answers.pop_front();
  return answer;
}

std::optional<std::string> ChooseMusicFile(WindowHandle owner, const std::string& title,
                                           const std::string& filter_description, const std::string& patterns) {
  auto& w = headless::Widgets();
  w.file_calls.push_back({owner, title, filter_description, patterns});
  Record("ChooseMusicFile(" + title + ")");
  if (w.file_answers.empty()) return std::nullopt;
  auto answer = w.file_answers.front();
  w.file_answers.pop_front();
  // The system refuses a path that does not fit its buffer with the NUL.
  if (answer && headless::Utf16Length(*answer) > headless::kMaxPathChars) return std::nullopt;
  return answer;
}

void OpenDocument(WindowHandle, const std::string& target) {
  Record("OpenDocument(" + target + ",pointer=" + std::to_string(ui::screen::MousePointer()) + ")");
  if (auto& hook = headless::Widgets().shell_hook) hook();
}

}  // namespace ui::sys
