// What the sound module (tessellane-gst.so) gives the program that loads it:
// the sound devices the MCI interpreter runs over, and whether the machine
// has a sound output. The programs load it only when music is chosen, so a
// display without music never maps GStreamer.
#pragma once
#include "ui/common/mci_interpreter.h"

// The names the loader looks the entries up by.
#define TESS_SOUND_DEVICES_ENTRY "tessellane_sound_devices"
#define TESS_SOUND_OUTPUTS_ENTRY "tessellane_sound_outputs"

extern "C" {
// The devices, made on the first call and never destroyed.
[[gnu::visibility("default")]] ui::mci::Devices* tessellane_sound_devices();
// 1 when a sound output opens on this machine, else 0.
[[gnu::visibility("default")]] int tessellane_sound_outputs();
}
