// The settings window's commands: save, cancel, the colour and file dialogs,
// the music kind, the random background and the stop-time spinner.
#include <cmath>
#include <string>

#include "app/Tessellane_B.h"
#include "app/settings_values.h"
#include "base/numeric.h"
#include "base/runtime_error.h"
#include "settings_dialog/Tessellane_P.h"
#include "ui/backend.h"
#include "ui/codepage.h"

namespace settings_dialog {
namespace {

using base::ResumeNext;

// The track list offers 0 to 30; a number too large or too small for a
// 16-bit value is taken as the nearest end of that list.
constexpr int kLastListedTrack = 30;

constexpr const char* kMessageTitle = "テセレーン";
constexpr const char* kUnstorablePath =
    "このファイルの名前には、設定ファイルに記録できない文字が含まれています。\r\n"
    "別の名前のファイルを選んでください。\r\n\r\n";
constexpr const char* kTooLongPath =
    "このファイルのパスは長すぎて、設定ファイルに記録できません。\r\n"
    "もっと短いパスのファイルを選んでください。\r\n\r\n";
constexpr const char* kQuoteInPath =
    "このファイルの名前には「\"」が含まれているため、音楽として再生できません。\r\n"
    "別の名前のファイルを選んでください。\r\n\r\n";

// The settings file's reader takes a value into a buffer of 256 bytes with
// its NUL: a longer path would come back cut, perhaps inside a character, and
// the music file would be lost at the next start.
constexpr std::size_t kLongestStoredPathBytes = 255;

// Why a path cannot be kept in the settings file, or played from it; null
// when it can.
const char* WhyRefused(const std::string& path) {
  if (!ui::FitsCp932(path)) return kUnstorablePath;
  if (ui::Utf8ToCp932(path).size() > kLongestStoredPathBytes) return kTooLongPath;
  // The music's command text quotes the path and has no way to carry a
  // quote inside it. Windows allows none in a name; other systems do.
  if (path.find('"') != std::string::npos) return kQuoteInPath;
  return nullptr;
}

}  // namespace

std::int16_t Tessellane_P::TrackNumberToSave() {
  const auto number = base::num::TryReadStrict(BGM_Repeat.Text());
  if (!number || std::isnan(*number)) return 0;
  const double rounded = base::num::RoundHalfEven(*number);
  if (rounded > INT16_MAX) return kLastListedTrack;
  if (rounded < INT16_MIN) return 0;
  return static_cast<std::int16_t>(rounded);
}

void Tessellane_P::Cmd_Set_Click() {
  // All six keys, whether or not anything changed; the file changes once,
  // with all of them. The spinner's range keeps the stop time within 16 bits.
  app::SettingsSave save;
  app::SettingsValues saved = module_;
  saved.StopTime = static_cast<std::int16_t>(VS_Time.Value());
  saved.BackgroundColor = lbl_Color.BackColor();
  module_.BgmRepeat = TrackNumberToSave();
  saved.BgmRepeat = module_.BgmRepeat;
  save.Write(saved);
  std::string failure;
  if (!save.Commit(failure)) ui::sys::ShowWarning(Form.Handle(), failure, kMessageTitle);
  Form.Unload();
  ui::sys::EndProcess(0);
}

void Tessellane_P::Cmd_CAN_Click() {
  Form.Unload();
  ui::sys::EndProcess(0);
}

void Tessellane_P::Cmd_Color_Click() {
  if (const auto colour = ui::sys::ChooseColour(Form.Handle())) lbl_Color.SetBackColor(*colour);
}

void Tessellane_P::Cmd_BGM_Click() {
  const auto chosen = ui::sys::ChooseMusicFile(Form.Handle(), "ﾌｧｲﾙを開く", "BGMﾌｧｲﾙ (MP3 WAV)", "*.MP3;*.WAV");
  module_.ApiResult = chosen ? 1 : 0;
  if (!chosen) return;
  // A path the settings file cannot hold would come back as another path.
  if (const char* why = WhyRefused(*chosen)) {
    ui::sys::ShowWarning(Form.Handle(), why + *chosen, kMessageTitle);
    return;
  }
  module_.BgmFile = *chosen;
  lbl_Fname.SetCaption(module_.BgmFile);
}

void Tessellane_P::Img_BGM_Click(std::int16_t index) {
  // A kind without a mark (subscript out of range) is still taken.
  ResumeNext([&] { ShowMusicKind(index); });
  module_.BgmKind = index;
}

void Tessellane_P::lbl_BGM_Click(std::int16_t index) { Img_BGM_Click(index); }

void Tessellane_P::ToggleRandomBackground() {
  // Off becomes on and on becomes off; a value the file should not hold
  // (shown without a mark) becomes on, so the click always shows a mark.
  module_.RandomBackground = module_.RandomBackground == 1 ? 0 : 1;
  ShowRandomBackground();
}

void Tessellane_P::Img_Rdm_Click() { ToggleRandomBackground(); }
void Tessellane_P::lbl_B_Rdm_Click() { ToggleRandomBackground(); }

void Tessellane_P::VS_Time_Change() { lbl_Stop_Time.SetCaption(base::num::DecimalText(VS_Time.Value()) + "秒"); }

}  // namespace settings_dialog
