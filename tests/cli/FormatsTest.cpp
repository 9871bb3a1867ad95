// The pieces of the command that need no phone: contact files as other
// programs write them, the UTF-8 edge, the part count of a text, the
// device specification with its configuration file, and events as shown.
#include <gtest/gtest.h>

#include <sstream>

#include "CommandError.h"
#include "DeviceSelection.h"
#include "EventDescriptions.h"
#include "PhoneBookFiles.h"
#include "SmsParts.h"
#include "TextEncoding.h"

namespace fonexa::cli {
namespace {

// ---- vCard ------------------------------------------------------------------

TEST(VCardFiles, ReadsCardsAsAddressBooksWriteThem) {
  // An Android contacts export: vCard 2.1, grouped and typed numbers, N
  // without FN on the second card, a quoted-printable-free folded name.
  const std::string android =
      "BEGIN:VCARD\r\nVERSION:2.1\r\nN:Novak;Alice;;;\r\nFN:Alice Novak\r\n"
      "TEL;CELL;PREF:+420606111222\r\nTEL;HOME:+420222000111\r\nEND:VCARD\r\n"
      "BEGIN:VCARD\r\nVERSION:2.1\r\nN:Dvorak;Bob;;;\r\nitem1.TEL:+420777123456\r\nEND:VCARD\r\n";
  const ContactFile read = readVCards(android);
  ASSERT_EQ(read.entries.size(), 2u);
  EXPECT_EQ(read.entries[0].name, "Alice Novak");
  EXPECT_EQ(read.entries[0].number, "+420606111222");  // the first number
  EXPECT_EQ(read.entries[1].name, "Bob Dvorak");
  EXPECT_EQ(read.entries[1].number, "+420777123456");
  EXPECT_TRUE(read.skipped.empty());
}

TEST(VCardFiles, UnfoldsUnescapesAndTakesVCardFourUris) {
  const std::string card =
      "BEGIN:VCARD\nVERSION:4.0\nFN:Company\\, Sales\n  Desk\nTEL;VALUE=uri:tel:+420555000111\nEND:VCARD\n";
  const ContactFile read = readVCards(card);
  ASSERT_EQ(read.entries.size(), 1u);
  EXPECT_EQ(read.entries[0].name, "Company, Sales Desk");
  EXPECT_EQ(read.entries[0].number, "+420555000111");
}

TEST(VCardFiles, CardsWithoutANumberOrAnEndAreSkippedWithTheReason) {
  const ContactFile read = readVCards("BEGIN:VCARD\nFN:Nobody\nEND:VCARD\nBEGIN:VCARD\nFN:Cut\nTEL:1\n");
  EXPECT_TRUE(read.entries.empty());
  ASSERT_EQ(read.skipped.size(), 2u);
  EXPECT_EQ(read.skipped[0], "card 1 (Nobody) has no telephone number");
  EXPECT_EQ(read.skipped[1], "card 2 has no END:VCARD");
}

TEST(VCardFiles, WrittenCardsReadBackTheSame) {
  const std::vector<ContactEntry> entries = {{1, "Novak; Alice, Dr.", "+420606111222"}, {2, "Back\\slash", "*100#"}};
  const std::string text = writeVCards(entries);
  EXPECT_NE(text.find("FN:Novak\\; Alice\\, Dr.\r\n"), std::string::npos) << text;
  const ContactFile read = readVCards(text);
  ASSERT_EQ(read.entries.size(), 2u);
  EXPECT_EQ(read.entries[0].name, entries[0].name);
  EXPECT_EQ(read.entries[1].name, entries[1].name);
  EXPECT_EQ(read.entries[1].number, "*100#");
}

// ---- CSV ----------------------------------------------------------------------

TEST(CsvFiles, QuotedFieldsKeepCommasQuotesAndLineBreaks) {
  const std::vector<ContactEntry> entries = {{3, "Novak, \"Al\"", "+420606111222"}, {-1, "Two\nlines", "112"}};
  const std::string text = writeCsv(entries);
  EXPECT_EQ(text, "position,name,number\r\n3,\"Novak, \"\"Al\"\"\",+420606111222\r\n,\"Two\nlines\",112\r\n");
  const ContactFile read = readCsv(text);
  ASSERT_EQ(read.entries.size(), 2u);
  EXPECT_EQ(read.entries[0].position, 3);
  EXPECT_EQ(read.entries[0].name, entries[0].name);
  EXPECT_EQ(read.entries[1].position, -1);
  EXPECT_EQ(read.entries[1].name, "Two\nlines");
}

TEST(CsvFiles, ColumnsGoByTheHeaderAndBadRowsAreNamed) {
  const ContactFile read = readCsv("Number,Name\n+420606111222,Alice\n,Nobody\n");
  ASSERT_EQ(read.entries.size(), 1u);
  EXPECT_EQ(read.entries[0].name, "Alice");
  EXPECT_EQ(read.entries[0].position, -1);
  ASSERT_EQ(read.skipped.size(), 1u);
  EXPECT_EQ(read.skipped[0], "line 3 has no number");

  EXPECT_EQ(readCsv("position,name,number\nfirst,Alice,1\n").skipped.front(),
            "line 2: the position \"first\" is not a number");
  EXPECT_EQ(readCsv("who,what\nAlice,1\n").skipped.front(),
            "the first line must name the columns: position,name,number");
}

TEST(ContactFormats, TakenFromTheFileName) {
  EXPECT_EQ(contactFormatOf("book.VCF"), ContactFormat::VCard);
  EXPECT_EQ(contactFormatOf("/tmp/x.vcard"), ContactFormat::VCard);
  EXPECT_EQ(contactFormatOf("book.csv"), ContactFormat::Csv);
  EXPECT_FALSE(contactFormatOf("book.txt"));
  EXPECT_FALSE(contactFormatOf("book"));
}

// ---- UTF-8 and Latin-1 ------------------------------------------------------------

TEST(TextEncoding, Latin1TravelsBothWays) {
  const std::string utf8 = "Grüße, ¿qué? ±½ ÿ";
  const Latin1Result latin1 = utf8ToLatin1(utf8);
  ASSERT_TRUE(latin1.ok) << latin1.problem;
  EXPECT_EQ(latin1.text.size(), 17u);
  EXPECT_EQ(static_cast<unsigned char>(latin1.text[2]), 0xFC);
  EXPECT_EQ(latin1ToUtf8(latin1.text), utf8);
}

TEST(TextEncoding, WhatLatin1CannotCarryIsNamed) {
  EXPECT_EQ(utf8ToLatin1("5 €").problem, "\"€\" (U+20AC)");
  EXPECT_EQ(utf8ToLatin1("Dvořák").problem, "\"ř\" (U+0159)");
  EXPECT_EQ(utf8ToLatin1("hi 😀").problem, "\"😀\" (U+1F600)");
  EXPECT_EQ(utf8ToLatin1("caf\xE9 noir").problem, "a byte that is not UTF-8 at position 4");
  EXPECT_EQ(utf8ToLatin1("\xC3").problem, "a UTF-8 sequence cut short at position 1");
  // An overlong slash or NUL must not slip through as a plain byte.
  EXPECT_EQ(utf8ToLatin1("\xC0\xAF").problem, "an overlong UTF-8 sequence at position 1");
  EXPECT_EQ(utf8ToLatin1("a\xE0\x80\x80").problem, "an overlong UTF-8 sequence at position 2");
}

TEST(TextEncoding, TheEngineEdgeRefusesWithBadUsage) {
  try {
    toEngine("5 €", "message text");
    FAIL() << "no error";
  } catch (const CommandError& error) {
    EXPECT_EQ(error.code(), ExitCode::Usage);
    EXPECT_STREQ(error.what(),
                 "the message text holds \"€\" (U+20AC), which the phone's single-byte character set cannot carry");
  }
}

// ---- Part counts ----------------------------------------------------------------------

TEST(SmsPartCounts, FollowTheEnginesCapacities) {
  EXPECT_EQ(countSmsParts("").count, 1);
  EXPECT_EQ(countSmsParts(std::string(160, 'a')).count, 1);
  EXPECT_EQ(countSmsParts(std::string(161, 'a')).count, 2);  // 152 + 9
  EXPECT_EQ(countSmsParts(std::string(304, 'a')).count, 2);
  EXPECT_EQ(countSmsParts(std::string(305, 'a')).count, 3);

  const std::string wide = "\xB1";  // "±" in Latin-1: not in the GSM alphabet
  EXPECT_EQ(countSmsParts(wide).alphabet, SmsAlphabet::Ucs2);
  EXPECT_EQ(countSmsParts(wide + std::string(69, 'a')).count, 1);
  EXPECT_EQ(countSmsParts(wide + std::string(70, 'a')).count, 2);  // 67 + 4
  EXPECT_EQ(countSmsParts(wide + std::string(134, 'a')).count, 3);
}

TEST(SmsPartCounts, TheGsmAlphabetAndItsExtensionStaySevenBit) {
  // Latin-1 letters of the default table, and extension characters that
  // take two septets yet count once.
  EXPECT_EQ(countSmsParts("\xE9\xE8\xDC\xF1\xA3\xA7 {[~]}|^\\").alphabet, SmsAlphabet::SevenBit);
  EXPECT_EQ(countSmsParts(std::string(160, '{')).count, 1);
  // The form feed is refused by the engine although the extension table has it.
  EXPECT_EQ(countSmsParts("page\fbreak").alphabet, SmsAlphabet::Ucs2);
  EXPECT_EQ(countSmsParts("\xE1").alphabet, SmsAlphabet::Ucs2);  // "á" is not in the table
}

// ---- Device specifications ------------------------------------------------------------------

TEST(DeviceSpecifications, CompletedOrRefused) {
  EXPECT_EQ(normaliseSpec("/dev/ttyUSB0", "--device"), "GenericPhone@/dev/ttyUSB0");
  EXPECT_EQ(normaliseSpec(" EricssonPhone@/dev/ttyS0@115200 ", "--device"), "EricssonPhone@/dev/ttyS0@115200");
  EXPECT_EQ(normaliseSpec("virtual", "--device"), "");
  for (const std::string bad : {"", "ttyUSB0", "@/dev/ttyUSB0", "GenericPhone@"}) {
    EXPECT_THROW(normaliseSpec(bad, "FONEXA_DEVICE"), CommandError) << bad;
  }
}

TEST(DeviceConfiguration, KeyValueLinesWithComments) {
  std::istringstream good("# the phone on the desk\n\n  device = GenericPhone@/dev/ttyACM0  # USB\n");
  EXPECT_EQ(parseConfig(good, "config").device, "GenericPhone@/dev/ttyACM0");

  std::istringstream empty("# nothing\n");
  EXPECT_FALSE(parseConfig(empty, "config").device);

  std::istringstream unknown("device = /dev/ttyS0\nbaud = 9600\n");
  try {
    parseConfig(unknown, "/home/u/.config/fonexa/config");
    FAIL() << "no error";
  } catch (const CommandError& error) {
    EXPECT_STREQ(error.what(), "/home/u/.config/fonexa/config line 2: unknown setting \"baud\" (known: device)");
  }
  std::istringstream noEquals("device /dev/ttyS0\n");
  EXPECT_THROW(parseConfig(noEquals, "config"), CommandError);
}

// ---- events -------------------------------------------------------------------

TEST(EventDescriptions, JoinedMessagesAndReportsCarryUtf8AndTheirMeaning) {
  // "Grüße" in UTF-8: read as Latin-1 it would come out as mojibake.
  const std::string text = "+4930555#Gr\xC3\xBC\xC3\x9F" "e";
  const DescribedEvent whole = describeEvent(0x4000, text, 0);
  EXPECT_EQ(whole.object["event"], "joined_message");
  EXPECT_EQ(whole.object["text"], text);
  EXPECT_EQ(whole.object["from"], "+4930555");
  EXPECT_EQ(whole.object["message"], "Gr\xC3\xBC\xC3\x9F" "e");
  EXPECT_EQ(whole.object["missing"], 0);
  EXPECT_NE(whole.text.find("joined_message: from +4930555: Gr\xC3\xBC\xC3\x9F" "e"), std::string::npos);
  EXPECT_EQ(whole.text.find("missing"), std::string::npos) << whole.text;

  const DescribedEvent gappy = describeEvent(0x4000, "+4930555#abc", 2);
  EXPECT_EQ(gappy.object["missing"], 2);
  EXPECT_NE(gappy.text.find("abc (2 parts missing)"), std::string::npos) << gappy.text;

  const DescribedEvent report = describeEvent(0x8000, "failed", 12);
  EXPECT_EQ(report.object["event"], "delivery_report");
  EXPECT_EQ(report.object["message_id"], 12);
  EXPECT_EQ(report.object["delivery"], "failed");
  EXPECT_NE(report.text.find("delivery_report: message 12 failed"), std::string::npos) << report.text;

  // The per-part event still reads its text as Latin-1.
  EXPECT_EQ(describeEvent(0x100, "+49#caf\xE9", 0).object["message"], "caf\xC3\xA9");
  EXPECT_EQ(eventId("joined_message"), 0x4000u);
  EXPECT_EQ(eventId("delivery_report"), 0x8000u);
}

}  // namespace
}  // namespace fonexa::cli
