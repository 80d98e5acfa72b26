// The multimedia services of the headless backend: the shared MCI
// interpreter over fake devices that play nothing but keep the state a real
// device would have on the fake clock, so that tests can watch a piece end, a
// disc run out and a track change.
#include <cctype>

#include "ui/backend.h"
#include "ui/common/mci_interpreter.h"
#include "ui/headless/headless.h"
#include "ui/headless/mci_sim.h"
#include "ui/headless/state.h"

namespace headless::mci {
namespace {

double Now() { return headless::NowMs(); }

// Playback of a stretch [pos0, end) started at fake time clock0.
struct Playback {
  bool playing = false;
  bool loop = false;
  double clock0 = 0;
  double pos0 = 0;
  double pos = 0;
  double end = 0;

  void Settle() {
    if (!playing || loop) return;
    const double at = pos0 + (Now() - clock0);
    playing = at < end;
    pos = playing ? at : end;
  }
  void Start(double from, double to) {
    pos0 = pos = from;
    end = to;
    clock0 = Now();
    playing = from < to;
  }
};

struct State;

class FakePlayer : public ui::mci::FilePlayer {
 public:
  explicit FakePlayer(State& s);
  ~FakePlayer() override;
  int Open(const std::string& path, bool loop) override;
  int Play(std::optional<double> from_ms) override;
  void Stop() override { playback_.playing = false; }
  bool Playing() override {
    playback_.Settle();
    return playback_.playing;
  }
  bool loop() const { return playback_.loop; }
  const std::string& path() const { return path_; }

 private:
  State& s_;
  std::string path_;
  double length_ = 0;
  Playback playback_;
};

// The drive itself outlives its device: like a real drive it plays on after
// "close" unless it was stopped first.
class FakeDrive : public ui::mci::CdDrive {
 public:
  explicit FakeDrive(State& s) : s_(s) {}
  std::vector<double> Tracks() override;
  double Position() override;
  int Play(double from_ms, double to_ms) override;
  void Stop() override;
  bool Playing() override;

 private:
  State& s_;
};

class FakeDevices : public ui::mci::Devices {
 public:
  explicit FakeDevices(State& s) : s_(s) {}
  std::unique_ptr<ui::mci::FilePlayer> NewFilePlayer() override { return std::make_unique<FakePlayer>(s_); }
  std::unique_ptr<ui::mci::CdDrive> OpenCdDrive(int& error) override;

 private:
  State& s_;
};

struct State {
  Config config;
  std::vector<Sent> log;
  std::vector<FakePlayer*> players;  // alive now
  int starts = 0;                    // plays accepted by MCI's file player
  Playback drive;
  FakeDevices devices{*this};
  ui::mci::Interpreter interpreter{devices};

  void SettleDrive() {
    if (config.disc.empty()) drive = Playback{};
    else drive.Settle();
  }
  FakePlayer* MciPlayer() {
    for (FakePlayer* p : players)
      if (!p->loop()) return p;
    return nullptr;
  }
};

State& Multimedia() {
  auto& slot = detail::TheProcess().multimedia;
  if (!slot) slot = std::make_shared<State>();
  return *static_cast<State*>(slot.get());
}

FakePlayer::FakePlayer(State& s) : s_(s) {}

FakePlayer::~FakePlayer() { std::erase(s_.players, this); }

int FakePlayer::Open(const std::string& path, bool loop) {
  if (!s_.config.audio_device) return kErrInternal;
  const auto file = s_.config.files.find(path);
  if (file == s_.config.files.end()) return kErrFileNotFound;
  path_ = path;
  length_ = file->second;
  playback_.loop = loop;
  s_.players.push_back(this);
  return 0;
}

int FakePlayer::Play(std::optional<double> from_ms) {
  playback_.Settle();
  const double start = from_ms.value_or(playback_.pos);
  if (start > length_) return kErrOutOfRange;
  playback_.Start(start, length_);
  if (!playback_.loop) ++s_.starts;
  return 0;
}

std::vector<double> FakeDrive::Tracks() {
  s_.SettleDrive();
  return s_.config.disc;
}

double FakeDrive::Position() {
  s_.SettleDrive();
  return s_.drive.pos;
}

int FakeDrive::Play(double from_ms, double to_ms) {
  s_.drive.Start(from_ms, to_ms);
  return 0;
}

void FakeDrive::Stop() { s_.drive.playing = false; }

bool FakeDrive::Playing() {
  s_.SettleDrive();
  return s_.drive.playing;
}

std::unique_ptr<ui::mci::CdDrive> FakeDevices::OpenCdDrive(int& error) {
  if (!s_.config.cd_drive) {
    error = kErrInvalidDeviceName;
    return nullptr;
  }
  return std::make_unique<FakeDrive>(s_);
}

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

// The answers a test scripted instead of the devices', if any.
std::optional<std::pair<int, std::string>> Scripted(const std::string& command) {
  State& s = Multimedia();
  if (s.config.scripted)
    if (auto answer = s.config.scripted(command)) return answer;
  if (s.config.current_track_reply && s.interpreter.IsOpen("cdaudio") &&
      Lower(command) == "status cdaudio current track")
    return std::make_pair(0, *s.config.current_track_reply);
  return std::nullopt;
}

}  // namespace

Config& config() { return Multimedia().config; }
const std::vector<Sent>& Log() { return Multimedia().log; }

std::vector<std::string> Commands() {
  std::vector<std::string> out;
  for (const auto& s : Multimedia().log) out.push_back(s.command);
  return out;
}

void ClearLog() { Multimedia().log.clear(); }
const std::vector<std::string>& NotUnderstood() { return Multimedia().interpreter.NotUnderstood(); }

std::string FileMode() {
  FakePlayer* p = Multimedia().MciPlayer();
  return !p ? "closed" : p->Playing() ? "playing" : "stopped";
}
std::string FilePath() {
  FakePlayer* p = Multimedia().MciPlayer();
  return p ? p->path() : std::string();
}
int FileStarts() { return Multimedia().starts; }

std::string CdMode() {
  Multimedia().SettleDrive();
  return Multimedia().drive.playing ? "playing" : "stopped";
}
bool CdOpen() { return Multimedia().interpreter.IsOpen("cdaudio"); }
int CdTrack() {
  Multimedia().SettleDrive();
  return ui::mci::TrackAt(Multimedia().config.disc, Multimedia().drive.pos);
}
std::string CdTimeFormat() { return Multimedia().interpreter.CdTimeFormat(); }

void RemoveDisc() {
  Multimedia().config.disc.clear();
  Multimedia().SettleDrive();
}

std::string SoundPlaying() { return Multimedia().interpreter.LoopedFile(); }

void Reset() { detail::TheProcess().multimedia.reset(); }

}  // namespace headless::mci

namespace ui::sys {

using headless::detail::Record;
namespace mci = headless::mci;

int MciSendString(const std::string& command, std::string* reply, std::size_t reply_length) {
  Record("mciSendString(" + command + ")");
  auto& s = mci::Multimedia();
  s.log.push_back({headless::NowMs(), command});
  std::string text;
  int code = 0;
  if (auto answer = mci::Scripted(command)) {
    code = answer->first;
    text = std::move(answer->second);
  } else {
    code = s.interpreter.Execute(command, text);
  }
  ui::mci::FillReply(code, text, reply, reply_length);
  return code;
}

int MciGetErrorString(int code, std::string& text, std::size_t length) {
  Record("mciGetErrorString(" + std::to_string(code) + ")");
  const char* description = mci::Multimedia().config.error_texts ? ui::mci::ErrorText(code) : nullptr;
  if (!description || length == 0) return 0;
  text = std::string(description).substr(0, length - 1);
  return 1;
}

int PlaySoundLooped(const std::string& file) {
  Record("PlaySoundLooped(" + file + ")");
  // Like the system, it answers success without a device but plays nothing.
  if (mci::Multimedia().config.wave_devices <= 0) return 1;
  return mci::Multimedia().interpreter.PlayLooped(file);
}

int StopSound() {
  Record("StopSound");
  return mci::Multimedia().interpreter.StopLooped();
}

int WaveOutputDevices() {
  Record("WaveOutputDevices");
  return headless::mci::config().wave_devices;
}

}  // namespace ui::sys
