#pragma once
// The network's side of short messages as the phone meets it: the service
// centre that accepts what +CMGS submits (and reports on it when asked), and
// the routing of arriving messages to the terminal or to a memory as +CNMI
// says, with the +CNMA acknowledgement that direct delivery waits for.
#include <chrono>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "sim/at/ResultCodes.h"
#include "sim/codec/SmsPdu.h"
#include "sim/line/Scheduler.h"
#include "sim/state/SmsStore.h"
#include "sim/state/TerminalSettings.h"
#include "sim/state/UnsolicitedSink.h"

namespace fonexa::sim {

struct SentMessage {
  int reference = 0;  // the TP-MR the phone gave it (+CMGS: <mr>)
  std::string destination;
  std::string text;  // UTF-8; 8-bit data as hex
  std::string alphabet;  // "gsm7", "8bit", "ucs2"
  int messageClass = -1;
  std::optional<ConcatenationInfo> concatenation;
  bool statusReportRequested = false;
  std::string pdu;
};

// One status report the network sends on a message that asked for one:
// TP-ST (0 delivered, 0x20-0x3F still trying, 0x40 and above failed) after a
// delay counted from the submission.
struct ReportStep {
  int status = 0;
  std::chrono::milliseconds delay{300};
};

struct ReceivedOutcome {
  std::string route;  // "stored", "direct", "rejected", "queued" (phone not on the network)
  std::string memory;
  int index = 0;
};

class MessageCentre {
 public:
  MessageCentre(Scheduler& scheduler, UnsolicitedSink& sink, SmsStore& store, TerminalSettings& settings);
  ~MessageCentre();
  MessageCentre(const MessageCentre&) = delete;
  MessageCentre& operator=(const MessageCentre&) = delete;

  std::string serviceCentre;
  int serviceCentreType = 145;
  std::string ownNumber;
  // The reports on every message that asks for them (TP-SRR): by default
  // "delivered" after 300 ms. An empty plan sends none.
  std::vector<ReportStep> reportPlan{ReportStep{}};
  // Plans for the next messages that ask, one message each and in order,
  // before the standing plan applies again.
  std::deque<std::vector<ReportStep>> nextReportPlans;
  std::chrono::milliseconds loopbackDelay{300};
  std::chrono::milliseconds acknowledgementTimeout{20000};
  // How long the network waits before it offers a message again that the
  // phone refused because its memory was full.
  std::chrono::milliseconds retryDelay{2000};

  // A submitted message: the reference the network gave it.
  int submit(const SmsSubmit& message, const std::string& pdu);
  const std::vector<SentMessage>& sent() const { return sent_; }
  // Sent texts with their concatenated parts joined, in the order they were completed.
  std::vector<std::pair<std::string, std::string>> sentTexts() const;
  void clearSent() { sent_.clear(); }

  // Messages arriving from the network.
  std::vector<ReceivedOutcome> deliverText(const DeliverRequest& request);
  ReceivedOutcome deliver(const EncodedPdu& pdu);
  void statusReport(int reference, int status, const std::string& recipient);

  // While the phone is not registered the network keeps what arrives for it
  // and delivers it once the phone is back.
  void setReachable(bool reachable);
  size_t heldByNetwork() const { return heldByNetwork_.size() + refused_.size(); }

  // +CNMA
  Outcome acknowledge(int reply);
  bool acknowledgementPending() const { return ackTimer_.has_value(); }
  void reset();

 private:
  void sendDirect(const EncodedPdu& pdu);
  void acknowledgementTimedOut();
  ReceivedOutcome storeIncoming(const EncodedPdu& pdu);
  void offerRefusedAgain();

  Scheduler& scheduler_;
  UnsolicitedSink& sink_;
  SmsStore& store_;
  TerminalSettings& settings_;
  std::vector<SentMessage> sent_;
  int nextReference_ = 1;
  int nextConcatenation_ = 1;
  std::optional<Scheduler::TimerId> ackTimer_;
  std::optional<EncodedPdu> awaitingAck_;  // handed to the terminal, not yet acknowledged
  std::deque<EncodedPdu> waitingForAck_;
  std::deque<EncodedPdu> refused_;  // memory full: the network tries again
  std::optional<Scheduler::TimerId> retryTimer_;
  std::deque<EncodedPdu> heldByNetwork_;
  bool reachable_ = false;
  std::vector<Scheduler::TimerId> timers_;
};

}  // namespace fonexa::sim
