// Parsers for the unsolicited result codes the session turns into events:
// +CLIP, +CRING, +CMTI, +CDSI, +CALA and the one-field +CREG. Each takes the
// code's line as it arrived (line end or not) and touches no port; the
// session's handlers parse, read what follows, and raise.
#pragma once

#include <string>

namespace fonexa {

// ---- +CLIP: <number>,<type>[,<subaddr>,<satype>,<alpha>,<CLI validity>] --------
struct ClipCode {
  std::string number;  // without its quotation marks
  std::string type;    // as sent; the event carries its value
};
// False for "+CLIP: (0,1)", the answer to "AT+CLIP=?", which is no code.
bool ParseClipCode(const std::string& line, ClipCode& code);

// ---- +CRING: <type> ------------------------------------------------------------
// The call type ("VOICE", "FAX", "REL ASYNC" gives "REL").
std::string ParseCringCode(const std::string& line);

// ---- +CMT: [<alpha>],<length> -----------------------------------------------------
// The first field as the delivered-message event reports it: the length, or
// the alpha when the phone gives one (the message itself is parsed by
// ParseCmtLength and DecodeMessageLine).
std::string ParseCmtFirstField(const std::string& line);

// ---- +CMTI: <mem>,<index> and +CDSI: <mem>,<index> -------------------------------
struct StoredIndication {
  std::string storage;  // without its quotation marks
  std::string index;    // as sent; empty when missing
};
StoredIndication ParseCmtiCode(const std::string& line);
StoredIndication ParseCdsiCode(const std::string& line);

// ---- +CALA: <text>[,...] -----------------------------------------------------------
// The alarm text up to the line end: blanks, commas and quotes stay.
std::string ParseCalaCode(const std::string& line);
// The first word of the alarm text, as "^SYSSTART ALARM MODE" reports it.
std::string ParseCalaFirstWord(const std::string& line);

// ---- +CREG: <stat> -------------------------------------------------------------------
// True for the code form, which carries one field; a line with a comma is the
// answer to "AT+CREG?" and false. status gets the field as sent.
bool ParseCregCode(const std::string& line, std::string& status);

}  // namespace fonexa
