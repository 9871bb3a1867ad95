#include "codec/CMxGsmCoding.h"

#include <algorithm>
#include <atomic>
#include <chrono>

#include "platform/LocalTime.h"
#include "codec/GsmAlphabet.h"
#include "codec/DeliveryReports.h"
#include "codec/PduCursor.h"
#include "codec/UnicodeText.h"
#include "text/DebugLog.h"

namespace fonexa {

namespace {

// ---- GSM 03.40 field values ------------------------------------------------

// TP-MTI, bits 0-1 of the first octet.
constexpr int kMtiMask = 0x03;
constexpr int kMtiSmsSubmit = 0x01;
constexpr int kMtiStatusReport = 0x02;
// TP-UDHI: the user data begins with a header.
constexpr unsigned kUdhiBit = 0x40;
// TP-VPF, bits 3-4 of an SMS-SUBMIT's first octet.
constexpr int kVpfMask = 0x18;
constexpr int kVpfRelative = 0x10;
// Type of address of an international number.
constexpr int kInternationalNumber = 0x91;
// Type of number (bits 6..4 of the type of address): 101 alphanumeric.
constexpr int kTypeOfNumberMask = 0x70;
constexpr int kAlphanumericNumber = 0x50;

// The first octets this codec sends: SMS-SUBMIT with a relative validity
// period, and the same with TP-UDHI for the parts of a long text.
constexpr std::string_view kSubmitStart = "001100";         // SCA length 0, first octet, TP-MR 0
constexpr std::string_view kSubmitWithHeaderStart = "005100";
constexpr unsigned kSubmitFirstOctet = 0x11;
// TP-SRR: the sender asks for a status report.
constexpr unsigned kSrrBit = 0x20;
constexpr std::string_view kValidityPeriod = "AA";          // relative: 4 days
constexpr int kClass0Bit = 0x10;                           // TP-DCS: message class 0, "flash"

// One message carries 140 octets of user data: 160 septets, 140 octets or
// 70 UCS2 characters.
constexpr int kSeptetsPerMessage = 160;
constexpr int kOctetsPerMessage = 140;
constexpr int kUcs2CharactersPerMessage = 70;
// Parts leave room for the concatenation header. 7-bit parts keep 152
// septets rather than the 153 that fit, so that part counts stay what
// callers have always seen.
constexpr int kSeptetsPerPart = 152;
constexpr int kOctetsPerPart = 134;
constexpr int kUcs2CharactersPerPart = 67;

// Information element 0x00: concatenated message, 8-bit reference; the
// header length octet (5) and the element length (3) in front.
constexpr std::string_view kConcatenationHeaderStart = "050003";
constexpr int kConcatenationHeaderOctets = 6;

// ---- Process-wide state ---------------------------------------------------

// Escape state of SeptetToText, kept across calls as the decoder of single
// codes needs it; GetTextFromPdu decodes with its own and leaves its final
// value here.
std::atomic<bool> g_escaped{false};

// Concatenation reference of the latest multi-part message. It starts from
// the clock, so that a restarted program does not begin again where its
// previous run did while a recipient may still hold parts of that run.
uint32_t InitialReference() {
  const auto ticks = std::chrono::system_clock::now().time_since_epoch().count();
  return static_cast<uint32_t>(ticks ^ (ticks >> 8) ^ (ticks >> 16));
}
std::atomic<uint32_t> g_reference{InitialReference()};

void DrawNewReference() { g_reference.fetch_add(1, std::memory_order_relaxed); }

// ---- Helpers --------------------------------------------------------------

// Septets a concatenation header takes in 7-bit user data: its octets
// rounded up to whole septets. The difference is fill bits.
constexpr int HeaderSeptets(int headerOctets) { return (headerOctets * 8 + 6) / 7; }
constexpr int FillBits(int headerOctets) { return HeaderSeptets(headerOctets) * 7 - headerOctets * 8; }

// Calls emit(begin, end) for each part of the text; returns the part count,
// -1 for an unknown alphabet.
template <typename Emit>
int ForEachPart(const std::string& text, int alphabet, Emit&& emit) {
  const size_t length = text.size();
  if (alphabet == CMxGsmCoding::kAlphabet7Bit) {
    if (CMxGsmCoding::GetUserDataLength(text, alphabet) <= kSeptetsPerMessage) {
      emit(size_t{0}, length);
      return 1;
    }
    // Cut before the character that would overflow the part, so that an
    // escape pair always travels whole.
    int parts = 0;
    size_t begin = 0;
    int used = 0;
    for (size_t i = 0; i < length; ++i) {
      const int septets = gsm7::SeptetsOf(text[i]);
      if (used + septets > kSeptetsPerPart) {
        emit(begin, i);
        ++parts;
        begin = i;
        used = 0;
      }
      used += septets;
    }
    emit(begin, length);
    return parts + 1;
  }
  size_t single = 0;
  size_t capacity = 0;
  if (alphabet == CMxGsmCoding::kAlphabet16Bit) {
    single = kUcs2CharactersPerMessage;
    capacity = kUcs2CharactersPerPart;
  } else if (alphabet == CMxGsmCoding::kAlphabet8Bit) {
    single = kOctetsPerMessage;
    capacity = kOctetsPerPart;
  } else {
    return -1;
  }
  if (length <= single) {
    emit(size_t{0}, length);
    return 1;
  }
  int parts = 0;
  for (size_t begin = 0; begin < length; begin += capacity) {
    emit(begin, std::min(begin + capacity, length));
    ++parts;
  }
  return parts;
}

void TraceCodes(const std::string& text) {
  DebugLog& log = TraceLog();
  if (!log.IsOpen()) return;
  log.Write("Char array: ");
  for (const char c : text) {
    const uint8_t code = gsm7::CodeOf(c);
    log.Write("%d,", code);
    if (code == gsm7::kEscape) log.Write("%d,", gsm7::ExtensionCodeOf(c));
  }
  log.Write("\r\n");
}

void AppendUserData(std::string& out, const std::string& text, int alphabet, int fillBits) {
  const size_t start = out.size();
  if (alphabet == CMxGsmCoding::kAlphabet16Bit) {
    // UCS2 code unit 0x00XX is the Latin-1 character XX.
    out.resize(start + 4 * text.size());
    char* at = out.data() + start;
    for (const char c : text) {
      at[0] = '0';
      at[1] = '0';
      WriteHexOctet(at + 2, static_cast<uint8_t>(c));
      at += 4;
    }
    return;
  }
  if (alphabet == CMxGsmCoding::kAlphabet8Bit) {
    out.resize(start + 2 * text.size());
    char* at = out.data() + start;
    for (const char c : text) {
      WriteHexOctet(at, static_cast<uint8_t>(c));
      at += 2;
    }
    return;
  }
  TraceCodes(text);
  const size_t septets = static_cast<size_t>(CMxGsmCoding::GetUserDataLength(text, alphabet));
  out.resize(start + 2 * gsm7::PackedOctets(septets, fillBits));
  gsm7::SeptetPacker packer(out.data() + start, fillBits);
  for (const char c : text) {
    const uint8_t code = gsm7::CodeOf(c);
    packer.Push(code);
    if (code == gsm7::kEscape) packer.Push(gsm7::ExtensionCodeOf(c));
  }
  packer.Finish();
}

// Appends code units as user data: septet codes packed, or UCS2 code units.
void AppendUnits(std::string& out, const std::vector<uint16_t>& units, int alphabet, int fillBits) {
  const size_t start = out.size();
  if (alphabet == CMxGsmCoding::kAlphabet16Bit) {
    out.resize(start + 4 * units.size());
    char* at = out.data() + start;
    for (const uint16_t unit : units) {
      WriteHexOctet(at, unit >> 8);
      WriteHexOctet(at + 2, unit & 0xFF);
      at += 4;
    }
    return;
  }
  out.resize(start + 2 * gsm7::PackedOctets(units.size(), fillBits));
  gsm7::SeptetPacker packer(out.data() + start, fillBits);
  for (const uint16_t unit : units) packer.Push(static_cast<uint8_t>(unit));
  packer.Finish();
}

// Decodes user data into text, reusing its buffer. See GetTextFromPdu.
void DecodeText(std::string_view userData, int count, int alphabet, int fillBits, std::string& text) {
  TraceLog().Write("CMxGsmCoding::GetTextFromPdu[%.*s]\r\n", static_cast<int>(userData.size()), userData.data());
  g_escaped.store(false, std::memory_order_relaxed);
  text.clear();
  if (alphabet == CMxGsmCoding::kAlphabet16Bit) {
    text.resize(userData.size() / 4);
    char* at = text.data();
    for (size_t position = 0; position + 4 <= userData.size(); position += 4) {
      const int high = CompleteOctetAt(userData, position);
      const int low = CompleteOctetAt(userData, position + 2);
      if (high < 0 || low < 0) break;
      // A Latin-1 text has no byte for other code units; "?" at least shows
      // that a character was there.
      *at++ = high == 0 ? static_cast<char>(low) : '?';
    }
    text.resize(static_cast<size_t>(at - text.data()));
  } else if (alphabet == CMxGsmCoding::kAlphabet8Bit) {
    text.resize(userData.size() / 2);
    char* at = text.data();
    for (size_t position = 0;; position += 2) {
      const int octet = CompleteOctetAt(userData, position);
      if (octet < 0) break;
      *at++ = static_cast<char>(octet);
    }
    text.resize(static_cast<size_t>(at - text.data()));
  } else if (alphabet == CMxGsmCoding::kAlphabet7Bit && count > 0) {
    const size_t bits = userData.size() / 2 * 8;
    const size_t room = bits > static_cast<size_t>(fillBits) ? (bits - static_cast<size_t>(fillBits)) / 7 : 0;
    text.resize(std::min(static_cast<size_t>(count), room));
    char* at = text.data();
    bool escaped = false;
    gsm7::Unpack(userData, text.size(), fillBits, [&](uint8_t code) {
      const int c = gsm7::DecodeCode(code, escaped);
      if (c >= 0) *at++ = static_cast<char>(c);
    });
    text.resize(static_cast<size_t>(at - text.data()));
    g_escaped.store(escaped, std::memory_order_relaxed);
  }
}

constexpr bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

bool IsCalendarTime(int year, int month, int day, int hour, int minute, int second) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12 || day < 1) return false;
  const int days = kDays[month - 1] + (month == 2 && IsLeapYear(year) ? 1 : 0);
  return day <= days && hour <= 23 && minute <= 59 && second <= 59;
}

// TP-SCTS: year, month, day, hour, minute, second in swapped decimal digits,
// then the time zone, which is skipped: the fields count as local time. An
// impossible stamp leaves the time unset (0).
int64_t ReadServiceCentreTimeStamp(PduCursor& cursor) {
  const int year = 2000 + cursor.SemiDecimalOctet();
  const int month = cursor.SemiDecimalOctet();
  const int day = cursor.SemiDecimalOctet();
  const int hour = cursor.SemiDecimalOctet();
  const int minute = cursor.SemiDecimalOctet();
  const int second = cursor.SemiDecimalOctet();
  cursor.Skip(1);
  if (!IsCalendarTime(year, month, day, hour, minute, second)) return 0;
  return platform::LocalSecondsOf(year, month, day, hour, minute, second);
}

// Octets of TP-VP in an SMS-SUBMIT, after its TP-VPF. Phones store their own
// outgoing messages without one (TP-VPF 00) as often as with the relative
// octet this codec writes.
constexpr size_t ValidityPeriodOctets(int firstOctet) {
  switch (firstOctet & kVpfMask) {
    case 0x00:
      return 0;
    case kVpfRelative:
      return 1;
    default:  // enhanced or absolute
      return 7;
  }
}

// Information elements of a user-data header that concatenate (GSM 03.40
// 9.2.3.24.1 and .8): 8-bit and 16-bit reference.
constexpr int kConcatenated8Bit = 0x00;
constexpr int kConcatenated16Bit = 0x08;

// Reads the concatenation element of a user-data header given as hex (its
// length octet first) into the entry; other elements are passed over. A
// header that lies about its lengths is read no further than its own text.
void ReadConcatenation(std::string_view header, SmsEntry& entry) {
  PduCursor cursor(header);
  const size_t end = static_cast<size_t>(cursor.Octet()) * 2 + 2;
  while (cursor.Position() + 4 <= std::min(end, header.size())) {
    const int element = cursor.Octet();
    const int length = cursor.Octet();
    const size_t next = cursor.Position() + static_cast<size_t>(length) * 2;
    int reference = -1;
    if (element == kConcatenated8Bit && length == 3) reference = cursor.Octet();
    if (element == kConcatenated16Bit && length == 4) reference = cursor.Octet() << 8 | cursor.Octet();
    if (reference >= 0) {
      const int count = cursor.Octet();
      const int number = cursor.Octet();
      // A count of 0 or a number outside 1..count: the element is to be
      // ignored (GSM 03.40), the message read as one of its own.
      if (count >= 1 && number >= 1 && number <= count) {
        entry.PartReference = reference;
        entry.PartCount = count;
        entry.PartNumber = number;
      }
    }
    if (next <= cursor.Position()) break;
    cursor.Skip((next - cursor.Position()) / 2);
  }
}

// TP-UD after TP-UDL: skips a user-data header by its length (and in 7-bit by
// the fill bits after it) and decodes the text that TP-UDL leaves, both as
// Latin-1 and as UTF-8.
void DecodeUserData(std::string_view userData, int udl, bool hasHeader, int alphabet, SmsEntry& entry) {
  size_t headerOctets = 0;
  if (hasHeader) {
    headerOctets = static_cast<size_t>(ReadOctetAt(userData, 0, false)) + 1;
    ReadConcatenation(userData.substr(0, std::min(headerOctets * 2, userData.size())), entry);
  }
  const std::string_view afterHeader = userData.substr(std::min(headerOctets * 2, userData.size()));
  if (alphabet == CMxGsmCoding::kAlphabet7Bit) {
    const int headerSeptets = HeaderSeptets(static_cast<int>(headerOctets));
    const int septets = std::max(0, udl - headerSeptets);
    const int fillBits = FillBits(static_cast<int>(headerOctets));
    DecodeText(afterHeader, septets, alphabet, fillBits, entry.MessageText);
    entry.TextUtf8 = unicode::DecodeUserDataUtf8(afterHeader, septets, alphabet, fillBits);
    return;
  }
  // TP-UDL bounds 8-bit and UCS2 text too: some phones pad a PDU read from
  // the SIM to the full record with FF octets.
  const size_t octets = static_cast<size_t>(std::max(0, udl - static_cast<int>(headerOctets)));
  const std::string_view text = afterHeader.substr(0, std::min(octets * 2, afterHeader.size()));
  DecodeText(text, static_cast<int>(octets), alphabet, 0, entry.MessageText);
  entry.TextUtf8 = unicode::DecodeUserDataUtf8(text, static_cast<int>(octets), alphabet, 0);
}

// TP-OA, TP-DA or TP-RA: its length counts semi-octets. An alphanumeric
// address (type of number 101, as banks and services send) is GSM 7-bit text
// packed into them: Latin-1 into number, UTF-8 into numberUtf8.
void ReadAddress(PduCursor& cursor, std::string& number, std::string& numberUtf8) {
  const int addressDigits = cursor.Octet();
  const int typeOfAddress = cursor.Octet();
  const size_t addressOctets = static_cast<size_t>(addressDigits + 1) / 2;
  if ((typeOfAddress & kTypeOfNumberMask) == kAlphanumericNumber) {
    const std::string_view packed = cursor.Rest().substr(0, std::min(addressOctets * 2, cursor.Rest().size()));
    const int septets = addressDigits * 4 / 7;
    DecodeText(packed, septets, CMxGsmCoding::kAlphabet7Bit, 0, number);
    numberUtf8 = unicode::DecodeUserDataUtf8(packed, septets, CMxGsmCoding::kAlphabet7Bit, 0);
    cursor.Skip(addressOctets);
    return;
  }
  if (typeOfAddress == kInternationalNumber) number = "+";
  cursor.AppendAddressDigits(addressOctets, number);
  numberUtf8 = number;
}

// An SMS-STATUS-REPORT after its first octet (GSM 03.40 9.2.2.3): TP-MR,
// TP-RA, TP-SCTS, TP-DT, TP-ST; the optional TP-PI and what it announces
// carry nothing the entry shows. The recipient goes where a sender would,
// and the text is the outcome in words.
void ReadStatusReport(PduCursor& cursor, SmsEntry& entry) {
  entry.MessageKind = SmsEntry::StatusReport;
  entry.ReportReference = cursor.Octet();
  ReadAddress(cursor, entry.PhoneNumber, entry.PhoneNumberUtf8);
  entry.Time = ReadServiceCentreTimeStamp(cursor);
  entry.DischargeTime = ReadServiceCentreTimeStamp(cursor);
  entry.ReportStatus = cursor.Octet();
  entry.TextUtf8 = DeliveryOutcomeName(OutcomeOfReportStatus(entry.ReportStatus));
  entry.MessageText = entry.TextUtf8;
}

}  // namespace

// ---- Building -------------------------------------------------------------

int CMxGsmCoding::ConvertToPdu(std::string& pdu, const std::string& phoneNumber, const std::string& text,
                               int alphabet, int partIndex, int partCount, int flash) {
  TraceLog().Write("\r\n-->CMxGsmCoding::ConvertToPdu[%s,%s,%d,%d/%d,%d]\r\n", phoneNumber.c_str(), text.c_str(),
                   alphabet, partIndex, partCount, flash);
  const int udl = GetUserDataLength(text, alphabet) + GetHeaderLength(partIndex, partCount, alphabet);
  return BuildSubmit(pdu, phoneNumber, alphabet, partIndex, partCount, flash, false, udl,
                     [&](std::string& out, int fillBits) { AppendUserData(out, text, alphabet, fillBits); });
}

int CMxGsmCoding::ConvertUnitsToPdu(std::string& pdu, const std::string& phoneNumber,
                                    const std::vector<uint16_t>& units, int alphabet, int partIndex, int partCount,
                                    int flash, bool statusReport) {
  TraceLog().Write("\r\n-->CMxGsmCoding::ConvertUnitsToPdu[%s,%zu,%d,%d/%d,%d,%d]\r\n", phoneNumber.c_str(),
                   units.size(), alphabet, partIndex, partCount, flash, statusReport ? 1 : 0);
  const int unitOctets = alphabet == kAlphabet16Bit ? 2 : 1;
  const int udl = static_cast<int>(units.size()) * unitOctets + GetHeaderLength(partIndex, partCount, alphabet);
  return BuildSubmit(pdu, phoneNumber, alphabet, partIndex, partCount, flash, statusReport, udl,
                     [&](std::string& out, int fillBits) { AppendUnits(out, units, alphabet, fillBits); });
}

template <typename AppendText>
int CMxGsmCoding::BuildSubmit(std::string& pdu, const std::string& phoneNumber, int alphabet, int partIndex,
                              int partCount, int flash, bool statusReport, int udl, AppendText&& appendText) {
  const auto tracePdu = [&pdu] { TraceLog().Write("CMxGsmCoding::ConvertToPdu>>PDU:%s\r\n", pdu.c_str()); };
  const bool concatenated = partCount > 1;
  if (concatenated && partIndex == 1) DrawNewReference();

  pdu.clear();
  pdu.reserve(2 * (8 + phoneNumber.size() / 2 + kConcatenationHeaderOctets + 140));
  // No service-centre address (the phone's stored one is used), first
  // octet, TP-MR 0 (the phone numbers its messages itself).
  if (!statusReport) {
    pdu += concatenated ? kSubmitWithHeaderStart : kSubmitStart;
  } else {
    pdu += "00";
    AppendHexOctet(pdu, kSubmitFirstOctet | kSrrBit | (concatenated ? kUdhiBit : 0));
    pdu += "00";
  }
  tracePdu();

  // TP-DA: digit count, type of address, digits swapped in pairs.
  std::string_view digits = phoneNumber;
  const bool international = !digits.empty() && digits.front() == '+';
  if (international) digits.remove_prefix(1);
  AppendHexOctet(pdu, static_cast<unsigned>(digits.size()) & 0xFF);
  pdu += international ? "91" : "81";
  tracePdu();
  // "*" and "#" are the semi-octets A and B (GSM 04.08 BCD numbers).
  const auto semiOctet = [](char c) { return c == '*' ? 'A' : c == '#' ? 'B' : c; };
  size_t i = 0;
  for (; i + 1 < digits.size(); i += 2) {
    pdu += semiOctet(digits[i + 1]);
    pdu += semiOctet(digits[i]);
  }
  if (i < digits.size()) {
    pdu += 'F';
    pdu += semiOctet(digits[i]);
  }
  tracePdu();

  // TP-PID, TP-DCS, TP-VP.
  pdu += "00";
  AppendHexOctet(pdu, (static_cast<unsigned>(alphabet) << 2 | (flash ? kClass0Bit : 0)) & 0xFF);
  pdu += kValidityPeriod;
  tracePdu();

  // TP-UDL, then TP-UD: header and text.
  AppendHexOctet(pdu, static_cast<unsigned>(udl) & 0xFF);
  tracePdu();
  pdu += BuildUserDataHeader(partIndex, partCount, alphabet);
  tracePdu();
  appendText(pdu, concatenated && alphabet == kAlphabet7Bit ? FillBits(kConcatenationHeaderOctets) : 0);
  tracePdu();
  return static_cast<int>(pdu.size() / 2) - 1;
}

std::vector<std::vector<uint16_t>> CMxGsmCoding::SplitUtf8Text(std::string_view utf8, int& alphabet) {
  const unicode::UnitText text = unicode::EncodeText(utf8);
  alphabet = text.alphabet;
  if (alphabet == kAlphabet7Bit) return unicode::SplitUnits(text, kSeptetsPerMessage, kSeptetsPerPart);
  return unicode::SplitUnits(text, kUcs2CharactersPerMessage, kUcs2CharactersPerPart);
}

int CMxGsmCoding::SelectAlphabet(const std::string& text) {
  for (const char c : text) {
    const bool extension = gsm7::ExtensionCodeOf(c) != 0 && c != '\f';
    if (gsm7::InDefaultAlphabet(c) || extension) continue;
    TraceLog().Write("CMxGsmCoding::SelectAlphabet>>16bit[%c]\r\n", c);
    return kAlphabet16Bit;
  }
  TraceLog().Write("CMxGsmCoding::SelectAlphabet>>7bit\r\n");
  return kAlphabet7Bit;
}

int CMxGsmCoding::GetPartCount(const std::string& text, int alphabet) {
  return ForEachPart(text, alphabet, [](size_t, size_t) {});
}

std::vector<std::string> CMxGsmCoding::SplitIntoParts(const std::string& text, int alphabet) {
  std::vector<std::string> parts;
  ForEachPart(text, alphabet, [&](size_t begin, size_t end) { parts.push_back(text.substr(begin, end - begin)); });
  return parts;
}

int CMxGsmCoding::GetPartCapacity(int alphabet) {
  switch (alphabet) {
    case kAlphabet7Bit:
      return kSeptetsPerPart;
    case kAlphabet8Bit:
      return kOctetsPerPart;
    case kAlphabet16Bit:
      return kUcs2CharactersPerPart;
    default:
      return -1;
  }
}

std::string CMxGsmCoding::BuildUserDataHeader(int partIndex, int partCount, int /*alphabet*/) {
  if (partCount <= 1) return {};
  std::string header(kConcatenationHeaderStart);
  AppendHexOctet(header, static_cast<unsigned>(ConcatenationReference()));
  AppendHexOctet(header, static_cast<unsigned>(partCount) & 0xFF);
  AppendHexOctet(header, static_cast<unsigned>(partIndex) & 0xFF);
  return header;
}

int CMxGsmCoding::GetHeaderLength(int /*partIndex*/, int partCount, int alphabet) {
  if (partCount <= 1) return 0;
  return alphabet == kAlphabet7Bit ? HeaderSeptets(kConcatenationHeaderOctets) : kConcatenationHeaderOctets;
}

int CMxGsmCoding::ConcatenationReference() {
  return static_cast<int>(g_reference.load(std::memory_order_relaxed) & 0xFF);
}

int CMxGsmCoding::GetUserDataLength(const std::string& text, int alphabet) {
  const int characters = static_cast<int>(text.size());
  if (alphabet == kAlphabet16Bit) return 2 * characters;
  if (alphabet != kAlphabet7Bit) return characters;
  int septets = characters;
  for (const char c : text) septets += gsm7::CodeOf(c) == gsm7::kEscape ? 1 : 0;
  return septets;
}

uint8_t CMxGsmCoding::CharToSeptet(char c) { return gsm7::CodeOf(c); }

uint8_t CMxGsmCoding::GetExtensionCode(char c) { return gsm7::ExtensionCodeOf(c); }

std::string CMxGsmCoding::EncodeUserData(const std::string& text, int alphabet, int fillBits) {
  std::string out;
  out.reserve(4 * text.size() + 2);
  AppendUserData(out, text, alphabet, fillBits);
  return out;
}

// ---- Decoding -------------------------------------------------------------

int CMxGsmCoding::ConvertFromPdu(const std::string& pdu, int length, SmsEntry& entry) {
  if (length == 0) return 0;
  PduCursor cursor(pdu);
  entry.ProviderPhone.clear();
  entry.PhoneNumber.clear();
  entry.PhoneNumberUtf8.clear();
  entry.TextUtf8.clear();
  entry.PartReference = -1;
  entry.PartCount = entry.PartNumber = 1;
  entry.ReportReference = entry.ReportStatus = -1;
  entry.DischargeTime = 0;

  // Service-centre address: its length in octets counts the type of address.
  const int scLength = cursor.Octet();
  if (scLength >= 1) {
    if (cursor.Octet() == kInternationalNumber) entry.ProviderPhone = "+";
    cursor.AppendAddressDigits(static_cast<size_t>(scLength - 1), entry.ProviderPhone);
  }

  // First octet: TP-MTI and TP-UDHI. A stored SMS-SUBMIT carries TP-MR and
  // TP-VP, a status report fields of its own; every other type is read with
  // the SMS-DELIVER layout.
  const int firstOctet = cursor.Octet();
  const int messageType = firstOctet & kMtiMask;
  if (messageType == kMtiStatusReport) {
    ReadStatusReport(cursor, entry);
  } else {
    const bool submit = messageType == kMtiSmsSubmit;
    const bool hasHeader = (firstOctet & kUdhiBit) != 0;
    entry.MessageKind = submit ? SmsEntry::Submit : SmsEntry::Deliver;
    if (submit) cursor.Skip(1);  // TP-MR
    ReadAddress(cursor, entry.PhoneNumber, entry.PhoneNumberUtf8);
    cursor.Skip(1);  // TP-PID
    const int alphabet = AlphabetOfDataCoding(cursor.Octet());
    if (submit) {
      cursor.Skip(ValidityPeriodOctets(firstOctet));
    } else {
      entry.Time = ReadServiceCentreTimeStamp(cursor);
    }
    const int udl = cursor.Octet();
    DecodeUserData(cursor.Rest(), udl, hasHeader, alphabet, entry);
  }

  DebugLog& log = TraceLog();
  log.Write("\r\nCMxGsmCoding::ConvertFromPdu>>Encoded message:\r\n");
  log.Write("CMxGsmCoding::ConvertFromPdu>>Message text: %s\r\n", entry.MessageText.c_str());
  log.Write("CMxGsmCoding::ConvertFromPdu>>Phone number: %s\r\n", entry.PhoneNumber.c_str());
  log.Write("CMxGsmCoding::ConvertFromPdu>>Provider phone: %s\r\n", entry.ProviderPhone.c_str());
  return 1;
}

std::string CMxGsmCoding::GetTextFromPdu(std::string_view userData, int count, int alphabet, int fillBits) {
  std::string text;
  DecodeText(userData, count, alphabet, fillBits, text);
  return text;
}

int CMxGsmCoding::ReadHexOctet(const std::string& pdu, int position, int semiDecimal) {
  if (position < 0) return 0;
  return ReadOctetAt(pdu, static_cast<size_t>(position), semiDecimal != 0);
}

std::string CMxGsmCoding::SeptetToText(int code) {
  bool escaped = g_escaped.load(std::memory_order_relaxed);
  const int c = gsm7::DecodeCode(static_cast<uint8_t>(code), escaped);
  g_escaped.store(escaped, std::memory_order_relaxed);
  return c < 0 ? std::string() : std::string(1, static_cast<char>(c));
}

int CMxGsmCoding::AlphabetOfDataCoding(int dataCodingScheme) {
  const int dcs = dataCodingScheme & 0xFF;
  switch (dcs >> 4) {
    case 0x0:
    case 0x1:
    case 0x2:
    case 0x3:  // general data coding
    case 0x4:
    case 0x5:
    case 0x6:
    case 0x7: {  // automatic deletion
      const int alphabet = (dcs >> 2) & 0x03;
      return alphabet == 0x03 ? kAlphabet7Bit : alphabet;
    }
    case 0xC:  // message waiting, discard
    case 0xD:  // message waiting, store
      return kAlphabet7Bit;
    case 0xE:  // message waiting, store, UCS2
      return kAlphabet16Bit;
    case 0xF:  // data coding / message class
      return (dcs & 0x04) ? kAlphabet8Bit : kAlphabet7Bit;
    default:  // reserved coding groups
      return kAlphabet7Bit;
  }
}

}  // namespace fonexa
