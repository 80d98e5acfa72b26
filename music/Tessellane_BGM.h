// Module Tessellane_BGM: the background music. A thin layer over the MCI
// command strings, the user's music file (MP3 through the MPEGVideo device,
// WAV through PlaySound) and the audio CD with its watchdog.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "base/numeric.h"

namespace app {
struct Tessellane_B;
}

namespace music {

// Sizes of the buffers the system fills, in characters.
inline constexpr std::size_t kMciReplyLength = 512;
inline constexpr std::size_t kMciErrorTextLength = 256;
inline constexpr std::size_t kMp3ModeLength = 30;
inline constexpr std::size_t kCdModeLength = 255;

inline constexpr const char* kNoCommandText = "コマンド文字列が指定されていません";
inline constexpr const char* kNoErrorText = "Error (文字列が取れません)";

// The kind of a music file: its last three characters, upper-cased ("MP3",
// "WAV", or anything else, which plays nothing).
std::string FileType(const std::string& path);

class Tessellane_BGM {
 public:
  // Reads BgmFile and BgmRepeat, and writes ApiResult, of the module.
  explicit Tessellane_BGM(app::Tessellane_B& module);

  // --- MCI command layer: failures come back as codes, never as errors -------
  // Sends one command; `reply_text` gets the reply, or the description of the
  // failure. Returns 0 or the MCI code (-1 for an empty command).
  std::int32_t SendMciCommand(const std::string& command, std::string& reply_text);
  // The reply of a query, or "Error:<code>" when it failed.
  std::string MciQuery(const std::string& command);
  // "play <device> [from <start>] [to <end>]", positions inserted as given.
  std::int32_t MciPlay(const std::string& device, const std::string& start, const std::string& end);

  // --- File music ------------------------------------------------------------
  void PlayMp3();
  bool IsMp3Playing();
  // Starts the piece again from its beginning once it is no longer playing.
  void RepeatMp3();
  void CloseMp3();
  void PlayWav();
  void StopWav();

  // --- CD audio --------------------------------------------------------------
  void OpenCdAudio();
  // The watchdog: starts the disc, restarts it when it stopped, and keeps it
  // on the repeat track. Leaves CdAudioOk False when the drive fails to answer.
  void PollCdAudio();
  void PlayPreviousTrack();
  void PlayNextTrack();
  void CloseCdAudio();

  // Module-level state.
  std::int16_t CdAudioOk = base::num::kFalse;
  std::string MciReplyText;
  // Mode replies: kept from one query to the next (the system gets them back
  // as the starting content of its buffer).
  std::string Mp3ModeBuffer;
  std::string CdModeBuffer;

 private:
  void PlayNeighbourTrack(int step);

  app::Tessellane_B& module_;
  std::string reply_buffer_;
  std::string error_text_buffer_;
};

}  // namespace music
