// The multimedia services of the headless backend: a small MCI interpreter
// that plays nothing but keeps the state a real device would have on the fake
// clock, so that tests can watch a piece end, a disc run out and a track change.
#include <algorithm>
#include <cctype>
#include <cstdio>

#include "ui/headless/headless.h"
#include "ui/headless/mci_sim.h"
#include "ui/headless/state.h"
#include "ui/multimedia.h"

namespace headless::mci {
namespace {

struct Player {
  bool open = false;
  std::string alias;  // lower case
  std::string path;
  double length = 0;
  bool playing = false;
  double clock0 = 0;  // fake time when playback started
  double pos0 = 0;    // position when playback started
  double pos = 0;
  double end = 0;
  int starts = 0;
};

struct Drive {
  bool open = false;
  std::string format;
  bool playing = false;
  double clock0 = 0;
  double pos0 = 0;
  double pos = 0;
  double end = 0;
};

struct State {
  Config config;
  std::vector<Sent> log;
  Player player;
  Drive cd;
  std::string sound;
};

State& S() {
  auto& slot = detail::P().multimedia;
  if (!slot) slot = std::make_shared<State>();
  return *static_cast<State*>(slot.get());
}

double Now() { return headless::NowMs(); }

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

bool AllDigits(const std::string& s) {
  return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Blank-separated words; a word in double quotes may hold blanks. False when
// a quote is not closed.
bool Split(const std::string& command, std::vector<std::string>& words) {
  std::size_t i = 0;
  while (i < command.size()) {
    if (command[i] == ' ' || command[i] == '\t') {
      ++i;
      continue;
    }
    if (command[i] == '"') {
      const std::size_t close = command.find('"', i + 1);
      if (close == std::string::npos) return false;
      words.push_back(command.substr(i + 1, close - i - 1));
      i = close + 1;
      continue;
    }
    const std::size_t end = command.find_first_of(" \t", i);
    words.push_back(command.substr(i, end == std::string::npos ? std::string::npos : end - i));
    i = end == std::string::npos ? command.size() : end;
  }
  return true;
}

// --- Playback on the fake clock ---------------------------------------------

template <class Device>
void Settle(Device& d) {
  if (!d.playing) return;
  const double at = d.pos0 + (Now() - d.clock0);
  if (at >= d.end) {
    d.playing = false;
    d.pos = d.end;
  } else {
    d.pos = at;
  }
}

template <class Device>
void Start(Device& d, double from, double to) {
  d.pos0 = d.pos = from;
  d.end = to;
  d.clock0 = Now();
  d.playing = from < to;
}

const std::vector<double>& Disc() { return S().config.disc; }
int TrackCount() { return static_cast<int>(Disc().size()); }

double TrackStart(int track) {
  double at = 0;
  for (int t = 1; t < track; ++t) at += Disc()[t - 1];
  return at;
}

double DiscLength() { return TrackStart(TrackCount() + 1); }

int TrackAt(double pos) {
  for (int t = 1; t <= TrackCount(); ++t)
    if (pos < TrackStart(t + 1)) return t;
  return TrackCount();
}

void SettleCd() {
  Drive& cd = S().cd;
  if (Disc().empty()) {
    cd.playing = false;
    cd.pos = 0;
    return;
  }
  Settle(cd);
}

std::string Two(int n) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%02d", n);
  return buffer;
}

// Positions are given and taken as track:minutes:seconds:frames (75 frames a second).
std::string Tmsf(double pos) {
  const int track = TrackAt(pos);
  const long ms = static_cast<long>(pos - TrackStart(track));
  return Two(track) + ":" + Two(static_cast<int>(ms / 60000)) + ":" + Two(static_cast<int>(ms / 1000 % 60)) + ":" +
         Two(static_cast<int>(ms % 1000 * 75 / 1000));
}

int ParseTmsf(const std::string& text, double& pos) {
  std::vector<std::string> fields;
  std::size_t start = 0;
  for (;;) {
    const std::size_t colon = text.find(':', start);
    fields.push_back(text.substr(start, colon == std::string::npos ? std::string::npos : colon - start));
    if (colon == std::string::npos) break;
    start = colon + 1;
  }
  if (fields.size() > 4) return kErrBadInteger;
  for (const auto& f : fields)
    if (!AllDigits(f) || f.size() > 4) return kErrBadInteger;
  const int track = std::stoi(fields[0]);
  if (track < 1 || track > TrackCount()) return kErrOutOfRange;
  const int m = fields.size() > 1 ? std::stoi(fields[1]) : 0;
  const int s = fields.size() > 2 ? std::stoi(fields[2]) : 0;
  const int f = fields.size() > 3 ? std::stoi(fields[3]) : 0;
  pos = TrackStart(track) + m * 60000.0 + s * 1000.0 + f * 1000.0 / 75;
  if (pos >= DiscLength()) return kErrOutOfRange;
  return 0;
}

// "from X" and "to Y" after the device name.
int ReadFromTo(const std::vector<std::string>& w, std::string& from, std::string& to) {
  for (std::size_t i = 2; i < w.size(); i += 2) {
    if (i + 1 >= w.size()) return kErrUnrecognizedKeyword;
    const std::string key = Lower(w[i]);
    if (key == "from") from = w[i + 1];
    else if (key == "to") to = w[i + 1];
    else return kErrUnrecognizedKeyword;
  }
  return 0;
}

// --- The two devices --------------------------------------------------------

int OpenFile(const std::vector<std::string>& w) {
  std::string type;
  std::string alias;
  for (std::size_t i = 2; i < w.size(); i += 2) {
    if (i + 1 >= w.size()) return kErrUnrecognizedKeyword;
    const std::string key = Lower(w[i]);
    if (key == "type") type = Lower(w[i + 1]);
    else if (key == "alias") alias = Lower(w[i + 1]);
    else return kErrUnrecognizedKeyword;
  }
  if (type != "mpegvideo") return kErrInvalidDeviceName;
  Player& p = S().player;
  if (p.open) return kErrDeviceOpen;
  if (!S().config.audio_device) return kErrInternal;
  const auto file = S().config.files.find(w[1]);
  if (file == S().config.files.end()) return kErrFileNotFound;
  p = Player{};
  p.open = true;
  p.alias = alias.empty() ? Lower(w[1]) : alias;
  p.path = w[1];
  p.length = file->second;
  return 0;
}

int FileCommand(const std::string& verb, const std::vector<std::string>& w, std::string& reply) {
  Player& p = S().player;
  Settle(p);
  if (verb == "play") {
    std::string from, to;
    if (int e = ReadFromTo(w, from, to)) return e;
    double start = p.pos;
    double end = p.length;
    if (!from.empty()) {
      if (!AllDigits(from)) return kErrBadInteger;
      start = std::stod(from);
    }
    if (!to.empty()) {
      if (!AllDigits(to)) return kErrBadInteger;
      end = std::stod(to);
    }
    if (start > p.length || end > p.length) return kErrOutOfRange;
    Start(p, start, end);
    ++p.starts;
    return 0;
  }
  if (verb == "stop" && w.size() == 2) {
    p.playing = false;
    return 0;
  }
  if (verb == "close" && w.size() == 2) {
    const int starts = p.starts;
    p = Player{};
    p.starts = starts;
    return 0;
  }
  if (verb == "status" && w.size() == 3) {
    const std::string item = Lower(w[2]);
    if (item == "mode") reply = p.playing ? "playing" : "stopped";
    else if (item == "position") reply = std::to_string(static_cast<long>(p.pos));
    else if (item == "length") reply = std::to_string(static_cast<long>(p.length));
    else return kErrUnrecognizedKeyword;
    return 0;
  }
  return kErrUnrecognizedCommand;
}

int CdCommand(const std::string& verb, const std::vector<std::string>& w, std::string& reply) {
  Drive& cd = S().cd;
  SettleCd();
  std::vector<std::string> rest;
  for (std::size_t i = 2; i < w.size(); ++i) rest.push_back(Lower(w[i]));
  if (verb == "play") {
    std::string from, to;
    if (int e = ReadFromTo(w, from, to)) return e;
    if (Disc().empty()) return kErrDeviceNotReady;
    double start = cd.pos;
    double end = DiscLength();
    if (!from.empty()) {
      if (int e = ParseTmsf(from, start)) return e;
    } else if (cd.pos >= DiscLength()) {
      // Play at the end of the disc starts it again from the beginning.
      start = 0;
    }
    if (!to.empty())
      if (int e = ParseTmsf(to, end)) return e;
    Start(cd, start, end);
    return 0;
  }
  if (verb == "stop" && rest.empty()) {
    cd.playing = false;
    return 0;
  }
  if (verb == "close" && rest.empty()) {
    // A drive plays on after close; only stop ends the sound.
    cd.open = false;
    return 0;
  }
  if (verb == "set") {
    if (rest.size() != 3 || rest[0] != "time" || rest[1] != "format") return kErrUnrecognizedKeyword;
    if (rest[2] != "tmsf" && rest[2] != "msf" && rest[2] != "milliseconds" && rest[2] != "ms") return kErrBadTimeFormat;
    cd.format = rest[2];
    return 0;
  }
  if (verb == "status") {
    if (rest == std::vector<std::string>{"mode"}) {
      reply = Disc().empty() ? "not ready" : cd.playing ? "playing" : "stopped";
      return 0;
    }
    if (rest == std::vector<std::string>{"media", "present"}) {
      reply = Disc().empty() ? "false" : "true";
      return 0;
    }
    if (rest == std::vector<std::string>{"current", "track"} && S().config.current_track_reply) {
      reply = *S().config.current_track_reply;
      return 0;
    }
    if (Disc().empty()) return kErrDeviceNotReady;
    if (rest == std::vector<std::string>{"current", "track"}) {
      reply = std::to_string(TrackAt(cd.pos));
      return 0;
    }
    if (rest == std::vector<std::string>{"number", "of", "tracks"}) {
      reply = std::to_string(TrackCount());
      return 0;
    }
    if (rest == std::vector<std::string>{"position"}) {
      reply = Tmsf(cd.pos);
      return 0;
    }
    if (rest.size() == 3 && rest[0] == "position" && rest[1] == "track") {
      if (!AllDigits(rest[2]) || rest[2].size() > 4) return kErrBadInteger;
      const int track = std::stoi(rest[2]);
      if (track < 1 || track > TrackCount()) return kErrOutOfRange;
      reply = Tmsf(TrackStart(track));
      return 0;
    }
    return kErrUnrecognizedKeyword;
  }
  return kErrUnrecognizedCommand;
}

int Execute(const std::string& command, std::string& reply) {
  std::vector<std::string> w;
  if (!Split(command, w)) return kErrUnrecognizedKeyword;
  if (w.size() < 2) return kErrUnrecognizedCommand;
  const std::string verb = Lower(w[0]);
  const std::string device = Lower(w[1]);
  if (verb == "open") {
    if (device != "cdaudio") return OpenFile(w);
    if (w.size() != 2) return kErrUnrecognizedKeyword;
    if (!S().config.cd_drive) return kErrInvalidDeviceName;
    if (S().cd.open) return kErrDeviceOpen;
    S().cd.open = true;
    return 0;
  }
  if (device == "cdaudio" && S().cd.open) return CdCommand(verb, w, reply);
  if (S().player.open && device == S().player.alias) return FileCommand(verb, w, reply);
  return kErrInvalidDeviceName;
}

const char* ErrorText(int code) {
  switch (code) {
    case kErrUnrecognizedKeyword: return "The specified command contains an unrecognized keyword.";
    case kErrUnrecognizedCommand: return "Unknown command.";
    case kErrInvalidDeviceName: return "The specified device is not open or is not recognized.";
    case kErrDeviceOpen: return "The device name is already being used as an alias.";
    case kErrBadInteger: return "An integer in the command was invalid or missing.";
    case kErrFileNotFound: return "Cannot find the specified file.";
    case kErrDeviceNotReady: return "The device is not ready.";
    case kErrInternal: return "A problem occurred in initializing MCI.";
    case kErrOutOfRange: return "The specified parameter is out of range.";
    case kErrBadTimeFormat: return "The specified time format is invalid.";
    default: return nullptr;
  }
}

}  // namespace

Config& config() { return S().config; }
const std::vector<Sent>& Log() { return S().log; }

std::vector<std::string> Commands() {
  std::vector<std::string> out;
  for (const auto& s : S().log) out.push_back(s.command);
  return out;
}

void ClearLog() { S().log.clear(); }

std::string FileMode() {
  Settle(S().player);
  return !S().player.open ? "closed" : S().player.playing ? "playing" : "stopped";
}
std::string FilePath() { return S().player.open ? S().player.path : std::string(); }
int FileStarts() { return S().player.starts; }

std::string CdMode() {
  SettleCd();
  return S().cd.playing ? "playing" : "stopped";
}
bool CdOpen() { return S().cd.open; }
int CdTrack() {
  SettleCd();
  return Disc().empty() ? 0 : TrackAt(S().cd.pos);
}
std::string CdTimeFormat() { return S().cd.format; }

void RemoveDisc() {
  S().config.disc.clear();
  SettleCd();
}

std::string SoundPlaying() { return S().sound; }

void Reset() { detail::P().multimedia.reset(); }

}  // namespace headless::mci

namespace ui::sys {

using headless::detail::Record;
namespace mci = headless::mci;

int MciSendString(const std::string& command, std::string* reply, std::size_t reply_length) {
  Record("mciSendString(" + command + ")");
  mci::S().log.push_back({headless::NowMs(), command});
  std::string text;
  int code = 0;
  const auto& scripted = mci::S().config.scripted;
  if (auto answer = scripted ? scripted(command) : std::nullopt) {
    code = answer->first;
    text = std::move(answer->second);
  } else {
    code = mci::Execute(command, text);
  }
  // A failed command leaves the caller's buffer as it was, as the system does.
  if (reply && reply_length > 0) *reply = (code == 0 ? text : *reply).substr(0, reply_length - 1);
  return code;
}

int MciGetErrorString(int code, std::string& text, std::size_t length) {
  Record("mciGetErrorString(" + std::to_string(code) + ")");
  const char* description = mci::S().config.error_texts ? mci::ErrorText(code) : nullptr;
  if (!description || length == 0) return 0;
  text = std::string(description).substr(0, length - 1);
  return 1;
}

int PlaySoundLooped(const std::string& file) {
  Record("PlaySoundLooped(" + file + ")");
  auto& s = mci::S();
  // Like the system, it answers success without a device but plays nothing.
  if (s.config.wave_devices <= 0) return 1;
  if (!s.config.files.count(file)) return 0;
  s.sound = file;
  return 1;
}

int StopSound() {
  Record("StopSound");
  mci::S().sound.clear();
  return 1;
}

int WaveOutputDevices() {
  Record("WaveOutputDevices");
  return headless::mci::config().wave_devices;
}

}  // namespace ui::sys
