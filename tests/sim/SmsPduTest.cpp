// The modem's GSM 03.40 codec against PDUs that python3-gammu built, against
// libgammu decoding what the modem builds, and against malformed input.
#include <gtest/gtest.h>

#include <map>
#include <random>

#include "PduVectors.h"
#include "sim/codec/HexText.h"
#include "sim/codec/SmsPdu.h"
#include "sim/codec/UnicodeText.h"

#ifdef FONEXA_HAVE_LIBGAMMU
#include <gammu.h>
#endif

namespace fonexa::sim {
namespace {

using test::loadPduVectors;
using test::PduVector;

std::string alphabetName(SmsAlphabet a) {
  return a == SmsAlphabet::Gsm7 ? "gsm7" : a == SmsAlphabet::Ucs2 ? "ucs2" : "8bit";
}

std::string textOf(const UserData& ud, SmsAlphabet a) {
  return a == SmsAlphabet::Data8 ? std::string(ud.data.begin(), ud.data.end()) : encodeUtf8(ud.text);
}

void expectConcatenation(const PduVector& v, const UserData& ud) {
  const auto c = ud.concatenation();
  if (v.concatReference < 0) {
    EXPECT_FALSE(c.has_value()) << v.name;
    return;
  }
  ASSERT_TRUE(c.has_value()) << v.name;
  EXPECT_EQ(c->reference, v.concatReference) << v.name;
  EXPECT_EQ(c->total, v.concatTotal) << v.name;
  EXPECT_EQ(c->sequence, v.concatSequence) << v.name;
}

TEST(SubmitDecoding, ReadsEverySubmitThatPythonGammuBuilt) {
  const auto vectors = loadPduVectors("submit_vectors.txt");
  ASSERT_GE(vectors.size(), 15u);
  for (const auto& v : vectors) {
    auto r = decodeSubmit(v.pdu, v.tpduLength);
    ASSERT_TRUE(r) << v.name;
    const SmsSubmit& m = *r.message;
    EXPECT_EQ(m.serviceCentre.number, "+491710760000") << v.name;
    EXPECT_EQ(m.destination.number, v.number) << v.name;
    EXPECT_EQ(alphabetName(m.dataCoding.alphabet), v.alphabet) << v.name;
    EXPECT_EQ(m.dataCoding.messageClass, v.messageClass) << v.name;
    EXPECT_EQ(m.statusReportRequest, v.statusReport) << v.name;
    EXPECT_EQ(textOf(m.userData, m.dataCoding.alphabet), v.text) << v.name;
    expectConcatenation(v, m.userData);
    EXPECT_EQ(tpduLengthOf(v.pdu), v.tpduLength) << v.name;
  }
}

TEST(SubmitDecoding, ConcatenatedPartsJoinToOneText) {
  std::map<std::string, std::string> joined;
  for (const auto& v : loadPduVectors("submit_vectors.txt")) {
    if (v.concatReference < 0) continue;
    auto r = decodeSubmit(v.pdu);
    ASSERT_TRUE(r) << v.name;
    joined[v.name.substr(0, v.name.find(", part"))] += encodeUtf8(r.message->userData.text);
  }
  EXPECT_EQ(joined["7-bit two parts with fill bits"],
            std::string("The quick brown fox jumps over the lazy dog. The quick brown fox jumps over the lazy dog. "
                        "The quick brown fox jumps over the lazy dog. The quick brown fox jumps over the lazy dog. "
                        "The quick brown fox jumps over the lazy dog. ")
                .substr(0, 200));
  EXPECT_EQ(joined["7-bit three parts, escape at a part edge"], std::string(152, 'x') + "{" + std::string(160, 'y'));
}

// A terminal that pads its 6-octet header with a whole zero octet instead of
// one fill bit puts its text one septet late; a receiving phone then shows
// that extra septet as "@". The modem reads such a PDU the standard way.
TEST(SubmitDecoding, TextAlignedToAnOctetBehindTheHeaderShowsTheExtraSeptet) {
  const std::string pdu = "005100" "05812143F5" "0000AA" "0B" "05000301020100" "61F118";
  auto r = decodeSubmit(pdu, static_cast<int>(pdu.size() / 2 - 1));
  ASSERT_TRUE(r);
  EXPECT_EQ(encodeUtf8(r.message->userData.text), "@abc");
  ASSERT_TRUE(r.message->userData.concatenation());
  EXPECT_EQ(r.message->userData.concatenation()->total, 2);
}

TEST(SubmitDecoding, RejectsMalformedPdusWithTheReason) {
  const std::string valid = "079194710167000011000A9194511132540000000BC8329BFD06DDDF723619";
  struct Case {
    const char* name;
    std::string pdu;
    int length;
    PduError error;
  };
  const std::vector<Case> cases = {
      {"odd number of digits", valid.substr(1), -1, PduError::NotHex},
      {"not hexadecimal", "0011000A91945111325400G0000BC8329BFD06DDDF723619", -1, PduError::NotHex},
      {"empty", "", -1, PduError::NotHex},
      {"length says one octet more", valid, 24, PduError::LengthMismatch},
      {"length says one octet less", valid, 22, PduError::LengthMismatch},
      {"user data shorter than TP-UDL", valid.substr(0, valid.size() - 2), -1, PduError::Truncated},
      {"octets behind the user data", valid + "00", -1, PduError::LengthMismatch},
      {"an SMS-DELIVER where a SUBMIT belongs", "0791947101670000000A9194511132540000425071315403000BC8329BFD06DDDF723619",
       -1, PduError::WrongType},
      {"destination of 30 digits", "0011001E91" + std::string(30, '1') + "0000000161", -1, PduError::BadAddress},
      {"service-centre address of 16 octets", "10" + std::string(32, '1') + "11000A9194511132540000000161", -1,
       PduError::BadAddress},
      {"header longer than the user data", "0051000A919451113254000000060A0003010201", -1, PduError::Truncated},
      {"cut inside the address", "0011000A91945111", -1, PduError::Truncated},
  };
  for (const auto& c : cases) {
    auto r = decodeSubmit(c.pdu, c.length);
    ASSERT_FALSE(r) << c.name;
    EXPECT_EQ(r.error, c.error) << c.name;
  }
}

TEST(SubmitDecoding, EveryTruncationOfAValidPduIsAnErrorAndNeverACrash) {
  for (const auto& v : loadPduVectors("submit_vectors.txt")) {
    for (size_t cut = 0; cut < v.pdu.size(); cut += 2) {
      EXPECT_FALSE(decodeSubmit(v.pdu.substr(0, cut))) << v.name << " cut at " << cut;
    }
  }
}

TEST(SubmitDecoding, RandomInputGivesAValueOrAnError) {
  std::mt19937 random(20240517);
  std::uniform_int_distribution<int> length(0, 200);
  std::uniform_int_distribution<int> octet(0, 255);
  int decoded = 0;
  for (int i = 0; i < 3000; ++i) {
    std::vector<uint8_t> bytes(static_cast<size_t>(length(random)));
    for (auto& b : bytes) b = static_cast<uint8_t>(octet(random));
    if (!bytes.empty() && i % 2) bytes[0] = 0;                 // no service-centre address
    if (bytes.size() > 1 && i % 3) bytes[1] = (bytes[1] & 0xFC) | 1;  // SMS-SUBMIT
    const auto r = decodeSubmit(toHex(bytes));
    if (r) ++decoded;
    summarizePdu(toHex(bytes));
  }
  // Most random octets are not a consistent PDU; what does decode is by chance.
  EXPECT_LT(decoded, 300);
}

TEST(DeliverDecoding, ReadsEveryDeliverThatPythonGammuBuilt) {
  const auto vectors = loadPduVectors("deliver_vectors.txt");
  ASSERT_GE(vectors.size(), 15u);
  for (const auto& v : vectors) {
    auto r = decodeDeliver(v.pdu, v.tpduLength);
    ASSERT_TRUE(r) << v.name;
    const SmsDeliver& m = *r.message;
    EXPECT_EQ(m.originator.number, v.number) << v.name;
    EXPECT_EQ(alphabetName(m.dataCoding.alphabet), v.alphabet) << v.name;
    EXPECT_EQ(m.dataCoding.messageClass, v.messageClass) << v.name;
    EXPECT_EQ(textOf(m.userData, m.dataCoding.alphabet), v.text) << v.name;
    EXPECT_EQ(m.serviceCentreTime.toText().substr(0, 17), "24/05/17,13:45:30") << v.name;
    expectConcatenation(v, m.userData);
  }
}

TEST(StatusReport, EncodesTheFieldsItDecodesAgain) {
  SmsStatusReport r;
  r.serviceCentre = SmsAddress::fromText("+491710760000");
  r.messageReference = 42;
  r.recipient = SmsAddress::fromText("+4915112345");
  r.serviceCentreTime = {2024, 5, 17, 13, 45, 30, 8};
  r.dischargeTime = {2024, 5, 17, 13, 46, 1, -4};
  r.status = 0x40;
  const EncodedPdu pdu = encodeStatusReport(r);
  auto back = decodeStatusReport(pdu.hex, pdu.tpduLength);
  ASSERT_TRUE(back);
  EXPECT_EQ(back.message->messageReference, 42);
  EXPECT_EQ(back.message->recipient.number, "+4915112345");
  EXPECT_EQ(back.message->dischargeTime.toText(), "24/05/17,13:46:01-04");
  EXPECT_EQ(back.message->serviceCentreTime.toText(), "24/05/17,13:45:30+08");
  EXPECT_EQ(back.message->status, 0x40);
  EXPECT_EQ(messageTypeOf(pdu.hex), TpMessageType::StatusReport);
}

TEST(DeliverBuilding, SplitsLongTextsWithoutCuttingACharacterInTwo) {
  struct Case {
    const char* name;
    std::string text;
    std::vector<size_t> partLengths;  // characters per part
  };
  const std::vector<Case> cases = {
      {"160 default-alphabet characters fit one message", std::string(160, 'a'), {160}},
      {"161 need two parts of 153 and 8", std::string(161, 'a'), {153, 8}},
      {"an escape pair that would straddle parts moves on", std::string(152, 'a') + "[" + std::string(8, 'b'), {152, 9}},
  };
  for (const auto& c : cases) {
    DeliverRequest request;
    request.originator = "+4917012345";
    request.text = c.text;
    const auto parts = buildDeliverParts(request);
    ASSERT_EQ(parts.size(), c.partLengths.size()) << c.name;
    std::string joined;
    for (size_t i = 0; i < parts.size(); ++i) {
      auto d = decodeDeliver(parts[i].hex, parts[i].tpduLength);
      ASSERT_TRUE(d) << c.name;
      EXPECT_EQ(d.message->userData.text.size(), c.partLengths[i]) << c.name << " part " << i;
      joined += encodeUtf8(d.message->userData.text);
    }
    EXPECT_EQ(joined, c.text) << c.name;
  }
  DeliverRequest ucs2;
  ucs2.originator = "+4917012345";
  ucs2.text = "\xD0\x96" + std::string(65, 'b') + "\xF0\x9F\x98\x80" + "cccc";  // Zhe, 65 b, an emoji, cccc
  const auto parts = buildDeliverParts(ucs2);
  ASSERT_EQ(parts.size(), 2u);
  auto first = decodeDeliver(parts[0].hex);
  ASSERT_TRUE(first);
  EXPECT_EQ(first.message->dataCoding.alphabet, SmsAlphabet::Ucs2);
  EXPECT_EQ(first.message->userData.text.size(), 66u) << "the surrogate pair must not be split";
}

#ifdef FONEXA_HAVE_LIBGAMMU
std::string gammuText(const unsigned char* unicode) {
  std::vector<uint8_t> octets;
  for (size_t i = 0; unicode[i] || unicode[i + 1]; i += 2) {
    octets.push_back(unicode[i]);
    octets.push_back(unicode[i + 1]);
  }
  return encodeUtf8(decodeUcs2(octets));
}

struct GammuView {
  std::string number;
  std::string text;
  GSM_Coding_Type coding;
  int messageClass;
  int part = -1;
  int total = 0;
};

GammuView decodeWithGammu(const EncodedPdu& pdu) {
  auto octets = fromHex(pdu.hex);
  EXPECT_TRUE(octets);
  GSM_SMSMessage sms;
  GSM_SetDefaultSMSData(&sms);
  size_t end = 0;
  const GSM_Error e = GSM_DecodePDUFrame(GSM_GetGlobalDebug(), &sms, octets->data(), octets->size(), &end, TRUE);
  EXPECT_EQ(e, ERR_NONE) << pdu.hex;
  EXPECT_EQ(end, octets->size()) << pdu.hex;
  GammuView v;
  v.number = gammuText(sms.Number);
  v.coding = sms.Coding;
  v.messageClass = sms.Class;
  if (sms.Coding == SMS_Coding_8bit) {
    v.text.assign(reinterpret_cast<const char*>(sms.Text), static_cast<size_t>(sms.Length));
  } else {
    v.text = gammuText(sms.Text);
  }
  if (sms.UDH.Type == UDH_ConcatenatedMessages) {
    v.part = sms.UDH.PartNumber;
    v.total = sms.UDH.AllParts;
  }
  return v;
}
#endif

TEST(DeliverBuilding, LibgammuDecodesWhatTheModemBuilds) {
#ifndef FONEXA_HAVE_LIBGAMMU
  FAIL() << "libgammu (libgammu-dev) is needed as the independent decoder";
#else
  struct Case {
    const char* name;
    std::string originator;
    std::string text;
    int messageClass;
    GSM_Coding_Type coding;
    size_t parts;
  };
  const std::vector<Case> cases = {
      {"plain text", "+4917012345", "Hello from the network", -1, SMS_Coding_Default_No_Compression, 1},
      {"extension characters", "+4917012345", "[brackets] {braces} ~tilde~ |bar| \\ ^ \xE2\x82\xAC", -1,
       SMS_Coding_Default_No_Compression, 1},
      {"national originator", "01701234567", "national", -1, SMS_Coding_Default_No_Compression, 1},
      {"alphanumeric originator", "MyBank", "Your code is 1234", -1, SMS_Coding_Default_No_Compression, 1},
      {"flash message", "+4917012345", "Flash", 0, SMS_Coding_Default_No_Compression, 1},
      {"unicode with an emoji", "+4917012345", "\xD0\x9F\xD1\x80\xD0\xB8 \xF0\x9F\x98\x80", 1,
       SMS_Coding_Unicode_No_Compression, 1},
      {"long 7-bit text", "+4917012345", std::string(400, 'z') + "{end}", -1, SMS_Coding_Default_No_Compression, 3},
      {"long unicode text", "+4917012345", std::string(100, 'a') + "\xC3\xA1", -1, SMS_Coding_Unicode_No_Compression,
       2},
  };
  for (const auto& c : cases) {
    DeliverRequest request;
    request.originator = c.originator;
    request.text = c.text;
    request.messageClass = c.messageClass;
    request.serviceCentre = "+491710760000";
    request.concatenationReference = 77;
    const auto parts = buildDeliverParts(request);
    ASSERT_EQ(parts.size(), c.parts) << c.name;
    std::string joined;
    for (size_t i = 0; i < parts.size(); ++i) {
      const GammuView v = decodeWithGammu(parts[i]);
      EXPECT_EQ(v.number, c.originator) << c.name;
      EXPECT_EQ(v.coding, c.coding) << c.name;
      EXPECT_EQ(v.messageClass, c.messageClass) << c.name;
      if (parts.size() > 1) {
        EXPECT_EQ(v.part, static_cast<int>(i + 1)) << c.name;
        EXPECT_EQ(v.total, static_cast<int>(parts.size())) << c.name;
      }
      joined += v.text;
    }
    EXPECT_EQ(joined, c.text) << c.name;
  }
#endif
}

}  // namespace
}  // namespace fonexa::sim
