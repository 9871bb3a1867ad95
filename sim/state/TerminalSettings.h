#pragma once
// The settings a terminal changes with AT commands and that ATZ / AT&F put
// back: V.250 line settings, S registers, error reporting and the GSM 07.07 /
// 07.05 presentation settings.
#include <array>
#include <string>

#include "sim/profiles/DeviceProfiles.h"

namespace fonexa::sim {

struct NewMessageIndication {  // +CNMI
  int mode = 2;
  int mt = 1;
  int bm = 0;
  int ds = 0;
  int bfr = 0;
};

struct SubmitParameters {  // +CSMP, for messages typed in text mode
  int firstOctet = 17;      // SMS-SUBMIT, relative validity period
  int validity = 167;       // one day
  int protocolId = 0;
  int dataCoding = 0;
};

struct TerminalSettings {
  bool echo = true;     // E
  bool verbose = true;  // V
  bool quiet = false;   // Q
  int cmee = 0;
  int cmgf = 0;  // PDU mode
  int csms = 0;
  int csdh = 0;  // text mode: show the header values
  SubmitParameters csmp;
  std::string charset;  // +CSCS
  NewMessageIndication cnmi;
  int clip = 0;
  int clir = 0;
  int colp = 0;
  int crc = 0;
  int ccwa = 0;
  int cregMode = 0;
  int copsFormat = 0;
  std::string readMemory = "SM";     // +CPMS <mem1>
  std::string writeMemory = "SM";    // +CPMS <mem2>
  std::string receiveMemory = "SM";  // +CPMS <mem3>
  std::string phoneBook = "SM";      // +CPBS
  // S registers that the modem acts on: S0 rings before auto-answer,
  // S3 line terminator, S4 response formatter, S5 command-line editing.
  std::array<int, 13> s = {0, 0, 43, 13, 10, 8, 2, 50, 2, 6, 14, 95, 50};

  static TerminalSettings factory(const DeviceProfile& profile) {
    TerminalSettings t;
    t.charset = profile.defaultCharset;
    return t;
  }
};

}  // namespace fonexa::sim
