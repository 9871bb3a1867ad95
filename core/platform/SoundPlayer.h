// Sounds played without waiting for them.
//
// A sound file is handed to a player program, FONEXA_SOUND_PLAYER (default
// "aplay"), as its one argument, and the caller goes on at once. A player that
// cannot be started, or a file that is not there, plays nothing: a sound is a
// courtesy to the user and never a reason for an operation to fail.
#pragma once

#include <string>

namespace fonexa::platform {

class SoundPlayer {
 public:
  // True when a player was started for file.
  static bool PlayAsync(const std::string& file);
};

}  // namespace fonexa::platform
