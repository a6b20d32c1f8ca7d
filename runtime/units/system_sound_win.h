// The system's sound player, shared by every unit that plays sounds (the window's background
// sound, the animation box's object sounds), so that the one sound of the process is kept in
// one place.
#pragma once

#include "runtime/units/window_sound.h"

namespace runtime {

SoundOutput& SystemSoundOutput();

}  // namespace runtime
