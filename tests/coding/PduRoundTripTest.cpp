// Whatever the caller sends comes back out of the decoder: random Latin-1
// texts through alphabet choice, splitting, encoding and decoding.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "codec/CMxGsmCoding.h"

namespace fonexa {
namespace {

// What a 7-bit text reads as after the trip: the bytes whose code the
// decoder shows as "_" (NUL lands on a Greek capital, 0x1B on an escape
// pair without extension character).
std::string AsReceived(const std::string& text, int alphabet) {
  if (alphabet != 0) return text;
  std::string out = text;
  for (char& c : out) {
    if (c == '\0' || c == '\x1B') c = '_';
  }
  return out;
}

std::string RandomText(std::mt19937& random) {
  // Mostly default-alphabet texts with brackets, now and then any byte, so
  // that both alphabets and every split rule get their share.
  static const std::string common = "abcdefghijklmnopqrstuvwxyz ABC.,!?0123456789@\xA3\xE9\xF6\n[]{}|~^\\";
  std::uniform_int_distribution<int> length(0, 420);
  std::uniform_int_distribution<int> pick(0, static_cast<int>(common.size()) - 1);
  std::uniform_int_distribution<int> anyByte(0, 255);
  std::uniform_int_distribution<int> percent(0, 99);
  const bool wide = percent(random) < 30;
  std::string text(static_cast<size_t>(length(random)), ' ');
  for (char& c : text) {
    c = wide && percent(random) < 10 ? static_cast<char>(anyByte(random)) : common[static_cast<size_t>(pick(random))];
  }
  return text;
}

TEST(PduRoundTripTest, RandomTextsComeBackPartByPart) {
  std::mt19937 random(20240309);
  for (int round = 0; round < 3000; ++round) {
    const std::string text = RandomText(random);
    const int alphabet = CMxGsmCoding::SelectAlphabet(text);
    const auto parts = CMxGsmCoding::SplitIntoParts(text, alphabet);
    ASSERT_EQ(static_cast<int>(parts.size()), CMxGsmCoding::GetPartCount(text, alphabet));
    std::string received;
    int reference = -1;
    for (size_t i = 0; i < parts.size(); ++i) {
      const int index = static_cast<int>(i) + 1;
      const int count = static_cast<int>(parts.size());
      std::string pdu;
      const int length = CMxGsmCoding::ConvertToPdu(pdu, "+420777123456", parts[i], alphabet, index, count, 0);
      // One TPDU: first octet, TP-MR, 8 octets of TP-DA, TP-PID, TP-DCS,
      // TP-VP, TP-UDL and at most 140 octets of user data.
      ASSERT_LE(length, 14 + 140) << text;
      ASSERT_EQ(length, static_cast<int>(pdu.size()) / 2 - 1);
      if (count > 1) {
        const int partReference = CMxGsmCoding::ReadHexOctet(pdu, 36, 0);
        if (reference < 0) reference = partReference;
        ASSERT_EQ(partReference, reference) << "every part carries the reference of its message";
      }
      SmsEntry entry;
      ASSERT_EQ(CMxGsmCoding::ConvertFromPdu(pdu, length, entry), 1);
      ASSERT_EQ(entry.PhoneNumber, "+420777123456");
      ASSERT_EQ(entry.MessageText, AsReceived(parts[i], alphabet)) << "part " << index << " of " << count;
      received += entry.MessageText;
    }
    ASSERT_EQ(received, AsReceived(text, alphabet));
  }
}

}  // namespace
}  // namespace fonexa
