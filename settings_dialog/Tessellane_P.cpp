// The settings window: its controls and skin images, the placement of the
// window, the settings shown in the controls, the background gradient and
// the tiled panel, and the unload that ends the program.
#include "settings_dialog/Tessellane_P.h"

#include <cmath>
#include <map>

#include "app/Tessellane_B.h"
#include "base/numeric.h"
#include "base/runtime_error.h"
#include "settings_dialog/Tessellane_P_Layout.h"
#include "ui/backend.h"

namespace settings_dialog {
namespace {

using base::ResumeNext;

constexpr ui::Colour kFormBackColour = 0x00808080;
constexpr ui::Colour kPanelBackColour = 0x00E0E0E0;
// Outlines of the headings: a soft lavender that reads on the whole gradient.
constexpr ui::Colour kOutlineColour = ui::Rgb(236, 236, 255);

// The skin's pictures, decoded once and shared by every image showing them.
std::shared_ptr<const ui::Picture> Skin(std::string_view name) {
  static std::map<std::string, std::shared_ptr<const ui::Picture>, std::less<>> cache;
  auto it = cache.find(name);
  if (it == cache.end())
    it = cache.emplace(std::string(name), std::make_shared<const ui::Picture>(ui::EmbeddedPicture(name))).first;
  return it->second;
}

base::RuntimeError SubscriptOutOfRange() { return base::RuntimeError(9, "Subscript out of range"); }

}  // namespace

template <class T, int N>
T& ControlArray<T, N>::operator()(int index) {
  if (!Has(index)) throw SubscriptOutOfRange();
  return *items_[index];
}

template class ControlArray<ui::Label, 5>;
template class ControlArray<ui::Label, 3>;
template class ControlArray<ui::Image, 2>;
template class ControlArray<ui::Image, 3>;
template class ControlArray<ui::Shape, 7>;

void PixelView::Attach(std::uint8_t* data, int bytes_per_line, int lines) {
  data_ = data;
  bytes_per_line_ = bytes_per_line;
  lines_ = lines;
}

void PixelView::Detach() {
  data_ = nullptr;
  bytes_per_line_ = 0;
  lines_ = 0;
}

void PixelView::OutOfRange() { throw SubscriptOutOfRange(); }

Tessellane_P::Tessellane_P(app::Tessellane_B& module)
    : Surface(Form),
      Pic_Mbl(Form, true),
      Display(Form),
      Pic_1(Form),
      Image1(Surface),
      ImgExit(Surface),
      VS_Time(Surface),
      lbl_Stop_Time(Surface),
      lbl_Color(Surface),
      Img_Rdm(Surface),
      lbl_B_Rdm(Surface),
      BGM_Repeat(Pic_1),
      lbl_Fname(Pic_1),
      lbl_URL(Surface),
      Cmd_Color(Form),
      Cmd_CAN(Form),
      Cmd_Set(Form),
      Cmd_BGM(Form),
      module_(module) {
  FormFont.Size = 9.75;
  SmallFont.Size = 9;
  LinkFont.Size = 9.75;
  LinkFont.Underline = true;
  Surface.AmbientFont = FormFont;
  Pic_1.AmbientFont = SmallFont;

  lbl.Set(2, std::make_unique<ui::Label>(Surface));
  imgImages.Set(1, std::make_unique<ui::Image>(Surface));
  imgImages.Set(0, std::make_unique<ui::Image>(Surface));
  lbl.Set(0, std::make_unique<ui::Label>(Surface));
  Shape.Set(0, std::make_unique<ui::Shape>(Surface));
  lbl.Set(1, std::make_unique<ui::Label>(Surface));
  Shape.Set(1, std::make_unique<ui::Shape>(Surface));
  for (int i : {1, 0}) Img_Opt.Set(i, std::make_unique<ui::Image>(Surface));
  for (int i : {1, 0}) Img_Ra.Set(i, std::make_unique<ui::Image>(Surface));
  lbl.Set(3, std::make_unique<ui::Label>(Pic_1));
  Shape.Set(6, std::make_unique<ui::Shape>(Pic_1));
  for (int i : {1, 0, 2}) {
    Img_BGM.Set(i, std::make_unique<ui::Image>(Pic_1));
    lbl_BGM.Set(i, std::make_unique<ui::Label>(Pic_1));
  }
  lbl.Set(4, std::make_unique<ui::Label>(Pic_1));

  Form.SetCaption(app::kSettingsTitle);
  Form.SetBackColor(kFormBackColour);
  Form.SetWidth(kClientWidth * ui::screen::TwipsPerPixelX());
  Form.SetHeight(kClientHeight * ui::screen::TwipsPerPixelY());
  Surface.Hold();
  Pic_1.Hold();
  PlaceControls();
  SetDesignProperties();
  ConnectEvents();
  Pic_1.Release();
  Surface.Release();
}

Tessellane_P::~Tessellane_P() = default;

void Tessellane_P::PlaceControls() {
  Surface.Move(0, 0, kClientWidth, kClientHeight);
  // Every row of the table, in control order; the row says where and how big.
  for (const LayoutRow& row : Layout()) {
    const ControlRef control = row.control(*this);
    if (ui::Windowless* const* c = std::get_if<ui::Windowless*>(&control)) {
      (*c)->Name = std::string(row.name);
      (*c)->Index = row.index;
    }
    std::visit([&](auto* c) { c->Move(row.x, row.y, row.width, row.height); }, control);
    if (auto* const* display = std::get_if<ui::PalettePictureBox*>(&control)) (*display)->SetSunkenBorder(true);
    Controls.push_back(control);
  }
  // The window's surface lies below every other child; the buttons above
  // everything (the file button lies over the panel).
  Surface.ZOrder(false);
  for (controls::Command* b : {&Cmd_Color, &Cmd_CAN, &Cmd_Set, &Cmd_BGM}) ui::BringToTop(b->Handle());
}

void Tessellane_P::SetDesignProperties() {
  Image1.SetStretch(true);
  Image1.SetPicture(Skin("dialog_title.jpg"));
  const LayoutRow& title = LayoutOf(*this, &Image1);
  Image1.Move(0, 0, title.width, title.height);

  auto heading = [](ui::Label& l, const std::string& caption, const ui::Font& font) {
    l.SetFont(font);
    l.SetTransparent(true);
    l.SetAlignment(ui::Alignment::Center);
    l.SetCaption(caption);
  };
  lbl(2).SetFont(FormFont);
  lbl(2).SetTransparent(true);
  lbl(2).SetForeColor(ui::kWhite);
  lbl(2).SetCaption(app::kSettingsTitle);
  lbl(2).SetAutoSize(true);

  ImgExit.ToolTipText = "exit button";
  imgImages(1).SetPicture(Skin("dialog_exit_pressed.jpg"));
  imgImages(0).SetPicture(Skin("dialog_exit.jpg"));
  ImgExit.SetPicture(imgImages(0).GetPicture());

  // The animation's picture: 320 x 240, the 3-3-2 colour cube, all black.
  Display.CreatePicture(320, 240, ui::ColourCube332());

  heading(lbl(0), "停止時間", FormFont);
  heading(lbl(1), "背景色", FormFont);
  heading(lbl(3), "BGM", SmallFont);
  for (int i : {0, 1, 6}) Shape(i).SetBorderColor(i == 6 ? ui::Rgb(70, 70, 110) : kOutlineColour);

  // 1 to 20 seconds; given from 20 down to 1 so that the upper arrow raises the value.
  VS_Time.SetRange(20, 1);
  VS_Time.SetValue(20);
  heading(lbl_Stop_Time, "99秒", FormFont);

  lbl_Color.SetFont(SmallFont);
  lbl_Color.SetBorder(true);
  lbl_Color.SetBackColor(0);

  lbl_B_Rdm.SetFont(LinkFont);
  lbl_B_Rdm.SetTransparent(true);
  lbl_B_Rdm.SetCaption("ﾗﾝﾀﾞﾑ");
  lbl_B_Rdm.SetAutoSize(true);

  Img_Opt(1).SetPicture(Skin("dialog_option_on.jpg"));
  Img_Opt(0).SetPicture(Skin("dialog_option_off.jpg"));
  Img_Ra(1).SetPicture(Skin("dialog_check_on.jpg"));
  Img_Ra(0).SetPicture(Skin("dialog_check_off.jpg"));

  Pic_Mbl.PaintPicture(*Skin("dialog_panel_strip.bmp"), 0, 0);
  Pic_1.SetSunkenBorder(true);
  Pic_1.SetBackColor(kPanelBackColour);

  const char* kinds[] = {"無し", "音楽CD", "mp3、wav"};
  for (int i = 0; i < 3; ++i) {
    lbl_BGM(i).SetFont(LinkFont);
    lbl_BGM(i).SetTransparent(true);
    lbl_BGM(i).SetCaption(kinds[i]);
    lbl_BGM(i).SetAutoSize(true);
  }
  BGM_Repeat.SetFont(SmallFont);
  lbl(4).SetFont(SmallFont);
  lbl(4).SetTransparent(true);
  lbl(4).SetCaption("曲目をﾘﾋﾟｰﾄ");
  lbl(4).SetAutoSize(true);

  lbl_Fname.SetFont(SmallFont);
  lbl_Fname.SetTransparent(true);
  lbl_Fname.SetBorder(true);
  lbl_Fname.SetForeColor(ui::sys::WindowTextColour());

  lbl_URL.SetFont(LinkFont);
  lbl_URL.SetTransparent(true);
  lbl_URL.SetForeColor(ui::kWhite);
  lbl_URL.SetCaption(kHomePageUrl);
  lbl_URL.SetAutoSize(true);

  // The buttons are stored with an empty caption and the window's font.
  for (controls::Command* b : {&Cmd_Color, &Cmd_CAN, &Cmd_Set, &Cmd_BGM}) {
    b->SetCaption("");
    b->SetFont(FormFont);
  }

  CustomCursor = ui::ParseCursor(ui::EmbeddedAsset("dialog_link.cur"));
}

void Tessellane_P::ConnectEvents() {
  Form.OnUnload = [this] { Form_Unload(); };
  Cmd_Set.Click = [this] { Cmd_Set_Click(); };
  Cmd_CAN.Click = [this] { Cmd_CAN_Click(); };
  Cmd_Color.Click = [this] { Cmd_Color_Click(); };
  Cmd_BGM.Click = [this] { Cmd_BGM_Click(); };
  for (int i = 0; i < 3; ++i) {
    const auto index = static_cast<std::int16_t>(i);
    Img_BGM(i).OnClick = [this, index] { Img_BGM_Click(index); };
    lbl_BGM(i).OnClick = [this, index] { lbl_BGM_Click(index); };
  }
  Img_Rdm.OnClick = [this] { Img_Rdm_Click(); };
  lbl_B_Rdm.OnClick = [this] { lbl_B_Rdm_Click(); };
  VS_Time.OnChange = [this] { VS_Time_Change(); };
  Image1.OnMouseDown = [this](int b, int s, float x, float y) { Image1_MouseDown(b, s, x, y); };
  Image1.OnMouseMove = [this](int b, int s, float x, float y) { Image1_MouseMove(b, s, x, y); };
  Image1.OnMouseUp = [this](int b, int s, float x, float y) { Image1_MouseUp(b, s, x, y); };
  ImgExit.OnMouseDown = [this](int b, int s, float x, float y) { ImgExit_MouseDown(b, s, x, y); };
  ImgExit.OnMouseUp = [this](int b, int s, float x, float y) { ImgExit_MouseUp(b, s, x, y); };
  lbl_URL.OnMouseDown = [this](int b, int s, float x, float y) { lbl_URL_MouseDown(b, s, x, y); };
}

void Tessellane_P::Form_Load() {
  LoadAndShow();
  RunRays();
}

void Tessellane_P::LoadAndShow() {
  // Centred across, a third of the way down; the size stays as designed.
  Form.SetLeft(static_cast<int>(base::num::RoundHalfEven(ui::screen::WidthTwips() - Form.Width())) / 2);
  Form.SetTop(static_cast<int>(base::num::RoundHalfEven(ui::screen::HeightTwips() - Form.Height())) / 3);
  InitialiseButtons(*this, true, true);
  TileBackground(Pic_1);
  // Settings from a hand-edited file go on to the next control when one does
  // not fit: a stop time outside the spinner's range (invalid property
  // value), a random flag or music kind without a mark (subscript).
  ResumeNext([&] {
    if (!VS_Time.SetValue(module_.StopTime)) throw base::RuntimeError(380, "Invalid property value");
  });
  lbl_Stop_Time.SetCaption(base::num::DecimalText(module_.StopTime) + "秒");
  lbl_Color.SetBackColor(module_.BackgroundColor);
  ResumeNext([&] { ShowRandomBackground(); });
  ResumeNext([&] { ShowMusicKind(module_.BgmKind); });
  for (int i = 0; i <= 30; ++i) BGM_Repeat.AddItem(base::num::FormatHashes(i));
  BGM_Repeat.SetText(base::num::FormatHashes(module_.BgmRepeat));
  lbl_Fname.SetCaption(module_.BgmFile);
  Cmd_CAN.SetCaption("ｷｬﾝｾﾙ");
  Cmd_Set.SetCaption("設定");
  Cmd_Color.SetCaption("...");
  Cmd_BGM.SetCaption("...");
  for (controls::Command* b : {&Cmd_CAN, &Cmd_Set, &Cmd_Color, &Cmd_BGM}) {
    ui::Font f = b->Font();
    f.Name = FormFont.Name;
    b->SetFont(f);
  }
  for (controls::Command* b : {&Cmd_CAN, &Cmd_Set, &Cmd_Color, &Cmd_BGM}) {
    ui::Font f = b->Font();
    f.Size = FormFont.Size;
    b->SetFont(f);
  }
  // Each coordinate on its own: an x beyond 16 bits (a monitor far to the
  // right) is skipped and y is still taken.
  ui::Point cursor;
  if (ui::sys::GetCursorPos(cursor)) {
    ResumeNext([&] { module_.ZoomOriginX = base::num::RoundToInt16(cursor.x); });
    ResumeNext([&] { module_.ZoomOriginY = base::num::RoundToInt16(cursor.y); });
  } else {
    module_.ZoomOriginX = 0;
    module_.ZoomOriginY = 0;
  }
  module_.ZoomWindowOpen(Form.Handle());
  ui::screen::SetMousePointer(ui::screen::kDefaultPointer);
  Dragging = 0;
  ImgExit.MouseIcon = CustomCursor.Empty() ? nullptr : &CustomCursor;
  lbl_URL.MouseIcon = CustomCursor.Empty() ? nullptr : &CustomCursor;
  Form_Resize();
  Form.Show();
}

void Tessellane_P::ShowRandomBackground() { Img_Rdm.SetPicture(Img_Ra(module_.RandomBackground).GetPicture()); }

void Tessellane_P::ShowMusicKind(std::int16_t kind) {
  for (int i = 0; i <= 2; ++i) Img_BGM(i).SetPicture(Img_Opt(0).GetPicture());
  Img_BGM(kind).SetPicture(Img_Opt(1).GetPicture());
}

void Tessellane_P::InitialiseButtons(Tessellane_P& form, bool initialise, bool enable) {
  for (const ControlRef& control : form.Controls) {
    auto* const* button = std::get_if<controls::Command*>(&control);
    if (!button) continue;
    if (initialise) (*button)->Initialize();
    else (*button)->SetEnabled(enable);
  }
}

void Tessellane_P::TileBackground(ui::Canvas& target) {
  // The strip's copies go down the target, then across; the loop ends once a
  // copy has started beyond both the target's height and its width.
  const int strip_width = Pic_Mbl.Width(), strip_height = Pic_Mbl.Height();
  if (strip_width <= 0 || strip_height <= 0) return;
  int x = 0, y = 0;
  target.Hold();
  for (;;) {
    ui::BitBlt(target, x, y, strip_width, strip_height, Pic_Mbl, 0, 0);
    if (y > target.Height()) {
      if (x > target.Width()) break;
      x += strip_width;
      y = 0;
    } else {
      y += strip_height;
    }
  }
  target.Release();
}

void Tessellane_P::Form_Resize() {
  // A vertical gradient, dark blue at the top and bottom, lavender between.
  const int width = Surface.ClientWidth();
  const double height = Surface.ClientHeight();
  const double k = height / 3.142;
  const int rows = static_cast<int>(base::num::RoundHalfEven(height));
  Surface.Hold();
  for (int i = 0; i <= rows; ++i) {
    const int c = static_cast<int>(base::num::RoundHalfEven(std::fabs(std::sin(i / k) * 220)));
    Surface.Line(0, i, width, i, ui::Rgb(c, c, c + 30));
  }
  Surface.Release();
}

void Tessellane_P::Form_Unload() {
  DisplayPixels.Detach();
  module_.ZoomWindowClose(Form.Handle());
  Form.Peer().Destroy();
  ui::sys::EndProcess(0);
}

}  // namespace settings_dialog
