// One short message as the SMS service lists, reads and reports it.
#pragma once

#include <cstdint>
#include <string>

namespace fonexa {

struct SmsEntry {
  // Service-centre address found in the PDU, "+" in front when its type of
  // address was international (0x91).
  std::string ProviderPhone;
  // Decoded text, Latin-1 bytes.
  std::string MessageText;
  // Originator of a received message, or destination of a stored outgoing one.
  std::string PhoneNumber;
  // Service-centre time stamp of a received message (seconds since 1970, its
  // fields taken as local time); 0 while not set.
  int64_t Time = 0;
  // Always -1.
  int Validity = -1;
  // GSM 07.05 <stat>: 0 received unread, 1 received read, 2 stored unsent,
  // 3 stored sent.
  int State = -1;
  // Location in the current message storage.
  int Index = -1;

  // ---- Beyond the Latin-1 view -------------------------------------------
  // The GSM 03.40 message type the PDU carries (TP-MTI).
  enum Kind { Deliver = 0, Submit = 1, StatusReport = 2 };
  int MessageKind = Deliver;
  // The text in UTF-8, every character as sent (MessageText holds "?" or "_"
  // where Latin-1 has no byte). A status report's is its summary.
  std::string TextUtf8;
  // PhoneNumber in UTF-8: they differ only for an alphanumeric sender.
  std::string PhoneNumberUtf8;
  // Concatenation (information element 0x00 or 0x08): the reference, the part
  // count and this part's 1-based number; -1, 1, 1 for a message of one part.
  int PartReference = -1;
  int PartCount = 1;
  int PartNumber = 1;
  // A status report's TP-MR (the reference of the message it reports on),
  // TP-ST and TP-DT (seconds since 1970 as Time); -1, -1, 0 otherwise.
  int ReportReference = -1;
  int ReportStatus = -1;
  int64_t DischargeTime = 0;
};

}  // namespace fonexa
