// Fuzzes the music's handling of what the multimedia system answers: the CD
// watchdog (Timer2), the arrow keys and the MP3 repeat poll (Timer1) of the
// display, fed arbitrary reply texts and error codes through the headless
// MCI simulator. Nothing escapes, the watchdog's timer follows its flag, and
// the reply buffers keep their sizes.
//
// Input: BGMREPEAT(2 bytes) then steps; a step is one byte (low two bits:
// CD tick, left key, right key, MP3 tick). Each command the step sends takes
// the next answer from the same bytes: a byte whose low bit is 0 lets the
// simulator answer, else CODE(2 bytes) LENGTH(1 byte) TEXT(LENGTH bytes).
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "app/Tessellane_B.h"
#include "base/numeric.h"
#include "display/Tessellane_S.h"
#include "fuzz/fuzz_support.h"
#include "music/Tessellane_BGM.h"
#include "ui/headless/headless.h"
#include "ui/headless/mci_sim.h"

namespace {

using fuzz_support::Require;

class Bytes {
 public:
  explicit Bytes(std::string_view data) : data_(data) {}
  bool Empty() const { return data_.empty(); }
  std::uint8_t Byte() {
    if (data_.empty()) return 0;
    const auto b = static_cast<std::uint8_t>(data_.front());
    data_.remove_prefix(1);
    return b;
  }
  std::string Text(std::size_t n) {
    const std::string text(data_.substr(0, n));
    data_.remove_prefix(text.size());
    return text;
  }

 private:
  std::string_view data_;
};

constexpr ui::Key kKeyLeft = ui::Key::kLeft;
constexpr ui::Key kKeyRight = ui::Key::kRight;

void CheckBuffers(const music::Tessellane_BGM& bgm) {
  Require(bgm.Mp3ModeBuffer.size() < music::kMp3ModeLength, "the MP3 mode reply fits its buffer");
  Require(bgm.CdModeBuffer.size() < music::kCdModeLength, "the CD mode reply fits its buffer");
  Require(bgm.CdAudioOk == base::num::kFalse || bgm.CdAudioOk == base::num::kTrue, "the CD flag is a Boolean");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Bytes in(std::string_view(reinterpret_cast<const char*>(data), size));
  headless::Reset();
  headless::config().app_path = fuzz_support::ProgramDir().string();
  auto& mci = headless::mci::config();
  mci.files["C:\\music\\piece.mp3"] = 3000;
  mci.disc = {60000, 45000, 30000};
  mci.scripted = [&in](const std::string&) -> std::optional<std::pair<int, std::string>> {
    if (in.Empty() || (in.Byte() & 1) == 0) return std::nullopt;
    const int code = in.Byte() | (in.Byte() << 8);
    const std::size_t length = in.Byte();
    return std::make_pair(code, in.Text(length));
  };

  app::Tessellane_B module;
  module.BgmKind = 1;
  module.BgmFile = "C:\\music\\piece.mp3";
  module.BgmRepeat = static_cast<std::int16_t>(in.Byte() | (in.Byte() << 8));
  display::Tessellane_S s(module);
  s.BGM.OpenCdAudio();
  s.Timer2.SetEnabled(true);
  s.BGM.PlayMp3();

  while (!in.Empty()) {
    switch (in.Byte() & 3) {
      case 0:
        if (!s.Timer2.Enabled()) break;
        s.Timer2_Timer();
        Require(s.Timer2.Enabled() == (s.BGM.CdAudioOk != 0), "the CD poll runs while the drive answers");
        break;
      case 1: s.Form_KeyDown(kKeyLeft, 0); break;
      case 2: s.Form_KeyDown(kKeyRight, 0); break;
      case 3: s.Timer1_Timer(); break;
    }
    CheckBuffers(s.BGM);
    headless::AdvanceMs(200);
  }
  mci.scripted = nullptr;
  return 0;
}
