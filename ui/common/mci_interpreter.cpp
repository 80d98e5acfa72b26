// The MCI command interpreter shared by the backends without the system's
// MCI. It knows exactly the command forms the music sends; anything else is
// refused with kErrUnsupported and kept in NotUnderstood.
#include "ui/common/mci_interpreter.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace ui::mci {
namespace {

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

double TrackStart(const std::vector<double>& tracks, int track) {
  double at = 0;
  for (int t = 1; t < track; ++t) at += tracks[t - 1];
  return at;
}

double DiscLength(const std::vector<double>& tracks) { return TrackStart(tracks, static_cast<int>(tracks.size()) + 1); }

std::string Two(int n) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%02d", n);
  return buffer;
}

// A track number as the status and play commands take it: 1 to 4 digits.
int ReadTrack(const std::vector<double>& tracks, const std::string& text, int& track) {
  if (!AllDigits(text) || text.size() > 4) return kErrBadInteger;
  track = std::stoi(text);
  if (track < 1 || track > static_cast<int>(tracks.size())) return kErrOutOfRange;
  return 0;
}

}  // namespace

int TrackAt(const std::vector<double>& tracks, double pos_ms) {
  const int count = static_cast<int>(tracks.size());
  for (int t = 1; t <= count; ++t)
    if (pos_ms < TrackStart(tracks, t + 1)) return t;
  return count;
}

std::string Tmsf(const std::vector<double>& tracks, double pos_ms) {
  const int track = TrackAt(tracks, pos_ms);
  const long ms = static_cast<long>(pos_ms - TrackStart(tracks, track));
  return Two(track) + ":" + Two(static_cast<int>(ms / 60000)) + ":" + Two(static_cast<int>(ms / 1000 % 60)) + ":" +
         Two(static_cast<int>(ms % 1000 * 75 / 1000));
}

int ParseTmsf(const std::vector<double>& tracks, const std::string& text, double& pos_ms) {
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
  int track = 0;
  if (int e = ReadTrack(tracks, fields[0], track)) return e;
  const int m = fields.size() > 1 ? std::stoi(fields[1]) : 0;
  const int s = fields.size() > 2 ? std::stoi(fields[2]) : 0;
  const int f = fields.size() > 3 ? std::stoi(fields[3]) : 0;
  pos_ms = TrackStart(tracks, track) + m * 60000.0 + s * 1000.0 + f * 1000.0 / 75;
  if (pos_ms >= DiscLength(tracks)) return kErrOutOfRange;
  return 0;
}

const char* ErrorText(int code) {
  switch (code) {
    case kErrUnrecognizedKeyword: return "The specified command contains an unrecognized keyword.";
    case kErrInvalidDeviceName: return "The specified device is not open or is not recognized.";
    case kErrDeviceOpen: return "The device name is already being used as an alias.";
    case kErrBadInteger: return "An integer in the command was invalid or missing.";
    case kErrUnsupported: return "The device does not support the specified command.";
    case kErrFileNotFound: return "Cannot find the specified file.";
    case kErrDeviceNotReady: return "The device is not ready.";
    case kErrInternal: return "There is no sound output for the device.";
    case kErrOutOfRange: return "The specified parameter is out of range.";
    case kErrBadTimeFormat: return "The specified time format is invalid.";
    default: return nullptr;
  }
}

void FillReply(int code, const std::string& text, std::string* reply, std::size_t reply_length) {
  if (reply && reply_length > 0) *reply = (code == 0 ? text : *reply).substr(0, reply_length - 1);
}

// The words of a command as sent and in lower case.
struct Interpreter::Words {
  std::string command;
  std::vector<std::string> raw;
  std::vector<std::string> low;
  std::size_t size() const { return raw.size(); }
  // The words after the device name, lower case.
  std::vector<std::string> Rest() const { return {low.begin() + 2, low.end()}; }
};

Interpreter::Interpreter(Devices& devices) : devices_(devices) {}

int Interpreter::Unsupported(const std::string& command) {
  not_understood_.push_back(command);
  return kErrUnsupported;
}

int Interpreter::Send(const std::string& command, std::string* reply, std::size_t reply_length) {
  std::string text;
  const int code = Execute(command, text);
  FillReply(code, text, reply, reply_length);
  return code;
}

int Interpreter::Execute(const std::string& command, std::string& text) {
  Words w{command, {}, {}};
  if (!Split(command, w.raw) || w.raw.size() < 2) return Unsupported(command);
  for (const auto& word : w.raw) w.low.push_back(Lower(word));
  if (w.low[0] == "open") return Open(w);
  if (w.low[1] == "cdaudio") return CdCommand(w, text);
  return FileCommand(w, text);
}

int Interpreter::Open(const Words& w) {
  if (w.low[1] == "cdaudio") {
    if (w.size() != 2) return Unsupported(w.command);
    if (cd_) return kErrDeviceOpen;
    int error = kErrInvalidDeviceName;
    cd_ = devices_.OpenCdDrive(error);
    cd_format_.clear();
    return cd_ ? 0 : error;
  }
  std::string type;
  std::string alias;
  for (std::size_t i = 2; i < w.size(); i += 2) {
    if (i + 1 >= w.size()) return Unsupported(w.command);
    if (w.low[i] == "type") type = w.low[i + 1];
    else if (w.low[i] == "alias") alias = w.low[i + 1];
    else return Unsupported(w.command);
  }
  // The type is always named: a file is never opened by its extension.
  if (type != "mpegvideo") return Unsupported(w.command);
  if (player_) return kErrDeviceOpen;
  auto player = devices_.NewFilePlayer();
  if (int e = player->Open(w.raw[1], false)) return e;
  player_ = std::move(player);
  player_alias_ = alias.empty() ? w.low[1] : alias;
  return 0;
}

int Interpreter::FileCommand(const Words& w, std::string& text) {
  const std::string& verb = w.low[0];
  const auto rest = w.Rest();
  const bool known = (verb == "play" && (rest.empty() || (rest.size() == 2 && rest[0] == "from"))) ||
                     ((verb == "stop" || verb == "close") && rest.empty()) ||
                     (verb == "status" && rest == std::vector<std::string>{"mode"});
  if (!known) return Unsupported(w.command);
  FilePlayer* player = Player(w.low[1]);
  if (!player) return kErrInvalidDeviceName;
  if (verb == "play") {
    if (rest.empty()) return player->Play(std::nullopt);
    if (!AllDigits(rest[1]) || rest[1].size() > 9) return kErrBadInteger;
    return player->Play(std::stod(rest[1]));
  }
  if (verb == "stop") {
    player->Stop();
  } else if (verb == "close") {
    player_.reset();
    player_alias_.clear();
  } else {
    text = player->Playing() ? "playing" : "stopped";
  }
  return 0;
}

int Interpreter::CdCommand(const Words& w, std::string& text) {
  const std::string& verb = w.low[0];
  const auto rest = w.Rest();
  if (verb == "status") return CdStatus(w, text);
  if (verb == "play") return CdPlay(w);
  if (verb == "set") {
    if (rest.size() != 3 || rest[0] != "time" || rest[1] != "format") return Unsupported(w.command);
    // Other formats MCI knows are not done here.
    if (rest[2] == "msf" || rest[2] == "milliseconds" || rest[2] == "ms") return Unsupported(w.command);
    if (!cd_) return kErrInvalidDeviceName;
    if (rest[2] != "tmsf") return kErrBadTimeFormat;
    cd_format_ = rest[2];
    return 0;
  }
  if ((verb != "stop" && verb != "close") || !rest.empty()) return Unsupported(w.command);
  if (!cd_) return kErrInvalidDeviceName;
  if (verb == "stop") cd_->Stop();
  else cd_.reset();
  return 0;
}

int Interpreter::CdStatus(const Words& w, std::string& text) {
  using Item = std::vector<std::string>;
  const auto rest = w.Rest();
  const bool position = rest.size() == 3 && rest[0] == "position" && rest[1] == "track";
  if (rest != Item{"mode"} && rest != Item{"current", "track"} && rest != Item{"number", "of", "tracks"} && !position)
    return Unsupported(w.command);
  if (!cd_) return kErrInvalidDeviceName;
  const std::vector<double> tracks = cd_->Tracks();
  if (rest == Item{"mode"}) {
    text = tracks.empty() ? "not ready" : cd_->Playing() ? "playing" : "stopped";
    return 0;
  }
  if (tracks.empty()) return kErrDeviceNotReady;
  if (rest == Item{"current", "track"}) {
    text = std::to_string(TrackAt(tracks, cd_->Position()));
  } else if (!position) {
    text = std::to_string(tracks.size());
  } else {
    int track = 0;
    if (int e = ReadTrack(tracks, rest[2], track)) return e;
    text = Tmsf(tracks, TrackStart(tracks, track));
  }
  return 0;
}

// "play cdaudio [from <tmsf>] [to <tmsf>]"; without "from" it plays on from
// where the disc stands, and from its beginning when it stands at the end.
int Interpreter::CdPlay(const Words& w) {
  std::string from, to;
  for (std::size_t i = 2; i < w.size(); i += 2) {
    if (i + 1 >= w.size()) return Unsupported(w.command);
    if (w.low[i] == "from") from = w.raw[i + 1];
    else if (w.low[i] == "to") to = w.raw[i + 1];
    else return Unsupported(w.command);
  }
  if (!cd_) return kErrInvalidDeviceName;
  const std::vector<double> tracks = cd_->Tracks();
  if (tracks.empty()) return kErrDeviceNotReady;
  double start = cd_->Position();
  double end = DiscLength(tracks);
  if (!from.empty()) {
    if (int e = ParseTmsf(tracks, from, start)) return e;
  } else if (start >= end) {
    start = 0;
  }
  if (!to.empty())
    if (int e = ParseTmsf(tracks, to, end)) return e;
  return cd_->Play(start, end);
}

int Interpreter::PlayLooped(const std::string& file) {
  // A new sound replaces the one playing.
  StopLooped();
  auto player = devices_.NewFilePlayer();
  if (player->Open(file, true) != 0 || player->Play(std::nullopt) != 0) return 0;
  looped_ = std::move(player);
  looped_file_ = file;
  return 1;
}

int Interpreter::StopLooped() {
  looped_.reset();
  looped_file_.clear();
  return 1;
}

std::string Interpreter::LoopedFile() { return looped_ && looped_->Playing() ? looped_file_ : std::string(); }

bool Interpreter::IsOpen(const std::string& device) const {
  const std::string name = Lower(device);
  return name == "cdaudio" ? cd_ != nullptr : player_ != nullptr && name == player_alias_;
}

FilePlayer* Interpreter::Player(const std::string& alias) {
  return player_ && Lower(alias) == player_alias_ ? player_.get() : nullptr;
}

}  // namespace ui::mci
