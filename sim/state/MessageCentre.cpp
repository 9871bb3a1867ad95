#include "sim/state/MessageCentre.h"

#include <algorithm>
#include <map>
#include <tuple>

#include "sim/codec/HexText.h"
#include "sim/codec/UnicodeText.h"
#include "sim/state/SmsPresentation.h"

namespace fonexa::sim {
namespace {

std::string alphabetName(SmsAlphabet a) {
  switch (a) {
    case SmsAlphabet::Gsm7: return "gsm7";
    case SmsAlphabet::Data8: return "8bit";
    case SmsAlphabet::Ucs2: return "ucs2";
  }
  return "gsm7";
}

std::string digitsOf(std::string_view n) {
  std::string out;
  for (char c : n) {
    if (c >= '0' && c <= '9') out += c;
  }
  return out;
}

}  // namespace

MessageCentre::MessageCentre(Scheduler& scheduler, UnsolicitedSink& sink, SmsStore& store, TerminalSettings& settings)
    : scheduler_(scheduler), sink_(sink), store_(store), settings_(settings) {}

MessageCentre::~MessageCentre() { reset(); }

void MessageCentre::reset() {
  for (auto t : timers_) scheduler_.cancel(t);
  timers_.clear();
  if (ackTimer_) scheduler_.cancel(*ackTimer_);
  ackTimer_.reset();
  awaitingAck_.reset();
  waitingForAck_.clear();
  if (retryTimer_) scheduler_.cancel(*retryTimer_);
  retryTimer_.reset();
  refused_.clear();
}

int MessageCentre::submit(const SmsSubmit& m, const std::string& pdu) {
  SentMessage s;
  s.reference = nextReference_;
  nextReference_ = (nextReference_ + 1) % 256;
  s.destination = m.destination.number;
  s.alphabet = alphabetName(m.dataCoding.alphabet);
  s.messageClass = m.dataCoding.messageClass;
  s.text = m.dataCoding.alphabet == SmsAlphabet::Data8 ? toHex(m.userData.data) : encodeUtf8(m.userData.text);
  s.concatenation = m.userData.concatenation();
  s.statusReportRequested = m.statusReportRequest;
  s.pdu = pdu;
  sent_.push_back(s);

  if (m.statusReportRequest) {
    std::vector<ReportStep> plan = reportPlan;
    if (!nextReportPlans.empty()) {
      plan = std::move(nextReportPlans.front());
      nextReportPlans.pop_front();
    }
    const int ref = s.reference;
    const std::string to = s.destination;
    for (const ReportStep& step : plan) {
      const int status = step.status;
      timers_.push_back(scheduler_.schedule(step.delay, [this, ref, status, to] { statusReport(ref, status, to); }));
    }
  }
  // A message to the phone's own number comes back to it, as on a real network.
  if (!ownNumber.empty() && digitsOf(ownNumber) == digitsOf(m.destination.number)) {
    SmsDeliver d;
    d.serviceCentre = SmsAddress::fromText(serviceCentre);
    d.originator = SmsAddress::fromText(ownNumber);
    d.dataCoding = m.dataCoding;
    d.protocolId = m.protocolId;
    d.serviceCentreTime = SmsTimestamp::now();
    d.userData = m.userData;
    const EncodedPdu back = encodeDeliver(d);
    timers_.push_back(scheduler_.schedule(loopbackDelay, [this, back] { deliver(back); }));
  }
  return s.reference;
}

std::vector<std::pair<std::string, std::string>> MessageCentre::sentTexts() const {
  std::vector<std::pair<std::string, std::string>> out;
  std::map<std::tuple<std::string, int, int>, std::map<int, std::string>> parts;
  for (const auto& s : sent_) {
    if (!s.concatenation || s.concatenation->total <= 1) {
      out.emplace_back(s.destination, s.text);
      continue;
    }
    auto& group = parts[{s.destination, s.concatenation->reference, s.concatenation->total}];
    group[s.concatenation->sequence] = s.text;
    if (static_cast<int>(group.size()) == s.concatenation->total) {
      std::string joined;
      for (const auto& [seq, text] : group) joined += text;
      out.emplace_back(s.destination, joined);
    }
  }
  return out;
}

std::vector<ReceivedOutcome> MessageCentre::deliverText(const DeliverRequest& request) {
  DeliverRequest r = request;
  if (r.serviceCentre.empty()) r.serviceCentre = serviceCentre;
  r.concatenationReference = nextConcatenation_;
  nextConcatenation_ = (nextConcatenation_ + 1) % 256;
  std::vector<ReceivedOutcome> out;
  for (const auto& pdu : buildDeliverParts(r)) out.push_back(deliver(pdu));
  return out;
}

ReceivedOutcome MessageCentre::storeIncoming(const EncodedPdu& pdu) {
  ReceivedOutcome o;
  o.memory = settings_.receiveMemory;
  auto index = store_.store(o.memory, {MessageStat::ReceivedUnread, pdu.hex});
  if (!index) {
    // Memory full: the phone refuses the message and the network keeps it,
    // offering it again until there is room.
    o.route = "rejected";
    refused_.push_back(pdu);
    if (!retryTimer_) retryTimer_ = scheduler_.schedule(retryDelay, [this] { offerRefusedAgain(); });
    return o;
  }
  o.route = "stored";
  o.index = *index;
  return o;
}

void MessageCentre::setReachable(bool reachable) {
  reachable_ = reachable;
  if (!reachable_) return;
  std::deque<EncodedPdu> held;
  held.swap(heldByNetwork_);
  for (const auto& pdu : held) deliver(pdu);
}

void MessageCentre::offerRefusedAgain() {
  retryTimer_.reset();
  std::deque<EncodedPdu> refused;
  refused.swap(refused_);
  for (const auto& pdu : refused) deliver(pdu);
}

ReceivedOutcome MessageCentre::deliver(const EncodedPdu& pdu) {
  if (!reachable_) {
    heldByNetwork_.push_back(pdu);
    return {"queued", "", 0};
  }
  int messageClass = -1;
  if (auto d = decodeDeliver(pdu.hex)) messageClass = d.message->dataCoding.messageClass;
  const int mt = settings_.cnmi.mt;
  const bool direct = (mt == 2 && messageClass != 2) || (mt == 3 && messageClass == 3);
  if (direct) {
    if (ackTimer_) {
      waitingForAck_.push_back(pdu);
    } else {
      sendDirect(pdu);
    }
    return {"direct", "", 0};
  }
  ReceivedOutcome o = storeIncoming(pdu);
  if (o.route == "stored" && mt != 0) {
    sink_.unsolicited("+CMTI: \"" + o.memory + "\"," + std::to_string(o.index), UnsolicitedKind::MessageIndication);
  }
  return o;
}

void MessageCentre::sendDirect(const EncodedPdu& pdu) {
  sink_.unsolicited(directDelivery(pdu, settings_), UnsolicitedKind::MessageIndication);
  awaitingAck_ = pdu;
  ackTimer_ = scheduler_.schedule(acknowledgementTimeout, [this] { acknowledgementTimedOut(); });
}

// GSM 07.05: without an acknowledgement in time the phone stops routing
// messages to the terminal (<mt> and <ds> go to 0) and the network delivers
// again later, which then lands in memory: the message the terminal missed
// (under +CNMI mode 1 a busy line drops the "+CMT:") first, then those queued
// behind it.
void MessageCentre::acknowledgementTimedOut() {
  ackTimer_.reset();
  settings_.cnmi.mt = 0;
  settings_.cnmi.ds = 0;
  std::deque<EncodedPdu> unacknowledged;
  unacknowledged.swap(waitingForAck_);
  if (awaitingAck_) unacknowledged.push_front(*awaitingAck_);
  awaitingAck_.reset();
  for (const auto& pdu : unacknowledged) storeIncoming(pdu);
}

Outcome MessageCentre::acknowledge(int reply) {
  if (reply < 0 || reply > 2) return Outcome::cms(CmsError::OperationNotSupported);
  if (!ackTimer_) return Outcome::cms(CmsError::NoAckExpected);
  scheduler_.cancel(*ackTimer_);
  ackTimer_.reset();
  awaitingAck_.reset();
  if (!waitingForAck_.empty()) {
    const EncodedPdu next = waitingForAck_.front();
    waitingForAck_.pop_front();
    timers_.push_back(scheduler_.schedule(std::chrono::milliseconds(50), [this, next] {
      if (ackTimer_) {
        waitingForAck_.push_front(next);
      } else {
        sendDirect(next);
      }
    }));
  }
  return Outcome::ok();
}

void MessageCentre::statusReport(int reference, int status, const std::string& recipient) {
  SmsStatusReport r;
  r.serviceCentre = SmsAddress::fromText(serviceCentre);
  r.messageReference = reference;
  r.recipient = SmsAddress::fromText(recipient);
  r.serviceCentreTime = SmsTimestamp::now();
  r.dischargeTime = SmsTimestamp::now();
  r.status = static_cast<uint8_t>(status);
  const EncodedPdu pdu = encodeStatusReport(r);
  if (settings_.cnmi.ds == 1) {
    sink_.unsolicited(statusReportDelivery(pdu, settings_), UnsolicitedKind::MessageIndication);
  } else if (settings_.cnmi.ds == 2) {
    auto index = store_.store(settings_.receiveMemory, {MessageStat::ReceivedUnread, pdu.hex});
    if (index) {
      sink_.unsolicited("+CDSI: \"" + settings_.receiveMemory + "\"," + std::to_string(*index),
                        UnsolicitedKind::MessageIndication);
    }
  }
}

}  // namespace fonexa::sim
