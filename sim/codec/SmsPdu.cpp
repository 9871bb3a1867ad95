#include "sim/codec/SmsPdu.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "sim/codec/GsmAlphabet.h"
#include "sim/codec/HexText.h"
#include "sim/codec/PduCursor.h"
#include "sim/codec/UnicodeText.h"

namespace fonexa::sim {
namespace {

// ---- first-octet bits (GSM 03.40 section 9.2.3) ---------------------------
constexpr uint8_t kTpMms = 0x04;   // DELIVER, STATUS-REPORT: no more messages
constexpr uint8_t kTpRd = 0x04;    // SUBMIT: reject duplicates
constexpr uint8_t kTpSri = 0x20;   // DELIVER: status report indication
constexpr uint8_t kTpSrr = 0x20;   // SUBMIT: status report request
constexpr uint8_t kTpUdhi = 0x40;  // user data begins with a header
constexpr uint8_t kTpRp = 0x80;    // reply path

constexpr uint8_t kTonMask = 0x70;
constexpr uint8_t kTonInternational = 0x10;
constexpr uint8_t kTonAlphanumeric = 0x50;
constexpr size_t kMaxAddressDigits = 20;  // 10 octets of semi-octets

// ---- semi-octets ------------------------------------------------------------
int semiOctetValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  switch (c) {
    case '*': return 0xA;
    case '#': return 0xB;
    case 'a': case 'A': return 0xC;
    case 'b': case 'B': return 0xD;
    case 'c': case 'C': return 0xE;
    default: return -1;
  }
}

char semiOctetChar(int v) {
  static constexpr char kChars[] = "0123456789*#abc";
  return v < 15 ? kChars[v] : '\0';
}

std::vector<uint8_t> packSemiOctets(std::string_view digits) {
  std::vector<uint8_t> out;
  for (size_t i = 0; i < digits.size(); i += 2) {
    const int lo = semiOctetValue(digits[i]);
    const int hi = i + 1 < digits.size() ? semiOctetValue(digits[i + 1]) : 0xF;
    out.push_back(static_cast<uint8_t>((hi << 4) | lo));
  }
  return out;
}

std::string unpackSemiOctets(const std::vector<uint8_t>& octets, size_t digitCount) {
  std::string out;
  for (uint8_t o : octets) {
    for (int v : {o & 0x0F, o >> 4}) {
      if (out.size() >= digitCount || v == 0xF) continue;
      out += semiOctetChar(v);
    }
  }
  return out;
}

std::string digitsOnly(std::string_view number) {
  std::string out;
  for (char c : number) {
    if (semiOctetValue(c) >= 0) out += c;
  }
  return out;
}

// ---- addresses (GSM 03.40 section 9.1.2.5) ---------------------------------
// TP-OA / TP-DA / TP-RA: the length counts useful semi-octets.
void appendAddress(std::vector<uint8_t>& out, const SmsAddress& address) {
  if ((address.typeOfAddress & kTonMask) == kTonAlphanumeric) {
    auto septets = GsmAlphabet::encode(decodeUtf8(address.number)).value_or(std::vector<uint8_t>{});
    if (septets.size() > 11) septets.resize(11);
    const auto packed = GsmAlphabet::pack(septets);
    out.push_back(static_cast<uint8_t>((septets.size() * 7 + 3) / 4));
    out.push_back(address.typeOfAddress);
    out.insert(out.end(), packed.begin(), packed.end());
    return;
  }
  const std::string digits = digitsOnly(address.number).substr(0, kMaxAddressDigits);
  out.push_back(static_cast<uint8_t>(digits.size()));
  out.push_back(address.typeOfAddress);
  const auto packed = packSemiOctets(digits);
  out.insert(out.end(), packed.begin(), packed.end());
}

std::optional<SmsAddress> readAddress(PduCursor& cursor) {
  const size_t length = cursor.next();
  SmsAddress address;
  address.typeOfAddress = cursor.next();
  if ((address.typeOfAddress & kTonMask) == kTonAlphanumeric) {
    const auto octets = cursor.take((length + 1) / 2);
    const auto septets = GsmAlphabet::unpack(octets.data(), octets.size(), length * 4 / 7);
    address.number = encodeUtf8(GsmAlphabet::decode(septets));
    return address;
  }
  if (length > kMaxAddressDigits) return std::nullopt;
  address.number = unpackSemiOctets(cursor.take((length + 1) / 2), length);
  if ((address.typeOfAddress & kTonMask) == kTonInternational) address.number.insert(0, "+");
  return address;
}

// The service-centre address in front of the TPDU (GSM 04.11 RP address):
// its length counts octets, type of address included.
void appendServiceCentre(std::vector<uint8_t>& out, const SmsAddress& address) {
  if (address.empty()) {
    out.push_back(0);
    return;
  }
  const auto packed = packSemiOctets(digitsOnly(address.number).substr(0, kMaxAddressDigits));
  out.push_back(static_cast<uint8_t>(packed.size() + 1));
  out.push_back(address.typeOfAddress);
  out.insert(out.end(), packed.begin(), packed.end());
}

std::optional<SmsAddress> readServiceCentre(PduCursor& cursor) {
  SmsAddress address;
  const size_t length = cursor.next();
  if (length == 0) return address;
  if (length > 11) return std::nullopt;
  address.typeOfAddress = cursor.next();
  address.number = unpackSemiOctets(cursor.take(length - 1), (length - 1) * 2);
  if ((address.typeOfAddress & kTonMask) == kTonInternational) address.number.insert(0, "+");
  return address;
}

// ---- time stamps (GSM 03.40 section 9.2.3.11) -------------------------------
uint8_t swappedBcd(int value) {
  value = std::clamp(value, 0, 99);
  return static_cast<uint8_t>(((value % 10) << 4) | (value / 10));
}

int fromSwappedBcd(uint8_t octet) { return (octet & 0x0F) * 10 + (octet >> 4); }

void appendTimestamp(std::vector<uint8_t>& out, const SmsTimestamp& t) {
  out.push_back(swappedBcd(t.year % 100));
  out.push_back(swappedBcd(t.month));
  out.push_back(swappedBcd(t.day));
  out.push_back(swappedBcd(t.hour));
  out.push_back(swappedBcd(t.minute));
  out.push_back(swappedBcd(t.second));
  // The sign travels in bit 3 of the tens semi-octet.
  const int quarters = std::abs(t.zoneQuarters);
  uint8_t zone = swappedBcd(quarters);
  if (t.zoneQuarters < 0) zone |= 0x08;
  out.push_back(zone);
}

SmsTimestamp readTimestamp(PduCursor& cursor) {
  SmsTimestamp t;
  t.year = 2000 + fromSwappedBcd(cursor.next());
  t.month = fromSwappedBcd(cursor.next());
  t.day = fromSwappedBcd(cursor.next());
  t.hour = fromSwappedBcd(cursor.next());
  t.minute = fromSwappedBcd(cursor.next());
  t.second = fromSwappedBcd(cursor.next());
  const uint8_t zone = cursor.next();
  t.zoneQuarters = fromSwappedBcd(zone & 0xF7);
  if (zone & 0x08) t.zoneQuarters = -t.zoneQuarters;
  return t;
}

// ---- user data (GSM 03.40 section 9.2.3.24) --------------------------------
size_t headerSeptets(size_t headerOctetsWithLength) { return (headerOctetsWithLength * 8 + 6) / 7; }

void appendUserData(std::vector<uint8_t>& out, SmsAlphabet alphabet, const UserData& ud) {
  std::vector<uint8_t> header;
  if (!ud.header.empty()) {
    header.push_back(static_cast<uint8_t>(ud.header.size()));
    header.insert(header.end(), ud.header.begin(), ud.header.end());
  }
  std::vector<uint8_t> body;
  size_t udl = 0;
  switch (alphabet) {
    case SmsAlphabet::Gsm7: {
      const auto septets = GsmAlphabet::encode(ud.text).value_or(std::vector<uint8_t>{});
      const size_t hs = header.empty() ? 0 : headerSeptets(header.size());
      const int fill = header.empty() ? 0 : static_cast<int>(hs * 7 - header.size() * 8);
      body = GsmAlphabet::pack(septets, fill);
      udl = hs + septets.size();
      break;
    }
    case SmsAlphabet::Ucs2:
      body = encodeUcs2(ud.text);
      udl = header.size() + body.size();
      break;
    case SmsAlphabet::Data8:
      body = ud.data;
      udl = header.size() + body.size();
      break;
  }
  out.push_back(static_cast<uint8_t>(udl));
  out.insert(out.end(), header.begin(), header.end());
  out.insert(out.end(), body.begin(), body.end());
}

// Reads TP-UDL and TP-UD; fails when the data is shorter than TP-UDL says or
// when octets are left over behind it.
std::optional<PduError> readUserData(PduCursor& cursor, const DataCodingScheme& dcs, bool hasHeader,
                                     UserData& ud) {
  const size_t udl = cursor.next();
  if (cursor.overrun()) return PduError::Truncated;
  const size_t octetCount = dcs.alphabet == SmsAlphabet::Gsm7 ? (udl * 7 + 7) / 8 : udl;
  if (cursor.remaining() < octetCount) return PduError::Truncated;
  if (cursor.remaining() > octetCount) return PduError::LengthMismatch;
  const auto octets = cursor.take(octetCount);
  size_t headerOctets = 0;
  if (hasHeader) {
    if (octets.empty()) return PduError::Truncated;
    headerOctets = size_t{octets[0]} + 1;
    if (headerOctets > octets.size()) return PduError::Truncated;
    ud.header.assign(octets.begin() + 1, octets.begin() + static_cast<std::ptrdiff_t>(headerOctets));
  }
  switch (dcs.alphabet) {
    case SmsAlphabet::Gsm7: {
      const size_t skip = hasHeader ? headerSeptets(headerOctets) : 0;
      if (skip > udl) return PduError::Truncated;
      auto septets = GsmAlphabet::unpack(octets.data(), octets.size(), udl);
      septets.erase(septets.begin(), septets.begin() + static_cast<std::ptrdiff_t>(skip));
      ud.text = GsmAlphabet::decode(septets);
      break;
    }
    case SmsAlphabet::Ucs2:
      ud.text = decodeUcs2({octets.begin() + static_cast<std::ptrdiff_t>(headerOctets), octets.end()});
      break;
    case SmsAlphabet::Data8:
      ud.data.assign(octets.begin() + static_cast<std::ptrdiff_t>(headerOctets), octets.end());
      break;
  }
  return std::nullopt;
}

struct TpduStart {
  std::vector<uint8_t> octets;
  SmsAddress serviceCentre;
  size_t tpduOffset = 0;
};

template <typename Message>
DecodeResult<Message> failure(PduError e) {
  DecodeResult<Message> r;
  r.error = e;
  return r;
}

std::optional<PduError> openTpdu(std::string_view hex, int declaredLength, TpduStart& start) {
  auto octets = fromHex(hex);
  if (!octets || octets->empty()) return PduError::NotHex;
  start.octets = std::move(*octets);
  PduCursor cursor(start.octets);
  auto sca = readServiceCentre(cursor);
  if (!sca) return PduError::BadAddress;
  if (cursor.overrun()) return PduError::Truncated;
  start.serviceCentre = *sca;
  start.tpduOffset = cursor.position();
  if (declaredLength >= 0 && start.octets.size() - start.tpduOffset != static_cast<size_t>(declaredLength)) {
    return PduError::LengthMismatch;
  }
  if (start.tpduOffset >= start.octets.size()) return PduError::Truncated;
  return std::nullopt;
}

EncodedPdu finish(const std::vector<uint8_t>& tpduWithSca, size_t scaOctets) {
  return {toHex(tpduWithSca), static_cast<int>(tpduWithSca.size() - scaOctets)};
}

}  // namespace

// ---- public helpers --------------------------------------------------------
SmsAddress SmsAddress::fromText(std::string_view number) {
  SmsAddress a;
  if (!number.empty() && number.front() == '+') {
    a.typeOfAddress = 0x91;
    a.number = "+" + digitsOnly(number.substr(1));
  } else if (!number.empty() && digitsOnly(number).size() != number.size()) {
    a.typeOfAddress = 0xD0;  // an alphanumeric sender such as a bank's name
    a.number = std::string(number);
  } else {
    a.number = std::string(number);
  }
  return a;
}

SmsTimestamp SmsTimestamp::now() {
  const std::time_t t = std::time(nullptr);
  std::tm local{};
  localtime_r(&t, &local);
  SmsTimestamp ts;
  ts.year = local.tm_year + 1900;
  ts.month = local.tm_mon + 1;
  ts.day = local.tm_mday;
  ts.hour = local.tm_hour;
  ts.minute = local.tm_min;
  ts.second = local.tm_sec;
  ts.zoneQuarters = static_cast<int>(local.tm_gmtoff / 900);
  return ts;
}

std::string SmsTimestamp::toText() const {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%02d/%02d/%02d,%02d:%02d:%02d%c%02d", year % 100, month, day, hour, minute,
                second, zoneQuarters < 0 ? '-' : '+', std::abs(zoneQuarters) % 100);
  return buf;
}

DataCodingScheme DataCodingScheme::decode(uint8_t octet) {
  DataCodingScheme d;
  const uint8_t group = octet >> 4;
  if (group <= 0x7) {
    // General data coding (00xx) and automatic deletion (01xx) share a layout.
    d.compressed = (octet & 0x20) != 0;
    switch ((octet >> 2) & 0x03) {
      case 1: d.alphabet = SmsAlphabet::Data8; break;
      case 2: d.alphabet = SmsAlphabet::Ucs2; break;
      default: d.alphabet = SmsAlphabet::Gsm7; break;
    }
    if (octet & 0x10) d.messageClass = octet & 0x03;
  } else if (group == 0xE) {
    d.alphabet = SmsAlphabet::Ucs2;  // message waiting, store, UCS2
  } else if (group == 0xF) {
    d.alphabet = (octet & 0x04) ? SmsAlphabet::Data8 : SmsAlphabet::Gsm7;
    d.messageClass = octet & 0x03;
  }
  // Reserved groups and message-waiting groups 1100/1101: default alphabet.
  return d;
}

uint8_t DataCodingScheme::encode(SmsAlphabet alphabet, int messageClass) {
  uint8_t octet = alphabet == SmsAlphabet::Data8 ? 0x04 : alphabet == SmsAlphabet::Ucs2 ? 0x08 : 0x00;
  if (messageClass >= 0 && messageClass <= 3) octet = static_cast<uint8_t>(octet | 0x10 | messageClass);
  return octet;
}

std::optional<ConcatenationInfo> UserData::concatenation() const {
  size_t i = 0;
  while (i + 2 <= header.size()) {
    const uint8_t iei = header[i];
    const size_t len = header[i + 1];
    if (i + 2 + len > header.size()) break;
    const uint8_t* v = header.data() + i + 2;
    if (iei == 0x00 && len == 3) return ConcatenationInfo{v[0], v[1], v[2]};
    if (iei == 0x08 && len == 4) return ConcatenationInfo{(v[0] << 8) | v[1], v[2], v[3]};
    i += 2 + len;
  }
  return std::nullopt;
}

std::u32string decodeUcs2(const std::vector<uint8_t>& octets) {
  std::u32string out;
  for (size_t i = 0; i + 1 < octets.size(); i += 2) {
    char32_t unit = static_cast<char32_t>((octets[i] << 8) | octets[i + 1]);
    if (unit >= 0xD800 && unit < 0xDC00 && i + 3 < octets.size()) {
      const char32_t low = static_cast<char32_t>((octets[i + 2] << 8) | octets[i + 3]);
      if (low >= 0xDC00 && low < 0xE000) {
        unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
        i += 2;
      }
    }
    out += unit;
  }
  return out;
}

std::vector<uint8_t> encodeUcs2(std::u32string_view text) {
  std::vector<uint8_t> out;
  auto unit = [&out](char32_t u) {
    out.push_back(static_cast<uint8_t>(u >> 8));
    out.push_back(static_cast<uint8_t>(u & 0xFF));
  };
  for (char32_t c : text) {
    if (c >= 0x10000) {
      unit(0xD800 + ((c - 0x10000) >> 10));
      unit(0xDC00 + ((c - 0x10000) & 0x3FF));
    } else {
      unit(c);
    }
  }
  return out;
}

// ---- encoders --------------------------------------------------------------
EncodedPdu encodeDeliver(const SmsDeliver& m) {
  std::vector<uint8_t> out;
  appendServiceCentre(out, m.serviceCentre);
  const size_t sca = out.size();
  uint8_t first = static_cast<uint8_t>(TpMessageType::Deliver);
  if (!m.moreMessagesWaiting) first |= kTpMms;
  if (m.statusReportIndication) first |= kTpSri;
  if (!m.userData.header.empty()) first |= kTpUdhi;
  if (m.replyPath) first |= kTpRp;
  out.push_back(first);
  appendAddress(out, m.originator);
  out.push_back(m.protocolId);
  out.push_back(DataCodingScheme::encode(m.dataCoding.alphabet, m.dataCoding.messageClass));
  appendTimestamp(out, m.serviceCentreTime);
  appendUserData(out, m.dataCoding.alphabet, m.userData);
  return finish(out, sca);
}

EncodedPdu encodeStatusReport(const SmsStatusReport& r) {
  std::vector<uint8_t> out;
  appendServiceCentre(out, r.serviceCentre);
  const size_t sca = out.size();
  out.push_back(static_cast<uint8_t>(TpMessageType::StatusReport) | kTpMms);
  out.push_back(static_cast<uint8_t>(r.messageReference));
  appendAddress(out, r.recipient);
  appendTimestamp(out, r.serviceCentreTime);
  appendTimestamp(out, r.dischargeTime);
  out.push_back(r.status);
  return finish(out, sca);
}

EncodedPdu encodeSubmit(const SmsSubmit& m) {
  std::vector<uint8_t> out;
  appendServiceCentre(out, m.serviceCentre);
  const size_t sca = out.size();
  uint8_t first = static_cast<uint8_t>(TpMessageType::Submit);
  if (m.rejectDuplicates) first |= kTpRd;
  first = static_cast<uint8_t>(first | ((m.validityFormat & 0x03) << 3));
  if (m.statusReportRequest) first |= kTpSrr;
  if (!m.userData.header.empty()) first |= kTpUdhi;
  if (m.replyPath) first |= kTpRp;
  out.push_back(first);
  out.push_back(static_cast<uint8_t>(m.messageReference));
  appendAddress(out, m.destination);
  out.push_back(m.protocolId);
  out.push_back(DataCodingScheme::encode(m.dataCoding.alphabet, m.dataCoding.messageClass));
  out.insert(out.end(), m.validity.begin(), m.validity.end());
  appendUserData(out, m.dataCoding.alphabet, m.userData);
  return finish(out, sca);
}

// ---- decoders --------------------------------------------------------------
DecodeResult<SmsSubmit> decodeSubmit(std::string_view hex, int declaredLength) {
  TpduStart start;
  if (auto e = openTpdu(hex, declaredLength, start)) return failure<SmsSubmit>(*e);
  PduCursor cursor(start.octets);
  cursor.skip(start.tpduOffset);
  SmsSubmit m;
  m.serviceCentre = start.serviceCentre;
  const uint8_t first = cursor.next();
  if ((first & 0x03) != static_cast<uint8_t>(TpMessageType::Submit)) return failure<SmsSubmit>(PduError::WrongType);
  m.rejectDuplicates = first & kTpRd;
  m.validityFormat = (first >> 3) & 0x03;
  m.statusReportRequest = first & kTpSrr;
  m.replyPath = first & kTpRp;
  m.messageReference = cursor.next();
  auto destination = readAddress(cursor);
  if (!destination) return failure<SmsSubmit>(PduError::BadAddress);
  m.destination = *destination;
  m.protocolId = cursor.next();
  m.dataCodingRaw = cursor.next();
  m.dataCoding = DataCodingScheme::decode(m.dataCodingRaw);
  switch (m.validityFormat) {
    case 2: m.validity = cursor.take(1); break;
    case 1:
    case 3: m.validity = cursor.take(7); break;
    default: break;
  }
  if (cursor.overrun()) return failure<SmsSubmit>(PduError::Truncated);
  if (auto e = readUserData(cursor, m.dataCoding, first & kTpUdhi, m.userData)) return failure<SmsSubmit>(*e);
  DecodeResult<SmsSubmit> r;
  r.message = std::move(m);
  return r;
}

DecodeResult<SmsDeliver> decodeDeliver(std::string_view hex, int declaredLength) {
  TpduStart start;
  if (auto e = openTpdu(hex, declaredLength, start)) return failure<SmsDeliver>(*e);
  PduCursor cursor(start.octets);
  cursor.skip(start.tpduOffset);
  SmsDeliver m;
  m.serviceCentre = start.serviceCentre;
  const uint8_t first = cursor.next();
  if ((first & 0x03) != static_cast<uint8_t>(TpMessageType::Deliver)) {
    return failure<SmsDeliver>(PduError::WrongType);
  }
  m.moreMessagesWaiting = !(first & kTpMms);
  m.statusReportIndication = first & kTpSri;
  m.replyPath = first & kTpRp;
  auto originator = readAddress(cursor);
  if (!originator) return failure<SmsDeliver>(PduError::BadAddress);
  m.originator = *originator;
  m.protocolId = cursor.next();
  m.dataCoding = DataCodingScheme::decode(cursor.next());
  m.serviceCentreTime = readTimestamp(cursor);
  if (cursor.overrun()) return failure<SmsDeliver>(PduError::Truncated);
  if (auto e = readUserData(cursor, m.dataCoding, first & kTpUdhi, m.userData)) return failure<SmsDeliver>(*e);
  DecodeResult<SmsDeliver> r;
  r.message = std::move(m);
  return r;
}

DecodeResult<SmsStatusReport> decodeStatusReport(std::string_view hex, int declaredLength) {
  TpduStart start;
  if (auto e = openTpdu(hex, declaredLength, start)) return failure<SmsStatusReport>(*e);
  PduCursor cursor(start.octets);
  cursor.skip(start.tpduOffset);
  SmsStatusReport r;
  r.serviceCentre = start.serviceCentre;
  const uint8_t first = cursor.next();
  if ((first & 0x03) != static_cast<uint8_t>(TpMessageType::StatusReport)) {
    return failure<SmsStatusReport>(PduError::WrongType);
  }
  r.messageReference = cursor.next();
  auto recipient = readAddress(cursor);
  if (!recipient) return failure<SmsStatusReport>(PduError::BadAddress);
  r.recipient = *recipient;
  r.serviceCentreTime = readTimestamp(cursor);
  r.dischargeTime = readTimestamp(cursor);
  r.status = cursor.next();
  if (cursor.overrun()) return failure<SmsStatusReport>(PduError::Truncated);
  DecodeResult<SmsStatusReport> result;
  result.message = r;
  return result;
}

std::optional<TpMessageType> messageTypeOf(std::string_view hex) {
  TpduStart start;
  if (openTpdu(hex, -1, start)) return std::nullopt;
  return static_cast<TpMessageType>(start.octets[start.tpduOffset] & 0x03);
}

int tpduLengthOf(std::string_view hex) {
  TpduStart start;
  if (openTpdu(hex, -1, start)) return -1;
  return static_cast<int>(start.octets.size() - start.tpduOffset);
}

// ---- long texts ------------------------------------------------------------
std::vector<EncodedPdu> buildDeliverParts(const DeliverRequest& request) {
  const std::u32string text = decodeUtf8(request.text);
  SmsAlphabet alphabet = request.alphabet.value_or(GsmAlphabet::encode(text) ? SmsAlphabet::Gsm7 : SmsAlphabet::Ucs2);
  if (alphabet == SmsAlphabet::Gsm7 && !GsmAlphabet::encode(text)) alphabet = SmsAlphabet::Ucs2;

  // Cost of one character in the part budget: septets, UTF-16 units, octets.
  auto cost = [alphabet](char32_t c) -> size_t {
    switch (alphabet) {
      case SmsAlphabet::Gsm7: return static_cast<size_t>(GsmAlphabet::septetsFor(c));
      case SmsAlphabet::Ucs2: return c >= 0x10000 ? 2 : 1;
      case SmsAlphabet::Data8: return 1;
    }
    return 1;
  };
  const size_t single = alphabet == SmsAlphabet::Gsm7 ? 160 : alphabet == SmsAlphabet::Ucs2 ? 70 : 140;
  // An 8-bit-reference concatenation element takes 6 octets: 7 septets.
  const size_t perPart = alphabet == SmsAlphabet::Gsm7 ? 153 : alphabet == SmsAlphabet::Ucs2 ? 67 : 134;

  size_t total = 0;
  for (char32_t c : text) total += cost(c);
  std::vector<std::u32string> pieces;
  if (total <= single) {
    pieces.push_back(text);
  } else {
    std::u32string piece;
    size_t used = 0;
    for (char32_t c : text) {
      // An escape pair or a surrogate pair never straddles two parts.
      if (used + cost(c) > perPart) {
        pieces.push_back(piece);
        piece.clear();
        used = 0;
      }
      piece += c;
      used += cost(c);
    }
    pieces.push_back(piece);
  }
  if (pieces.size() > 255) pieces.resize(255);

  std::vector<EncodedPdu> out;
  for (size_t i = 0; i < pieces.size(); ++i) {
    SmsDeliver m;
    m.serviceCentre = SmsAddress::fromText(request.serviceCentre);
    m.originator = SmsAddress::fromText(request.originator);
    m.statusReportIndication = request.statusReportIndication;
    m.dataCoding.alphabet = alphabet;
    m.dataCoding.messageClass = request.messageClass;
    m.serviceCentreTime = request.time;
    if (alphabet == SmsAlphabet::Data8) {
      for (char32_t c : pieces[i]) m.userData.data.push_back(static_cast<uint8_t>(c));
    } else {
      m.userData.text = pieces[i];
    }
    if (pieces.size() > 1) {
      m.userData.header = {0x00, 0x03, static_cast<uint8_t>(request.concatenationReference & 0xFF),
                           static_cast<uint8_t>(pieces.size()), static_cast<uint8_t>(i + 1)};
    }
    out.push_back(encodeDeliver(m));
  }
  return out;
}

PduSummary summarizePdu(std::string_view hex) {
  PduSummary s;
  const auto type = messageTypeOf(hex);
  auto fillText = [&s](const UserData& ud, const DataCodingScheme& dcs) {
    s.text = dcs.alphabet == SmsAlphabet::Data8 ? toHex(ud.data) : encodeUtf8(ud.text);
    s.concatenation = ud.concatenation();
    s.messageClass = dcs.messageClass;
  };
  if (type == TpMessageType::Deliver) {
    if (auto d = decodeDeliver(hex)) {
      s.type = "deliver";
      s.number = d.message->originator.number;
      s.time = d.message->serviceCentreTime.toText();
      fillText(d.message->userData, d.message->dataCoding);
      return s;
    }
  } else if (type == TpMessageType::Submit) {
    if (auto m = decodeSubmit(hex)) {
      s.type = "submit";
      s.number = m.message->destination.number;
      fillText(m.message->userData, m.message->dataCoding);
      return s;
    }
  } else if (type == TpMessageType::StatusReport) {
    if (auto r = decodeStatusReport(hex)) {
      s.type = "status-report";
      s.number = r.message->recipient.number;
      s.time = r.message->dischargeTime.toText();
      s.text = "status " + std::to_string(r.message->status);
      return s;
    }
  }
  s.type = "invalid";
  return s;
}

}  // namespace fonexa::sim
