// The MCI command strings the music speaks, understood once for every
// backend without the system's own MCI: a file player ("open "<path>" type
// MPEGVideo Alias <name>", play, play from, stop, close, status mode) and the
// CD drive ("cdaudio": open, time format tmsf, the status queries, play
// from/to, stop, close), plus a wave file played in a loop. The backend
// supplies the devices; replies, positions and error codes are made here.
#pragma once
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace ui::mci {

// The codes MCI itself gives for the same faults.
constexpr int kErrUnrecognizedKeyword = 259;
constexpr int kErrInvalidDeviceName = 263;  // device or alias not open
constexpr int kErrDeviceOpen = 265;         // alias already in use
constexpr int kErrBadInteger = 270;         // a position that is not one
// A command form this interpreter does not know: it is also recorded (see
// NotUnderstood), so that a caller sending something new is noticed.
constexpr int kErrUnsupported = 274;
constexpr int kErrFileNotFound = 275;
constexpr int kErrDeviceNotReady = 276;  // no disc in the drive
constexpr int kErrInternal = 277;        // no sound output for the player
constexpr int kErrOutOfRange = 282;      // a track or position outside the piece
constexpr int kErrBadTimeFormat = 293;

// A player of one sound file. Closing it is destroying it.
class FilePlayer {
 public:
  virtual ~FilePlayer() = default;
  // 0, kErrFileNotFound, or kErrInternal when there is no sound output.
  // A looping player starts again from the beginning whenever it ends.
  virtual int Open(const std::string& path, bool loop) = 0;
  // Plays from `from_ms`, or on from where it stands. 0 or an error code.
  virtual int Play(std::optional<double> from_ms) = 0;
  virtual void Stop() = 0;
  // False once stopped or at the end of the piece.
  virtual bool Playing() = 0;
};

// The CD drive with the disc in it. Closing the device is destroying it.
class CdDrive {
 public:
  virtual ~CdDrive() = default;
  // Lengths of the disc's tracks in milliseconds, track 1 first; empty when
  // the drive is not ready (no disc, or it cannot be read).
  virtual std::vector<double> Tracks() = 0;
  // Where playback stands, in milliseconds from the start of the disc.
  virtual double Position() = 0;
  // Plays [from_ms, to_ms) of the disc. 0 or an error code.
  virtual int Play(double from_ms, double to_ms) = 0;
  virtual void Stop() = 0;
  virtual bool Playing() = 0;
};

// Where the backend's devices come from.
class Devices {
 public:
  virtual ~Devices() = default;
  virtual std::unique_ptr<FilePlayer> NewFilePlayer() = 0;
  // The drive for "open cdaudio"; null with the code in `error` when there is none.
  virtual std::unique_ptr<CdDrive> OpenCdDrive(int& error) = 0;
};

// Track:minutes:seconds:frames (75 frames a second) of a position on a disc
// with these track lengths, and back. ParseTmsf accepts 1 to 4 fields.
std::string Tmsf(const std::vector<double>& tracks, double pos_ms);
int ParseTmsf(const std::vector<double>& tracks, const std::string& text, double& pos_ms);
// The track under a position, 1-based (0 on an empty disc).
int TrackAt(const std::vector<double>& tracks, double pos_ms);

// The description mciGetErrorString gives for a code, or null.
const char* ErrorText(int code);

// What the system does with the caller's reply buffer: it gets the text cut
// to the buffer's length on success and keeps its old text on failure.
void FillReply(int code, const std::string& text, std::string* reply, std::size_t reply_length);

class Interpreter {
 public:
  explicit Interpreter(Devices& devices);

  // mciSendString: 0 or an error code; `text` receives the reply.
  int Execute(const std::string& command, std::string& text);
  int Send(const std::string& command, std::string* reply, std::size_t reply_length);

  // PlaySound with SND_ASYNC | SND_LOOP, and PlaySound(nullptr): nonzero on success.
  int PlayLooped(const std::string& file);
  int StopLooped();
  // The file PlayLooped plays now, or "".
  std::string LoopedFile();

  // The device names open now, lower case; the time format set for the CD.
  bool IsOpen(const std::string& device) const;
  std::string CdTimeFormat() const { return cd_format_; }
  // The open file player under `alias`, or null.
  FilePlayer* Player(const std::string& alias);

  // Every command answered with kErrUnsupported, in order.
  const std::vector<std::string>& NotUnderstood() const { return not_understood_; }

 private:
  struct Words;
  int Unsupported(const std::string& command);
  int Open(const Words& w);
  int FileCommand(const Words& w, std::string& text);
  int CdCommand(const Words& w, std::string& text);
  int CdStatus(const Words& w, std::string& text);
  int CdPlay(const Words& w);

  Devices& devices_;
  std::string player_alias_;
  std::unique_ptr<FilePlayer> player_;
  std::unique_ptr<CdDrive> cd_;
  std::string cd_format_;
  std::unique_ptr<FilePlayer> looped_;
  std::string looped_file_;
  std::vector<std::string> not_understood_;
};

// Where the system has no MCI of its own, the backend's interpreter over its
// devices, made on first use and never destroyed (what is still open at the
// end goes with the process), and how many sound outputs the machine has.
// ui/common/mci_services.cpp answers the program's MCI calls with them.
Interpreter& SystemInterpreter();
int SystemSoundOutputs();

}  // namespace ui::mci
