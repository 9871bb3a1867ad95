#include "sim/state/SmsPresentation.h"

#include <algorithm>
#include <array>

#include "sim/codec/CharacterSet.h"
#include "sim/codec/GsmAlphabet.h"
#include "sim/codec/HexText.h"
#include "sim/codec/UnicodeText.h"

namespace fonexa::sim {
namespace {

constexpr std::array<const char*, 5> kStatNames = {"REC UNREAD", "REC READ", "STO UNSENT", "STO SENT", "ALL"};

std::string q(const std::string& s) { return "\"" + s + "\""; }

int typeOf(const SmsAddress& a) { return a.typeOfAddress; }

// The message body as the terminal's character set shows it; 8-bit data in hex.
std::string bodyText(const UserData& ud, const DataCodingScheme& dcs, const TerminalSettings& s) {
  if (dcs.alphabet == SmsAlphabet::Data8) return toHex(ud.data);
  return CharacterSet::encode(encodeUtf8(ud.text), s.charset);
}

// <length> in text mode counts the characters of the body (octets for 8-bit
// data), not the septets the extension characters take.
int bodyLength(const UserData& ud, const DataCodingScheme& dcs) {
  if (dcs.alphabet == SmsAlphabet::Data8) return static_cast<int>(ud.data.size());
  return static_cast<int>(ud.text.size());
}

int dcsOctet(const DataCodingScheme& d) { return DataCodingScheme::encode(d.alphabet, d.messageClass); }

std::string deliverHeader(const SmsDeliver& m, const TerminalSettings& s) {
  std::string h = q(m.originator.number) + ",," + q(m.serviceCentreTime.toText());
  if (s.csdh) {
    const int fo = (m.userData.header.empty() ? 0 : 0x40) | (m.moreMessagesWaiting ? 0 : 0x04);
    h += "," + std::to_string(typeOf(m.originator)) + "," + std::to_string(fo) + "," + std::to_string(m.protocolId) +
         "," + std::to_string(dcsOctet(m.dataCoding)) + "," + q(m.serviceCentre.number) + "," +
         std::to_string(m.serviceCentre.empty() ? 129 : typeOf(m.serviceCentre)) + "," +
         std::to_string(bodyLength(m.userData, m.dataCoding));
  }
  return h;
}

std::string statusReportFields(const SmsStatusReport& r) {
  return std::to_string(6) + "," + std::to_string(r.messageReference) + "," + q(r.recipient.number) + "," +
         std::to_string(typeOf(r.recipient)) + "," + q(r.serviceCentreTime.toText()) + "," +
         q(r.dischargeTime.toText()) + "," + std::to_string(r.status);
}

}  // namespace

std::string statName(int stat) { return kStatNames[static_cast<size_t>(std::clamp(stat, 0, 4))]; }

std::optional<int> statFromName(const std::string& name) {
  for (size_t i = 0; i < kStatNames.size(); ++i) {
    if (name == kStatNames[i]) return static_cast<int>(i);
  }
  return std::nullopt;
}

std::vector<std::string> listingLines(int index, const StoredMessage& m, const TerminalSettings& s) {
  const std::string prefix = "+CMGL: " + std::to_string(index) + ",";
  if (s.cmgf == 0) {
    return {prefix + std::to_string(static_cast<int>(m.stat)) + ",," + std::to_string(tpduLengthOf(m.pdu)), m.pdu};
  }
  const std::string stat = q(statName(static_cast<int>(m.stat)));
  if (auto d = decodeDeliver(m.pdu)) {
    std::string h = prefix + stat + "," + q(d.message->originator.number) + ",," + q(d.message->serviceCentreTime.toText());
    if (s.csdh) {
      h += "," + std::to_string(typeOf(d.message->originator)) + "," +
           std::to_string(bodyLength(d.message->userData, d.message->dataCoding));
    }
    return {h, bodyText(d.message->userData, d.message->dataCoding, s)};
  }
  if (auto m2 = decodeSubmit(m.pdu)) {
    std::string h = prefix + stat + "," + q(m2.message->destination.number) + ",,";
    if (s.csdh) {
      h += "," + std::to_string(typeOf(m2.message->destination)) + "," +
           std::to_string(bodyLength(m2.message->userData, m2.message->dataCoding));
    }
    return {h, bodyText(m2.message->userData, m2.message->dataCoding, s)};
  }
  if (auto r = decodeStatusReport(m.pdu)) return {prefix + stat + "," + statusReportFields(*r.message)};
  return {prefix + stat + ",\"\",,", ""};
}

std::vector<std::string> readingLines(const StoredMessage& m, const TerminalSettings& s) {
  if (s.cmgf == 0) return {"+CMGR: " + std::to_string(static_cast<int>(m.stat)) + ",," + std::to_string(tpduLengthOf(m.pdu)), m.pdu};
  const std::string stat = q(statName(static_cast<int>(m.stat)));
  if (auto d = decodeDeliver(m.pdu)) {
    return {"+CMGR: " + stat + "," + deliverHeader(*d.message, s), bodyText(d.message->userData, d.message->dataCoding, s)};
  }
  if (auto sub = decodeSubmit(m.pdu)) {
    const SmsSubmit& x = *sub.message;
    std::string h = "+CMGR: " + stat + "," + q(x.destination.number) + ",";
    if (s.csdh) {
      const int vp = x.validityFormat == 2 && !x.validity.empty() ? x.validity[0] : -1;
      h += "," + std::to_string(typeOf(x.destination)) + "," + std::to_string(0x01 | (x.validityFormat << 3)) + "," +
           std::to_string(x.protocolId) + "," + std::to_string(dcsOctet(x.dataCoding)) + "," +
           (vp >= 0 ? std::to_string(vp) : "") + "," + q(x.serviceCentre.number) + "," +
           std::to_string(x.serviceCentre.empty() ? 129 : typeOf(x.serviceCentre)) + "," +
           std::to_string(bodyLength(x.userData, x.dataCoding));
    }
    return {h, bodyText(x.userData, x.dataCoding, s)};
  }
  if (auto r = decodeStatusReport(m.pdu)) return {"+CMGR: " + stat + "," + statusReportFields(*r.message)};
  return {"+CMGR: " + stat};
}

std::string directDelivery(const EncodedPdu& pdu, const TerminalSettings& s) {
  if (s.cmgf == 0) return "+CMT: ," + std::to_string(pdu.tpduLength) + "\r\n" + pdu.hex;
  auto d = decodeDeliver(pdu.hex);
  if (!d) return "+CMT: ," + std::to_string(pdu.tpduLength) + "\r\n" + pdu.hex;
  return "+CMT: " + deliverHeader(*d.message, s) + "\r\n" + bodyText(d.message->userData, d.message->dataCoding, s);
}

std::string statusReportDelivery(const EncodedPdu& pdu, const TerminalSettings& s) {
  auto r = decodeStatusReport(pdu.hex);
  if (s.cmgf == 0 || !r) return "+CDS: " + std::to_string(pdu.tpduLength) + "\r\n" + pdu.hex;
  return "+CDS: " + statusReportFields(*r.message);
}

std::optional<EncodedPdu> pduFromTypedText(const std::string& text, const TypedMessage& message,
                                           const TerminalSettings& s, Outcome& error) {
  error = Outcome::cms(CmsError::InvalidTextParameter);
  const DataCodingScheme dcs = DataCodingScheme::decode(static_cast<uint8_t>(s.csmp.dataCoding));
  UserData ud;
  if (dcs.alphabet == SmsAlphabet::Data8) {
    auto octets = fromHex(text);
    if (!octets || octets->size() > 140) return std::nullopt;
    ud.data = *octets;
  } else {
    auto utf8 = CharacterSet::decode(text, s.charset);
    if (!utf8) return std::nullopt;
    ud.text = decodeUtf8(*utf8);
    if (dcs.alphabet == SmsAlphabet::Gsm7) {
      // Characters the default alphabet lacks arrive as "?", as on phones.
      for (char32_t& c : ud.text) {
        if (GsmAlphabet::septetsFor(c) == 0) c = U'?';
      }
      if (GsmAlphabet::encode(ud.text)->size() > 160) return std::nullopt;
    } else if (encodeUcs2(ud.text).size() > 140) {
      return std::nullopt;
    }
  }
  SmsAddress address;
  address.number = message.number;
  address.typeOfAddress = static_cast<uint8_t>(message.typeOfAddress);
  if (message.typeOfAddress == 145 && !address.number.empty() && address.number[0] != '+') address.number.insert(0, "+");
  const bool received = message.stat == MessageStat::ReceivedUnread || message.stat == MessageStat::ReceivedRead;
  if (received) {
    SmsDeliver d;
    d.serviceCentre = SmsAddress::fromText(message.serviceCentre);
    d.originator = address;
    d.protocolId = static_cast<uint8_t>(s.csmp.protocolId);
    d.dataCoding = dcs;
    d.serviceCentreTime = SmsTimestamp::now();
    d.userData = ud;
    return encodeDeliver(d);
  }
  SmsSubmit m;
  m.destination = address;
  m.protocolId = static_cast<uint8_t>(s.csmp.protocolId);
  m.dataCoding = dcs;
  // Text mode gives the validity as one relative octet; the other formats
  // would need a time the terminal never typed.
  m.validityFormat = ((s.csmp.firstOctet >> 3) & 0x03) == 0 ? 0 : 2;
  if (m.validityFormat == 2) m.validity = {static_cast<uint8_t>(s.csmp.validity)};
  m.statusReportRequest = (s.csmp.firstOctet & 0x20) != 0;
  m.rejectDuplicates = (s.csmp.firstOctet & 0x04) != 0;
  m.replyPath = (s.csmp.firstOctet & 0x80) != 0;
  m.userData = ud;
  return encodeSubmit(m);
}

}  // namespace fonexa::sim
