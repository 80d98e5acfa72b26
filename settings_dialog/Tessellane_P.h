// Form Tessellane_P: the borderless settings window with its own title strip,
// close button and link, the stop-time, colour and music controls, the
// skinned buttons, and the light-ray animation inside whose loop every event
// of the window runs.
#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "controls/Command.h"
#include "ui/form.h"
#include "ui/widgets.h"

namespace app {
struct Tessellane_B;
}

namespace settings_dialog {

// The home page the link label opens.
inline constexpr const char* kHomePageUrl = "https://tessellane.example.org/";

// Elements of a control array addressed by index; an index without an
// element is a run-time error (subscript out of range) like any other.
template <class T, int N>
class ControlArray {
 public:
  T& operator()(int index);
  void Set(int index, std::unique_ptr<T> element) { items_.at(index) = std::move(element); }
  bool Has(int index) const { return index >= 0 && index < N && items_[index]; }

 private:
  std::array<std::unique_ptr<T>, N> items_;
};

// A two-dimensional byte view over memory the view does not own: element
// (x, y) is byte x of scan line y. Indexes outside the bounds, or a detached
// view, are a run-time error (subscript out of range).
class PixelView {
 public:
  void Attach(std::uint8_t* data, int bytes_per_line, int lines);
  // Forgets the memory without freeing it.
  void Detach();
  bool Attached() const { return data_ != nullptr; }
  int BytesPerLine() const { return bytes_per_line_; }
  int Lines() const { return lines_; }
  // Inline: the light rays address two pixels a step.
  std::uint8_t& operator()(int x, int y) {
    if (!data_ || x < 0 || y < 0 || x >= bytes_per_line_ || y >= lines_) [[unlikely]]
      OutOfRange();
    return data_[static_cast<std::size_t>(y) * bytes_per_line_ + x];
  }

 private:
  [[noreturn]] static void OutOfRange();
  std::uint8_t* data_ = nullptr;
  int bytes_per_line_ = 0;
  int lines_ = 0;
};

class Tessellane_P {
 public:
  explicit Tessellane_P(app::Tessellane_B& module);
  ~Tessellane_P();
  Tessellane_P(const Tessellane_P&) = delete;
  Tessellane_P& operator=(const Tessellane_P&) = delete;

  // --- Layout and loading ---------------------------------------------------
  // Places the window, fills the controls from the settings, zooms the
  // window open, shows it and runs the light-ray animation: never returns.
  void Form_Load();
  // The loading steps up to and including showing the window.
  void LoadAndShow();
  void Form_Resize();
  // Zooms the window closed, destroys it and ends the program.
  void Form_Unload();
  void InitialiseButtons(Tessellane_P& form, bool initialise, bool enable);

  // --- Commands ---------------------------------------------------------------
  void Cmd_Set_Click();
  void Cmd_CAN_Click();
  void Cmd_Color_Click();
  void Cmd_BGM_Click();
  void Img_BGM_Click(std::int16_t index);
  void lbl_BGM_Click(std::int16_t index);
  void Img_Rdm_Click();
  void lbl_B_Rdm_Click();
  void VS_Time_Change();

  // --- Window chrome ----------------------------------------------------------
  void Image1_MouseDown(int button, int shift, float x, float y);
  void Image1_MouseMove(int button, int shift, float x, float y);
  void Image1_MouseUp(int button, int shift, float x, float y);
  void ImgExit_MouseDown(int button, int shift, float x, float y);
  void ImgExit_MouseUp(int button, int shift, float x, float y);
  void lbl_URL_MouseDown(int button, int shift, float x, float y);

  // --- Light-ray animation ----------------------------------------------------
  // Attaches DisplayPixels and fills the ray tables; then the rays due at
  // each frame, and the picture shown once per frame.
  void SetUpRays();
  void RayPass();
  void RayFrame(long rays);
  [[noreturn]] void RunRays();

  // --- The window and its controls (containers before what they contain) -----
  ui::Form Form;
  ui::Canvas Surface;  // the window's own persistent drawing surface
  ui::Canvas Pic_Mbl;  // hidden: the strip tiled over the panel
  ui::PalettePictureBox Display;
  ui::Canvas Pic_1;  // the music panel

  ui::Image Image1;
  ControlArray<ui::Label, 5> lbl;
  ui::Image ImgExit;
  ControlArray<ui::Image, 2> imgImages;
  ControlArray<ui::Shape, 7> Shape;
  ui::VScrollBar VS_Time;
  ui::Label lbl_Stop_Time;
  ui::Label lbl_Color;
  ui::Image Img_Rdm;
  ui::Label lbl_B_Rdm;
  ControlArray<ui::Image, 2> Img_Opt;
  ControlArray<ui::Image, 2> Img_Ra;
  ControlArray<ui::Image, 3> Img_BGM;
  ControlArray<ui::Label, 3> lbl_BGM;
  ui::ComboBox BGM_Repeat;
  ui::Label lbl_Fname;
  ui::Label lbl_URL;
  controls::Command Cmd_Color;
  controls::Command Cmd_CAN;
  controls::Command Cmd_Set;
  controls::Command Cmd_BGM;

  // The window's font, the panel's small font and the link font.
  ui::Font FormFont;
  ui::Font SmallFont;
  ui::Font LinkFont;
  // The window's custom cursor, given to the close button and the link.
  ui::CursorImage CustomCursor;

  // Every control in the window's control order.
  using ControlRef = std::variant<controls::Command*, ui::Windowless*, ui::Canvas*, ui::PalettePictureBox*,
                                  ui::VScrollBar*, ui::ComboBox*>;
  std::vector<ControlRef> Controls;

  // --- Form-level state ------------------------------------------------------
  std::int16_t Dragging = 0;
  std::int16_t DragOffsetX = 0;
  std::int16_t DragOffsetY = 0;
  PixelView DisplayPixels;

  std::array<double, 91> RampStep{};
  std::array<double, 91> RampNorm{};
  std::array<double, 722> RayDirX{};
  std::array<double, 722> RayDirY{};
  std::int16_t RayOriginX = 159;
  std::int16_t RayOriginY = 99;
  std::int16_t RayAngle = 0;
  // Off only in the benchmarks, which measure the animation's raw speed: a
  // ray per pass, without waiting for the next frame.
  bool RaysPaced = true;
  // Rays drawn, and pixel steps taken, since the animation started: read by
  // measurements only.
  std::uint64_t RaysDrawn = 0;
  std::uint64_t StepsDrawn = 0;

 private:
  void PlaceControls();
  void SetDesignProperties();
  void ConnectEvents();
  void TileBackground(ui::Canvas& target);
  void ShowRandomBackground();
  void ShowMusicKind(std::int16_t kind);
  void ToggleRandomBackground();
  std::int16_t TrackNumberToSave();

  app::Tessellane_B& module_;
};

}  // namespace settings_dialog
