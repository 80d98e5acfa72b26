// The multimedia system of the headless backend as tests see it: a small MCI
// command interpreter with a file player ("open "<path>" type MPEGVideo Alias
// <name>") and a CD drive ("cdaudio"), PlaySound and the wave devices. Time
// is the fake clock of headless::NowMs(); headless::Reset() resets it all.
#pragma once
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace headless::mci {

// Error codes of the simulated devices (the values MCI uses for the same faults).
constexpr int kErrUnrecognizedKeyword = 259;
constexpr int kErrUnrecognizedCommand = 261;
constexpr int kErrInvalidDeviceName = 263;  // device or alias not open
constexpr int kErrDeviceOpen = 265;         // alias already in use
constexpr int kErrBadInteger = 270;         // a position that is not one
constexpr int kErrFileNotFound = 275;
constexpr int kErrDeviceNotReady = 276;  // no disc in the drive
constexpr int kErrInternal = 277;        // no audio device for the player
constexpr int kErrOutOfRange = 282;      // a track outside the disc
constexpr int kErrBadTimeFormat = 293;

struct Config {
  // Files the players can open, by the path exactly as sent, with the length
  // of the piece in milliseconds. Any other path is not found.
  std::map<std::string, double> files;
  // False: the file player refuses to open (no audio output), as Wine does
  // without a sound server.
  bool audio_device = true;
  int wave_devices = 1;
  // False: there is no CD drive; "open cdaudio" is refused.
  bool cd_drive = true;
  // Track lengths of the disc in the drive in milliseconds; empty = no disc.
  std::vector<double> disc;
  // When set, "status cdaudio current track" answers this text instead.
  std::optional<std::string> current_track_reply;
  // False: mciGetErrorString has no description for any code.
  bool error_texts = true;
  // When set and it answers, a command gets this code and reply text instead
  // of the simulation's: replies no simulated device gives (a fuzzer's).
  std::function<std::optional<std::pair<int, std::string>>(const std::string& command)> scripted;
};
Config& config();

// Every MCI command string received, in order, with the fake time it came.
struct Sent {
  double at_ms = 0;
  std::string command;
};
const std::vector<Sent>& Log();
std::vector<std::string> Commands();
void ClearLog();

// The file player: "closed", "playing" or "stopped"; the open path; how many
// times a play command was accepted.
std::string FileMode();
std::string FilePath();
int FileStarts();

// The CD drive: "playing" or "stopped" (like a real drive it plays on after
// "close" unless it was stopped first); whether the device is open; the track
// under the position (0 without a disc); the time format set ("" until set).
std::string CdMode();
bool CdOpen();
int CdTrack();
std::string CdTimeFormat();
// Takes the disc out: playback stops and every disc query fails from now on.
void RemoveDisc();

// What PlaySound loops or plays now, or "" when it is silent.
std::string SoundPlaying();

// Back to the start state (called by headless::Reset).
void Reset();

}  // namespace headless::mci
