// SMS PDU codec: message texts to and from the hexadecimal PDU text that the
// phone exchanges in GSM 07.05 PDU mode ("AT+CMGS", "AT+CMGW", "+CMGL:",
// "+CMGR:", "+CMT:"), that is a GSM 03.40 TPDU preceded by the service-centre
// address.
//
// Texts are Latin-1 byte strings. They are sent in the 7-bit default alphabet
// when every character has a code there, else as UCS2 code units 0x00XX.
// Long texts go out as concatenated parts (information element 0x00, 8-bit
// reference). Everything is static and pure apart from two process-wide
// values: the escape state of `SeptetToText` and the concatenation reference.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "codec/SmsEntry.h"

namespace fonexa {

class CMxGsmCoding {
 public:
  // Alphabet codes: the value of bits 2-3 of a general TP-DCS.
  static constexpr int kAlphabet7Bit = 0;
  static constexpr int kAlphabet8Bit = 1;
  static constexpr int kAlphabet16Bit = 2;

  // ---- Building SMS-SUBMIT PDUs -------------------------------------------

  // Builds the PDU of one part (1-based partIndex of partCount) for the phone
  // number and the part's text into pdu; flash non-zero sends it as class 0.
  // Returns the TPDU length in octets (the PDU less its service-centre octet),
  // the number "AT+CMGS" and "AT+CMGW" need.
  //
  // Building part 1 of a multi-part message draws a new concatenation
  // reference; the later parts of that message reuse it. Build the parts of
  // one message in order, one message at a time (the session lock sees to it).
  static int ConvertToPdu(std::string& pdu, const std::string& phoneNumber, const std::string& text,
                          int alphabet, int partIndex, int partCount, int flash);

  // The parts of a UTF-8 text as code units (see unicode::EncodeText): septet
  // codes when every character is in the default alphabet or its extension
  // table, else UCS2 code units; one message when it fits, else parts of 152
  // septets or 67 code units, an escape pair or a surrogate pair never cut.
  // alphabet receives 0 or 2.
  static std::vector<std::vector<uint16_t>> SplitUtf8Text(std::string_view utf8, int& alphabet);
  // Builds one part of code units, as ConvertToPdu does a Latin-1 text;
  // statusReport sets TP-SRR, so that the network reports the delivery.
  static int ConvertUnitsToPdu(std::string& pdu, const std::string& phoneNumber, const std::vector<uint16_t>& units,
                               int alphabet, int partIndex, int partCount, int flash, bool statusReport);

  // 0 (7-bit) when every character is in the default alphabet or is one of
  // the extension characters ^ { } \ [ ~ ] |, else 2 (16-bit). A form feed
  // forces 16-bit although it has an extension code.
  static int SelectAlphabet(const std::string& text);

  // Number of messages the text needs in the alphabet. 7-bit counts septets
  // (an extension character takes two): up to 160 is one message, beyond
  // that parts of at most 152 septets, an escape pair never cut. 16-bit: up
  // to 70 characters is one message, else parts of 67. -1 for an unknown
  // alphabet.
  static int GetPartCount(const std::string& text, int alphabet);
  // The texts of those parts, in order.
  static std::vector<std::string> SplitIntoParts(const std::string& text, int alphabet);
  // Largest part of a concatenated message: 152 septets (7-bit), 134 octets
  // (8-bit), 67 characters (16-bit), -1 otherwise.
  static int GetPartCapacity(int alphabet);

  // Concatenation header "050003" + reference + count + index, as hex; ""
  // for a single part.
  static std::string BuildUserDataHeader(int partIndex, int partCount, int alphabet);
  // What the header adds to TP-UDL: 0 for a single part, 7 septets in 7-bit
  // (six octets and one fill bit), 6 octets otherwise.
  static int GetHeaderLength(int partIndex, int partCount, int alphabet);
  // The reference the parts of the latest multi-part message carry.
  static int ConcatenationReference();

  // TP-UDL of the text without header: septets in 7-bit (two for each
  // extension character), octets otherwise (two per character in 16-bit).
  static int GetUserDataLength(const std::string& text, int alphabet);
  // Default-alphabet code of the character; 0x1B for an extension character;
  // 0x11 ("_") for a character 7-bit cannot carry.
  static uint8_t CharToSeptet(char c);
  // Second code of an extension character, 0 for any other character.
  static uint8_t GetExtensionCode(char c);
  // User data of the text, as hex, without header. In 7-bit the text starts
  // fillBits bits into the first octet.
  static std::string EncodeUserData(const std::string& text, int alphabet, int fillBits = 0);

  // ---- Decoding received and stored PDUs ----------------------------------

  // Decodes a PDU listed or delivered by the phone into the provider phone,
  // message text, phone number and (for a received message) time of entry.
  // length is the <length> of the listing and only tested for 0: 0 decodes
  // nothing and returns 0; otherwise returns 1. A truncated or malformed PDU
  // is read up to the end of its text and never beyond; missing octets read
  // as 0 and a text stops where its data does.
  static int ConvertFromPdu(const std::string& pdu, int length, SmsEntry& entry);

  // The text of user data given as hex. 7-bit unpacks `count` septets (fewer
  // if the data ends first), the first starting fillBits bits into the data;
  // 8-bit and 16-bit decode every complete octet or code unit, and a UCS2
  // code unit outside Latin-1 becomes "?". Clears the escape state first.
  static std::string GetTextFromPdu(std::string_view userData, int count, int alphabet, int fillBits = 0);

  // The octet written at position (in characters): plain hex, or with
  // semiDecimal non-zero the two digits swapped and read as decimal (time
  // stamps). An invalid digit stops the conversion; outside the text it is 0.
  static int ReadHexOctet(const std::string& pdu, int position, int semiDecimal);

  // The text of one default-alphabet code under the process-wide escape
  // state: "" for the escape code 0x1B (which sets the state), the extension
  // character (or "_") for the code after it, else the character of the
  // code, "_" for those without a Latin-1 byte.
  static std::string SeptetToText(int code);

  // Alphabet of a TP-DCS after the coding groups of GSM 03.38: the general
  // and automatic-deletion groups give bits 2-3, message-waiting groups the
  // default alphabet or UCS2, group F the default alphabet or 8-bit data;
  // reserved codings read as the default alphabet, as a receiver must.
  static int AlphabetOfDataCoding(int dataCodingScheme);

 private:
  // The SMS-SUBMIT fields in order, appendText(pdu, fillBits) writing the
  // text after the concatenation header.
  template <typename AppendText>
  static int BuildSubmit(std::string& pdu, const std::string& phoneNumber, int alphabet, int partIndex, int partCount,
                         int flash, bool statusReport, int udl, AppendText&& appendText);
};

}  // namespace fonexa
