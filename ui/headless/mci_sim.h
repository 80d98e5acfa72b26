// The multimedia system of the headless backend as tests see it: the shared
// MCI interpreter over a fake file player ("open "<path>" type MPEGVideo Alias
// <name>", and PlaySound's loop) and a fake CD drive ("cdaudio"), and the
// wave devices. Time is the fake clock of headless::NowMs();
// headless::Reset() resets it all.
#pragma once
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "ui/common/mci_interpreter.h"

namespace headless::mci {

// Error codes of the simulated devices (the values MCI uses for the same faults).
constexpr int kErrUnrecognizedKeyword = ui::mci::kErrUnrecognizedKeyword;
constexpr int kErrInvalidDeviceName = ui::mci::kErrInvalidDeviceName;  // device or alias not open
constexpr int kErrDeviceOpen = ui::mci::kErrDeviceOpen;                // alias already in use
constexpr int kErrBadInteger = ui::mci::kErrBadInteger;                // a position that is not one
constexpr int kErrUnsupported = ui::mci::kErrUnsupported;              // a command form nobody knows
constexpr int kErrFileNotFound = ui::mci::kErrFileNotFound;
constexpr int kErrDeviceNotReady = ui::mci::kErrDeviceNotReady;  // no disc in the drive
constexpr int kErrInternal = ui::mci::kErrInternal;              // no audio device for the player
constexpr int kErrOutOfRange = ui::mci::kErrOutOfRange;          // a track outside the disc
constexpr int kErrBadTimeFormat = ui::mci::kErrBadTimeFormat;

struct Config {
  // Files the players can open, by the path exactly as sent, with the length
  // of the piece in milliseconds. Any other path is not found.
  std::map<std::string, double> files;
  // False: the file players (MCI's and PlaySound's) refuse to open (no audio
  // output), as Wine does without a sound server.
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
// Commands the interpreter refused as forms it does not know (kErrUnsupported).
const std::vector<std::string>& NotUnderstood();

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
