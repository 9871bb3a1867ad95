// The PDUs we send, decoded by gammu: another implementation must read the
// text that was sent, with the concatenation header it expects. Needs
// python3-gammu; without it the test fails rather than passes quietly.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "codec/CMxGsmCoding.h"

namespace fonexa {
namespace {

struct GammuView {
  std::string text;  // Latin-1
  int messageClass = -2;
  std::string udhType;
  int reference = -1;
  int partNumber = 0;
  int allParts = 0;
  std::string number;
  std::string coding;
};

std::string Utf8HexToLatin1(const std::string& hex) {
  std::string bytes;
  for (size_t i = 0; i + 1 < hex.size(); i += 2) bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
  std::string out;
  for (size_t i = 0; i < bytes.size(); ++i) {
    const auto c = static_cast<unsigned char>(bytes[i]);
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if ((c & 0xE0) == 0xC0 && i + 1 < bytes.size()) {
      const unsigned code = (c & 0x1Fu) << 6 | (static_cast<unsigned char>(bytes[++i]) & 0x3Fu);
      out += code <= 0xFF ? static_cast<char>(code) : '?';
    } else {
      out += '?';  // beyond Latin-1: what we sent cannot contain it
      while (i + 1 < bytes.size() && (static_cast<unsigned char>(bytes[i + 1]) & 0xC0) == 0x80) ++i;
    }
  }
  return out;
}

// Runs gammu's decoder over the PDUs; fails the test when it cannot.
std::vector<GammuView> DecodeWithGammu(const std::vector<std::string>& pdus) {
  char path[] = "/tmp/fonexa-gammu-XXXXXX";
  const int fd = mkstemp(path);
  EXPECT_GE(fd, 0);
  if (fd < 0) return {};
  close(fd);
  {
    std::ofstream file(path);
    for (const auto& pdu : pdus) file << pdu << "\n";
  }
  const std::string command =
      std::string(GAMMU_PYTHON) + " " + GAMMU_DECODER + " " + path + " 2>&1";
  std::vector<GammuView> views;
  std::string output;
  FILE* pipe = popen(command.c_str(), "r");
  EXPECT_NE(pipe, nullptr) << command;
  if (pipe) {
    char buffer[4096];
    while (fgets(buffer, sizeof buffer, pipe)) output += buffer;
    const int status = pclose(pipe);
    EXPECT_EQ(status, 0) << "gammu could not decode (is python3-gammu installed?):\n" << output;
  }
  std::remove(path);
  std::istringstream lines(output);
  std::string line;
  while (std::getline(lines, line)) {
    std::vector<std::string> f;
    std::istringstream fields(line);
    std::string field;
    while (std::getline(fields, field, '\t')) f.push_back(field);
    if (f.size() != 8) continue;
    GammuView v;
    v.text = Utf8HexToLatin1(f[0]);
    v.messageClass = std::atoi(f[1].c_str());
    v.udhType = f[2];
    v.reference = std::atoi(f[3].c_str());
    v.partNumber = std::atoi(f[4].c_str());
    v.allParts = std::atoi(f[5].c_str());
    v.number = f[6];
    v.coding = f[7];
    views.push_back(v);
  }
  EXPECT_EQ(views.size(), pdus.size()) << output;
  return views;
}

struct Sent {
  std::vector<std::string> pdus;
  std::vector<std::string> parts;
  int alphabet = 0;
};

Sent Send(const std::string& text, int flash = 0) {
  Sent sent;
  sent.alphabet = CMxGsmCoding::SelectAlphabet(text);
  sent.parts = CMxGsmCoding::SplitIntoParts(text, sent.alphabet);
  for (size_t i = 0; i < sent.parts.size(); ++i) {
    std::string pdu;
    CMxGsmCoding::ConvertToPdu(pdu, "+420777123456", sent.parts[i], sent.alphabet, static_cast<int>(i) + 1,
                               static_cast<int>(sent.parts.size()), flash);
    sent.pdus.push_back(pdu);
  }
  return sent;
}

void ExpectGammuReads(const Sent& sent, const std::string& text) {
  const auto views = DecodeWithGammu(sent.pdus);
  if (views.size() != sent.pdus.size()) return;
  std::string joined;
  for (size_t i = 0; i < views.size(); ++i) {
    const GammuView& v = views[i];
    EXPECT_EQ(v.number, "+420777123456");
    EXPECT_EQ(v.text, sent.parts[i]) << "part " << i + 1;
    if (views.size() > 1) {
      EXPECT_EQ(v.udhType, "ConcatenatedMessages");
      EXPECT_EQ(v.partNumber, static_cast<int>(i) + 1);
      EXPECT_EQ(v.allParts, static_cast<int>(views.size()));
      EXPECT_EQ(v.reference, views[0].reference) << "one reference for every part";
    } else {
      EXPECT_EQ(v.udhType, "NoUDH");
    }
    joined += v.text;
  }
  EXPECT_EQ(joined, text);
}

TEST(GammuInteropTest, ShortSevenBitText) {
  const Sent sent = Send("Hello, world! @ 5\xA3 caf\xE9");
  EXPECT_EQ(sent.alphabet, 0);
  ExpectGammuReads(sent, "Hello, world! @ 5\xA3 caf\xE9");
}

TEST(GammuInteropTest, LongSevenBitTextHasNoStrayCharacterAtAnyPartStart) {
  std::string text;
  for (int i = 0; text.size() < 420; ++i) text += "Part of a long message, number " + std::to_string(i) + ". ";
  const Sent sent = Send(text);
  ASSERT_EQ(sent.pdus.size(), 3u);
  ExpectGammuReads(sent, text);
}

TEST(GammuInteropTest, ExtensionCharactersAcrossParts) {
  std::string text(150, 'x');
  text += "[{}]~|^\\";
  text += std::string(40, 'y');
  const Sent sent = Send(text);
  ASSERT_EQ(sent.pdus.size(), 2u);
  ExpectGammuReads(sent, text);
}

TEST(GammuInteropTest, FlashMessageIsClassZero) {
  const Sent sent = Send("Read me now", 1);
  const auto views = DecodeWithGammu(sent.pdus);
  ASSERT_EQ(views.size(), 1u);
  EXPECT_EQ(views[0].messageClass, 0);
  EXPECT_EQ(views[0].text, "Read me now");
}

TEST(GammuInteropTest, SixteenBitTextShortAndLong) {
  const std::string shortText = "Gr\xFC\xDF" "e aus K\xF6ln \xE1 bient\xF4t";
  const Sent single = Send(shortText);
  EXPECT_EQ(single.alphabet, 2);
  ExpectGammuReads(single, shortText);
  EXPECT_EQ(DecodeWithGammu(single.pdus).at(0).coding, "Unicode_No_Compression");

  std::string longText;
  while (longText.size() < 150) longText += "\xE1\xE7\xF5 gr\xFC\xDF" "e ";
  const Sent parts = Send(longText);
  ASSERT_EQ(parts.pdus.size(), 3u);
  ExpectGammuReads(parts, longText);
}

TEST(GammuInteropTest, FlashSixteenBitText) {
  const Sent sent = Send("\xE1 flash", 1);
  const auto views = DecodeWithGammu(sent.pdus);
  ASSERT_EQ(views.size(), 1u);
  EXPECT_EQ(views[0].messageClass, 0);
  EXPECT_EQ(views[0].text, "\xE1 flash");
}

}  // namespace
}  // namespace fonexa
