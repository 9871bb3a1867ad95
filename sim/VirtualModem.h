#pragma once
// A virtual GSM phone on a fresh pseudo-terminal. Start it, hand its device
// path to any serial client, and drive the world around it from here: the
// network's messages and calls, signal and registration, faults on the line.
// Every byte in and out is kept in a transcript with its time.
//
// All modem state lives on the modem's own thread; the methods below run
// their work there and return when it is done, so they may be called from
// any thread (not from inside `update`).
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "sim/line/Transcript.h"
#include "sim/state/DialRules.h"
#include "sim/state/MessageCentre.h"
#include "sim/state/ModemContext.h"
#include "sim/state/NetworkState.h"
#include "sim/state/SimCard.h"

namespace fonexa::sim {

struct ModemOptions {
  std::string profile = "generic";
  SimCodes codes;
  bool pinRequired = false;  // the SIM asks for its PIN at power-up
  bool simPresent = true;
  int bytesPerSecond = 0;    // 0: no line speed
  std::string linkPath;      // a symbolic link to the device, if wanted
  std::string stateFile;     // read at start when it exists, written at stop
  std::chrono::milliseconds registrationDelay{200};
  std::chrono::milliseconds bootTime{300};
};

class VirtualModem {
 public:
  explicit VirtualModem(ModemOptions options = {});
  ~VirtualModem();
  VirtualModem(const VirtualModem&) = delete;
  VirtualModem& operator=(const VirtualModem&) = delete;

  bool start(std::string* error = nullptr);
  void stop();
  bool running() const;
  std::string devicePath() const;
  const ModemOptions& options() const;

  // Any state, read or changed on the modem's thread.
  void update(const std::function<void(ModemContext&)>& change);

  // The network side.
  std::vector<ReceivedOutcome> injectSms(const std::string& from, const std::string& text, int messageClass = -1);
  bool injectPdu(const std::string& hex, std::string* error = nullptr);
  void statusReport(int reference, int status);
  // The reports the network sends on messages that ask for them: every such
  // message from now on, or (next) only the next one, once per call in order.
  void setReportPlan(const std::vector<ReportStep>& steps, bool next = false);
  bool ring(const std::string& number);
  bool remoteAnswer();
  bool remoteHangUp(int callId = 0);
  // The outcome of the next dial, or with a pattern of every matching dial.
  void setDialOutcome(DialOutcome outcome, const std::string& pattern = "");
  void setSignal(int rssi, int ber = 99);
  void setRegistration(Registration status, const std::string& numeric = "");
  void setSimState(SimState state);
  void sendUnsolicited(const std::string& text);

  // Faults.
  void setSilent(bool silent);
  void setResponseDelay(std::chrono::milliseconds delay);
  void setLineSpeed(int bytesPerSecond);
  void setChunking(size_t chunkSize, std::chrono::milliseconds gap);
  void sendGarbage(size_t count);
  void dropNextLineEnd();
  void sendOverlongLine(size_t length);
  void hangUp();  // the pty closes under the client
  void reboot();

  // Inspection.
  std::string stateJson();
  std::vector<SentMessage> sentMessages();
  Transcript& transcript();
  bool saveState(const std::string& path, std::string* error = nullptr);

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace fonexa::sim
