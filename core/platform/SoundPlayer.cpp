#include "platform/SoundPlayer.h"

#include <stdlib.h>
#include <unistd.h>

#include <memory>
#include <thread>

#include "platform/ChildProcess.h"

namespace fonexa::platform {

namespace {

constexpr const char* kDefaultPlayer = "aplay";

std::string PlayerProgram() {
  const char* program = getenv("FONEXA_SOUND_PLAYER");
  return program && *program ? program : kDefaultPlayer;
}

}  // namespace

bool SoundPlayer::PlayAsync(const std::string& file) {
  if (file.empty() || access(file.c_str(), R_OK) != 0) return false;
  auto player = std::make_shared<ChildProcess>();
  // A leading "-" would be read as one of the player's options.
  const std::string argument = file[0] == '-' ? "./" + file : file;
  if (!player->Start(PlayerProgram(), {argument}, {}, /*ownGroup=*/false)) return false;
  // The player ends by itself; a waiter collects it, so that no finished
  // player is left behind as a zombie.
  std::thread([player] { player->WaitForEnd(); }).detach();
  return true;
}

}  // namespace fonexa::platform
