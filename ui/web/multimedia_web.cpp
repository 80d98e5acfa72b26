// Sound in the browser: the shared MCI interpreter over a file player built
// on the browser's audio. An audio CD cannot be reached from a page: the
// page says so, and the display runs silent.
#include "ui/backend.h"
#include "ui/common/mci_interpreter.h"
#include "ui/web/backend_web.h"
#include "ui/web/browser.h"

namespace ui::web {
namespace {

constexpr const char* kNoCd = "音楽CDはブラウザーからは再生できません。BGMなしで表示します。";

// The page's player: decodes the kept file and plays it through the page's
// sound output; it answers at once while the file is still being decoded.
class WebFilePlayer : public mci::FilePlayer {
 public:
  ~WebFilePlayer() override { tess_player_close(id_); }
  int Open(const std::string& path, bool loop) override { return tess_player_open(id_, path.c_str(), loop); }
  int Play(std::optional<double> from_ms) override {
    tess_player_play(id_, from_ms ? *from_ms : -1);
    return 0;
  }
  void Stop() override { tess_player_stop(id_); }
  bool Playing() override { return tess_player_playing(id_) != 0; }

 private:
  const int id_ = NextId();
};

class WebDevices : public mci::Devices {
 public:
  std::unique_ptr<mci::FilePlayer> NewFilePlayer() override { return std::make_unique<WebFilePlayer>(); }
  std::unique_ptr<mci::CdDrive> OpenCdDrive(int& error) override {
    tess_notice(kNoCd);
    error = mci::kErrDeviceNotReady;
    return nullptr;
  }
};

}  // namespace
}  // namespace ui::web

namespace ui::mci {

Interpreter& SystemInterpreter() {
  static auto* devices = new web::WebDevices;
  static auto* interpreter = new Interpreter(*devices);
  return *interpreter;
}

int SystemSoundOutputs() { return tess_audio_outputs(); }

}  // namespace ui::mci
