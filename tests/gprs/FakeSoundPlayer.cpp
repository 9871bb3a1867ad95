// A stand-in for the sound player: appends "played <file>" to the file named
// by FAKE_PLAYER_RECORD.
#include <cstdlib>
#include <fstream>

int main(int argc, char** argv) {
  const char* record = std::getenv("FAKE_PLAYER_RECORD");
  if (!record || argc < 2) return 1;
  std::ofstream(record, std::ios::app) << "played " << argv[1] << "\n";
  return 0;
}
