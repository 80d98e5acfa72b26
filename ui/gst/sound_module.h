// What the sound module (tessellane-gst.so) gives the program that loads it:
// the sound devices the MCI interpreter runs over, and whether the machine
// has a sound output. The programs load it only when music is chosen, so a
// display without music never maps GStreamer.
//
// Only C types cross: the display program carries its own C++ runtime, the
// module uses the system's, and no C++ object may pass from one to the other.
// A module and a program of different versions refuse each other.
#pragma once

// The name the loader looks the entry up by.
#define TESS_SOUND_MODULE_ENTRY "tessellane_sound_module"

extern "C" {

typedef struct TessSoundPlayer TessSoundPlayer;
typedef struct TessSoundDrive TessSoundDrive;

// A file player and the CD drive as mci::FilePlayer and mci::CdDrive
// describe them; 0 or an MCI error code where they return one.
struct TessSoundModule {
  const char* version;  // the version of the module's build
  int outputs;          // 1 when a sink is installed, else 0
  TessSoundPlayer* (*player_new)(void);
  int (*player_open)(TessSoundPlayer* player, const char* path, int loop);
  // From `from_ms` when `from_given`, else on from where it stands.
  int (*player_play)(TessSoundPlayer* player, int from_given, double from_ms);
  void (*player_stop)(TessSoundPlayer* player);
  int (*player_playing)(TessSoundPlayer* player);
  void (*player_free)(TessSoundPlayer* player);
  // Null with the code in *error when there is no drive.
  TessSoundDrive* (*drive_open)(int* error);
  // The tracks' lengths in milliseconds, at most `capacity` of them; returns
  // how many there are (0: the drive is not ready).
  int (*drive_tracks)(TessSoundDrive* drive, double* lengths, int capacity);
  double (*drive_position)(TessSoundDrive* drive);
  int (*drive_play)(TessSoundDrive* drive, double from_ms, double to_ms);
  void (*drive_stop)(TessSoundDrive* drive);
  int (*drive_playing)(TessSoundDrive* drive);
  void (*drive_free)(TessSoundDrive* drive);
};

// The module's devices, made on the first call and never destroyed; null,
// with a message on the standard error, when `program_version` is not the
// module's own.
[[gnu::visibility("default")]] const TessSoundModule* tessellane_sound_module(const char* program_version);
}
