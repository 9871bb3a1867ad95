// The device end of a pseudo-terminal, for tests that play a modem by hand.
//
// The test gives SlavePath() to the code under test and reads and writes the
// master side: what the code writes arrives here, what the test writes is what
// the code reads.
#pragma once

#include <cstdint>
#include <string>

namespace fonexa::testing {

class PtyPeer {
 public:
  PtyPeer();
  ~PtyPeer();
  PtyPeer(const PtyPeer&) = delete;
  PtyPeer& operator=(const PtyPeer&) = delete;

  const std::string& SlavePath() const { return slavePath_; }
  bool IsOpen() const { return master_ >= 0; }

  void Write(const std::string& bytes);
  // Whatever arrives within timeoutMs, gathered until timeoutMs of silence.
  std::string ReadAvailable(uint32_t timeoutMs);
  // Reads until the text received so far ends with terminator or the time is up.
  std::string ReadUntil(const std::string& terminator, uint32_t timeoutMs);
  // Closes the master side: the device hangs up.
  void Hangup();

 private:
  int master_ = -1;
  std::string slavePath_;
};

}  // namespace fonexa::testing
