#include "codec/SmsResponses.h"

#include <charconv>

#include "codec/CMxGsmCoding.h"
#include "codec/PduCursor.h"
#include "text/InformationLine.h"
#include "text/NumberText.h"
#include "text/ResponseTokenizer.h"

namespace fonexa {

namespace {

// In the order of the storage numbers.
constexpr const char* kStorageNames[] = {"SM", "ME", "MT"};

std::string_view Trim(std::string_view text) {
  const size_t begin = text.find_first_not_of(" \r\n");
  if (begin == std::string_view::npos) return {};
  const size_t end = text.find_last_not_of(" \r\n");
  return text.substr(begin, end - begin + 1);
}

// The line after its prefix, blanks and line end trimmed; false when the line
// does not begin with the prefix.
bool BodyAfter(std::string_view line, std::string_view prefix, std::string_view& body) {
  if (line.substr(0, prefix.size()) != prefix) return false;
  body = Trim(line.substr(prefix.size()));
  return true;
}

// A field that must hold a non-negative decimal number and nothing else.
bool TakeNumber(std::string_view field, int& value) {
  field = Trim(field);
  if (field.empty()) return false;
  int parsed = 0;
  const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), parsed);
  if (error != std::errc() || end != field.data() + field.size() || parsed < 0) return false;
  value = parsed;
  return true;
}

// "[<alpha>],<length>": the length after the last comma, the alpha before it.
bool TakeAlphaAndLength(std::string_view rest, SmsHeader& header) {
  const size_t comma = rest.rfind(',');
  std::string_view alpha;
  std::string_view length = rest;
  if (comma != std::string_view::npos) {
    alpha = Trim(rest.substr(0, comma));
    length = rest.substr(comma + 1);
  }
  if (alpha.size() >= 2 && alpha.front() == '"' && alpha.back() == '"') alpha = alpha.substr(1, alpha.size() - 2);
  int value = 0;
  if (!TakeNumber(length, value)) return false;
  header.alpha.assign(alpha);
  header.length = value;
  return true;
}

// Splits off the field before the next comma; false when there is no comma.
bool SplitField(std::string_view& rest, std::string_view& field) {
  const size_t comma = rest.find(',');
  field = rest.substr(0, comma);
  if (comma == std::string_view::npos) return false;
  rest.remove_prefix(comma + 1);
  return true;
}

}  // namespace

// ---- Message storages ----------------------------------------------------------

const char* SmsStorageName(int storage) {
  if (storage < 0 || storage >= static_cast<int>(std::size(kStorageNames))) return nullptr;
  return kStorageNames[storage];
}

int SmsStorageNumber(std::string_view name) {
  for (size_t i = 0; i < std::size(kStorageNames); ++i) {
    if (name == kStorageNames[i]) return static_cast<int>(i);
  }
  return -1;
}

// ---- +CMGL, +CMGR, +CMT ---------------------------------------------------------

int ParseCmglResponse(const std::string& line, SmsHeader& header) {
  std::string_view rest;
  if (!BodyAfter(line, "+CMGL:", rest)) return kHeaderIndexMissing;
  SmsHeader parsed;
  std::string_view field;
  const bool more = SplitField(rest, field);
  if (!TakeNumber(field, parsed.index)) return kHeaderIndexMissing;
  if (!more) return kHeaderStatMissing;
  const bool hasLength = SplitField(rest, field);
  if (!TakeNumber(field, parsed.stat)) return kHeaderStatMissing;
  if (!hasLength || !TakeAlphaAndLength(rest, parsed)) return kHeaderLengthMissing;
  header = parsed;
  return 0;
}

int ParseCmgrResponse(const std::string& line, SmsHeader& header) {
  std::string_view rest;
  if (!BodyAfter(line, "+CMGR:", rest)) return kHeaderStatMissing;
  SmsHeader parsed;
  parsed.index = header.index;
  std::string_view field;
  const bool hasLength = SplitField(rest, field);
  if (!TakeNumber(field, parsed.stat)) return kHeaderStatMissing;
  if (!hasLength || !TakeAlphaAndLength(rest, parsed)) return kHeaderLengthMissing;
  header = parsed;
  return 0;
}

int ParseCmtLength(const std::string& line) {
  std::string_view rest;
  if (!BodyAfter(line, "+CMT:", rest)) return -1;
  SmsHeader parsed;
  return TakeAlphaAndLength(rest, parsed) ? parsed.length : -1;
}

// ---- PDU lines ----------------------------------------------------------------

std::string_view PduTextOfLine(std::string_view line) {
  const size_t end = line.find_last_not_of(" \r\n");
  if (end == std::string_view::npos) return {};
  const std::string_view text = line.substr(0, end + 1);
  if (text.size() % 2 != 0) return {};
  for (const char c : text) {
    if (HexDigitValue(c) < 0) return {};
  }
  return text;
}

namespace {

// Whether the text holds the whole TPDU as its own fields describe it (GSM
// 03.40 9.2.2): the header up to TP-UDL and the user data TP-UDL announces.
// A line that ends before is cut short on the way. Status reports and other
// kinds are left to the decoder.
bool HoldsWholeTpdu(std::string_view pdu) {
  const int scaLength = CompleteOctetAt(pdu, 0);
  if (scaLength < 0) return false;
  size_t position = 2 + static_cast<size_t>(scaLength) * 2;
  const int firstOctet = CompleteOctetAt(pdu, position);
  if (firstOctet < 0) return false;
  position += 2;
  const int mti = firstOctet & 0x03;
  if (mti != 0x00 && mti != 0x01) return true;
  if (mti == 0x01) position += 2;  // SMS-SUBMIT: TP-MR
  const int digits = CompleteOctetAt(pdu, position);  // TP-OA or TP-DA, in semi-octets
  if (digits < 0) return false;
  position += 4 + static_cast<size_t>((digits + 1) / 2) * 2;
  const int dataCoding = CompleteOctetAt(pdu, position + 2);  // after TP-PID
  if (dataCoding < 0) return false;
  position += 4;
  if (mti == 0x00) {
    position += 14;  // TP-SCTS
  } else {
    const int vpf = (firstOctet >> 3) & 0x03;  // TP-VPF: none, enhanced, relative, absolute
    position += vpf == 0x02 ? 2 : (vpf == 0x00 ? 0 : 14);
  }
  const int userDataLength = CompleteOctetAt(pdu, position);
  if (userDataLength < 0) return false;
  position += 2;
  const size_t octets = CMxGsmCoding::AlphabetOfDataCoding(dataCoding) == CMxGsmCoding::kAlphabet7Bit
                            ? (static_cast<size_t>(userDataLength) * 7 + 7) / 8
                            : static_cast<size_t>(userDataLength);
  return pdu.size() >= position + octets * 2;
}

}  // namespace

bool DecodeMessageLine(std::string_view pduLine, int length, SmsEntry& entry) {
  const std::string_view pdu = PduTextOfLine(pduLine);
  // <length> is only a hint: phones count it differently (with or without the
  // service-centre address) and some list more than they send. What counts is
  // the PDU itself, read by its own fields and never beyond its text.
  if (pdu.empty() || length <= 0 || !HoldsWholeTpdu(pdu)) return false;
  SmsEntry decoded;
  if (!CMxGsmCoding::ConvertFromPdu(std::string(pdu), length, decoded)) return false;
  // What the listing says of the message (its location, its <stat>) stays.
  decoded.Validity = entry.Validity;
  decoded.State = entry.State;
  decoded.Index = entry.Index;
  entry = std::move(decoded);
  return true;
}

// ---- +CSCA -------------------------------------------------------------------

int ParseCscaResponse(const std::string& line, std::string& number, int& type) {
  ResponseTokenizer fields(BodyOf(line, "+CSCA:"), false, " ,\r\n ");
  const std::string first = fields.NextToken();
  if (first.empty()) return 1;
  const std::string second = fields.NextToken();
  if (second.empty()) return 2;
  number = first;
  type = StringToInt(second);
  return 0;
}

// ---- +CPMS ---------------------------------------------------------------------

CpmsReadResponse ParseCpmsReadResponse(const std::string& line) {
  CpmsReadResponse response;
  const size_t colon = line.find(':');
  if (colon == std::string::npos) return response;
  ResponseTokenizer fields(line.substr(colon), false, ": ,\"\r\n");
  response.name = fields.NextToken();
  response.storage = SmsStorageNumber(response.name);
  const std::string used = fields.NextToken();
  const std::string total = fields.NextToken();
  response.complete = !response.name.empty() && !used.empty() && !total.empty();
  if (response.complete) {
    response.used = StringToInt(used);
    response.total = StringToInt(total);
  }
  return response;
}

// ---- +CMGW ---------------------------------------------------------------------

int ParseCmgwResponse(const std::string& answer) {
  const size_t colon = answer.find(':');
  if (colon == std::string::npos) return -1;
  ResponseTokenizer fields(answer.substr(colon), false, ": ,\r\n");
  return StringToInt(fields.NextToken());
}

// ---- +CMGS, +CDS -----------------------------------------------------------------

int ParseCmgsResponse(const std::string& line) {
  std::string_view rest;
  if (!BodyAfter(line, "+CMGS:", rest)) return -1;
  std::string_view field;
  SplitField(rest, field);
  int reference = -1;
  return TakeNumber(field, reference) ? reference : -1;
}

int ParseCdsLength(const std::string& line) {
  std::string_view rest;
  int length = -1;
  if (!BodyAfter(line, "+CDS:", rest) || !TakeNumber(rest, length)) return -1;
  return length;
}

// ---- Caller texts --------------------------------------------------------------

bool IsSafeNumber(std::string_view number) {
  for (const char c : number) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F || c == '"' || c == ';') return false;
  }
  return true;
}

}  // namespace fonexa
