#pragma once
// How short messages appear on the line in the two modes of GSM 07.05: as
// hexadecimal PDUs (+CMGF=0) or as text with header fields (+CMGF=1), in
// listings (+CMGL), single reads (+CMGR) and deliveries to the terminal
// (+CMT, +CDS); and how a text typed at the prompt becomes a PDU.
#include <optional>
#include <string>
#include <vector>

#include "sim/at/ResultCodes.h"
#include "sim/codec/SmsPdu.h"
#include "sim/state/SmsStore.h"
#include "sim/state/TerminalSettings.h"

namespace fonexa::sim {

// <stat> in text mode: "REC UNREAD", "REC READ", "STO UNSENT", "STO SENT", "ALL".
std::string statName(int stat);
std::optional<int> statFromName(const std::string& name);

// The header line and the data line of one stored message.
std::vector<std::string> listingLines(int index, const StoredMessage& message, const TerminalSettings& settings);
std::vector<std::string> readingLines(const StoredMessage& message, const TerminalSettings& settings);
// "+CMT: ..." and its data, "+CDS: ...".
std::string directDelivery(const EncodedPdu& pdu, const TerminalSettings& settings);
std::string statusReportDelivery(const EncodedPdu& pdu, const TerminalSettings& settings);

// A text typed after "AT+CMGS=<da>" / "AT+CMGW=<da>" in text mode, as the
// PDU the phone stores or sends: an SMS-SUBMIT with the +CSMP values, or for
// a received <stat> an SMS-DELIVER. The error when the text does not fit.
struct TypedMessage {
  std::string number;
  int typeOfAddress = 129;
  MessageStat stat = MessageStat::StoredUnsent;
  std::string serviceCentre;
};
std::optional<EncodedPdu> pduFromTypedText(const std::string& text, const TypedMessage& message,
                                           const TerminalSettings& settings, Outcome& error);

}  // namespace fonexa::sim
