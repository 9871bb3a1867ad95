#pragma once
// The modem's own GSM 03.40 codec: the network side of PDU mode. It builds
// the SMS-DELIVER and SMS-STATUS-REPORT PDUs a phone hands to its terminal
// and reads the SMS-SUBMIT PDUs the terminal gives it, each PDU preceded by
// the service-centre address as GSM 07.05 carries them.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace fonexa::sim {

// TP-MTI, bits 0-1 of the first octet, for the direction each type travels
// between phone and terminal.
enum class TpMessageType : uint8_t { Deliver = 0, Submit = 1, StatusReport = 2 };

enum class SmsAlphabet { Gsm7, Data8, Ucs2 };

struct SmsAddress {
  // Digits with "+" in front for an international number (TON 1); the text
  // itself for an alphanumeric address (TON 5).
  std::string number;
  uint8_t typeOfAddress = 0x81;

  static SmsAddress fromText(std::string_view number);
  bool empty() const { return number.empty(); }
};

// TP-SCTS / TP-DT: local time of the service centre and its zone in
// quarter hours east of UTC.
struct SmsTimestamp {
  int year = 2000;
  int month = 1;
  int day = 1;
  int hour = 0;
  int minute = 0;
  int second = 0;
  int zoneQuarters = 0;

  static SmsTimestamp now();
  std::string toText() const;  // "yy/MM/dd,hh:mm:ss+zz", the +CCLK form
};

// TP-DCS, GSM 03.38 section 4.
struct DataCodingScheme {
  SmsAlphabet alphabet = SmsAlphabet::Gsm7;
  int messageClass = -1;  // 0..3, -1 when the scheme carries no class
  bool compressed = false;

  static DataCodingScheme decode(uint8_t octet);
  static uint8_t encode(SmsAlphabet alphabet, int messageClass);
};

struct ConcatenationInfo {
  int reference = 0;
  int total = 1;
  int sequence = 1;
};

struct UserData {
  std::vector<uint8_t> header;  // the information elements, without TP-UDHL
  std::u32string text;          // 7-bit and UCS2 messages
  std::vector<uint8_t> data;    // 8-bit messages

  std::optional<ConcatenationInfo> concatenation() const;
};

struct SmsSubmit {
  SmsAddress serviceCentre;
  bool rejectDuplicates = false;
  bool replyPath = false;
  bool statusReportRequest = false;
  int messageReference = 0;
  SmsAddress destination;
  uint8_t protocolId = 0;
  uint8_t dataCodingRaw = 0;
  DataCodingScheme dataCoding;
  int validityFormat = 0;  // TP-VPF: 0 none, 2 relative, 1 enhanced, 3 absolute
  std::vector<uint8_t> validity;
  UserData userData;
};

struct SmsDeliver {
  SmsAddress serviceCentre;
  bool moreMessagesWaiting = false;  // TP-MMS inverted: true sends TP-MMS = 0
  bool statusReportIndication = false;
  bool replyPath = false;
  SmsAddress originator;
  uint8_t protocolId = 0;
  DataCodingScheme dataCoding;
  SmsTimestamp serviceCentreTime;
  UserData userData;
};

struct SmsStatusReport {
  SmsAddress serviceCentre;
  int messageReference = 0;
  SmsAddress recipient;
  SmsTimestamp serviceCentreTime;
  SmsTimestamp dischargeTime;
  uint8_t status = 0;  // TP-ST: 0 delivered, 0x40.. permanent failures, ...
};

enum class PduError {
  NotHex,          // odd length or a non-hex character
  LengthMismatch,  // the TPDU is not as long as the command said
  Truncated,       // a field or the user data runs past the end
  WrongType,       // TP-MTI is not what the command handles
  BadAddress,      // an address longer than GSM 03.40 allows
};

template <typename Message>
struct DecodeResult {
  std::optional<Message> message;
  PduError error = PduError::NotHex;
  explicit operator bool() const { return message.has_value(); }
};

struct EncodedPdu {
  std::string hex;     // service-centre address and TPDU, upper-case hex
  int tpduLength = 0;  // octets after the service-centre address
};

EncodedPdu encodeDeliver(const SmsDeliver& message);
EncodedPdu encodeStatusReport(const SmsStatusReport& report);
EncodedPdu encodeSubmit(const SmsSubmit& message);

// `declaredLength` is the TPDU length that +CMGS / +CMGW / +CMT state; a
// negative value skips the check.
DecodeResult<SmsSubmit> decodeSubmit(std::string_view hex, int declaredLength = -1);
DecodeResult<SmsDeliver> decodeDeliver(std::string_view hex, int declaredLength = -1);
DecodeResult<SmsStatusReport> decodeStatusReport(std::string_view hex, int declaredLength = -1);
std::optional<TpMessageType> messageTypeOf(std::string_view hex);
// The octets after the service-centre address, or -1 for a malformed PDU.
int tpduLengthOf(std::string_view hex);

// A text as the network would deliver it: one SMS-DELIVER, or concatenated
// parts (8-bit reference) when it does not fit one message. The alphabet is
// chosen as a sending phone chooses it: the default alphabet when every
// character has a code in it, UCS2 otherwise.
struct DeliverRequest {
  std::string originator;
  std::string text;  // UTF-8
  std::optional<SmsAlphabet> alphabet;
  int messageClass = -1;
  SmsTimestamp time = SmsTimestamp::now();
  std::string serviceCentre;
  int concatenationReference = 0;
  bool statusReportIndication = false;
};
std::vector<EncodedPdu> buildDeliverParts(const DeliverRequest& request);

// A readable account of any stored PDU, for state dumps and control output.
struct PduSummary {
  std::string type;  // "deliver", "submit", "status-report", "invalid"
  std::string number;
  std::string text;  // UTF-8; 8-bit data as hex
  std::string time;
  std::optional<ConcatenationInfo> concatenation;
  int messageClass = -1;
};
PduSummary summarizePdu(std::string_view hex);

std::u32string decodeUcs2(const std::vector<uint8_t>& octets);
std::vector<uint8_t> encodeUcs2(std::u32string_view text);

}  // namespace fonexa::sim
