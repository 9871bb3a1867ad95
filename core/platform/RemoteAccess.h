// The remote access service: dial-up connections through pppd.
//
// An entry of the dial-up phone book is a pppd peer (/etc/ppp/peers/<entry>,
// which names the modem, its speed and the chat script). Dialling runs
// "pppd call <entry>" in the foreground with its log on a pipe; the states of
// the connection are read from that log on a watcher thread and, for an
// asynchronous dial, sent to the notifier window as they are reached. A
// connection is known by its handle until it has been hung up and pppd is
// gone; from then on every question about it answers kErrorInvalidHandle.
//
// The pppd program is FONEXA_PPPD (default /usr/sbin/pppd), so that a scripted
// stand-in can take its place.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "fonexa/FonexaCore.h"
#include "platform/RemoteAccessLink.h"
#include "platform/RemoteAccessLog.h"

namespace fonexa::platform {

class RemoteAccess {
 public:
  using Handle = uint32_t;  // 0: no connection
  static constexpr Handle kNoHandle = 0;

  // Results besides 0 (done). A dial that pppd gave up answers pppd's exit code
  // (8 connect script failed, 19 authentication refused, ...).
  static constexpr uint32_t kErrorInvalidHandle = 6;      // no such connection (any more)
  static constexpr uint32_t kErrorInvalidParameter = 87;  // an entry or text pppd cannot be given
  static constexpr uint32_t kErrorCannotStart = 127;      // pppd could not be started
  // pppd ended without a code and without a link.
  static constexpr uint32_t kErrorNoLink = RemoteAccessLink::kNoExitCode;
  static constexpr uint32_t kErrorDialTimedOut = 258;     // a synchronous dial saw no link in time

  // A synchronous dial gives up after this long without a link. pppd's own
  // time-outs (the chat script's, LCP's) end a dial long before.
  static constexpr uint32_t kSynchronousDialLimitMs = 180000;

  struct DialParameters {
    std::string entry;
    std::string user;
    std::string password;
    std::string domain;  // joined to the user as "DOMAIN\user"
  };

  struct Status {
    ConnectionState state = ConnectionState::OpenPort;
    uint32_t error = 0;  // pppd's exit code once it has ended
  };

  // The link's line speed, seconds up, and the ppp interface's byte counters.
  using Figures = RemoteAccessLink::Figures;

  // The message a notifier window receives for every state a dial reaches:
  // wParam the state, lParam the error (pppd's exit code when it ended).
  static constexpr uint32_t kDialEventMessage = RemoteAccessLink::kDialEventMessage;

  // Dials. With a notifier the dial goes on in the background and this returns
  // once pppd has started; the notifier receives kDialEventMessage for every
  // state. Without one it returns when the link is up or the
  // dial has failed. *handle is set whenever pppd was started, also when the
  // dial failed: the caller hangs that up.
  static uint32_t Dial(const DialParameters& parameters, MxWindow notifier, Handle* handle);
  static uint32_t GetConnectStatus(Handle handle, Status* status);
  // Asks pppd to end; each call sends it another SIGTERM.
  static uint32_t HangUp(Handle handle);
  // Ends pppd and everything it started at once (SIGKILL).
  static uint32_t EndForcibly(Handle handle);
  // The link's figures while it is up; all 0 otherwise.
  static Figures GetFigures(Handle handle);

  // Where the ppp interfaces' counters are read (default /sys/class/net).
  static void SetInterfaceFolder(const std::string& folder);

  // The arguments pppd is started with (after argv[0]) for an entry and an
  // options file ("" for none). Public for the tests of the command line.
  static std::vector<std::string> PppdArguments(const std::string& entry, const std::string& optionsFile);
  // The options file's text carrying user and password; "" when there is
  // nothing to carry. Both are quoted for pppd's option reader.
  static std::string CredentialOptions(const DialParameters& parameters);
};

}  // namespace fonexa::platform
