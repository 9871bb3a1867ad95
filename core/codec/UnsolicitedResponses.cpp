#include "codec/UnsolicitedResponses.h"

#include "text/InformationLine.h"
#include "text/ResponseTokenizer.h"

namespace fonexa {

namespace {
// Quotes and blanks go with the commas; the line end goes too.
constexpr const char* kCodeDelimiters = " ,\"\r\n";
}  // namespace

// ---- +CLIP ----------------------------------------------------------------------

bool ParseClipCode(const std::string& line, ClipCode& code) {
  if (BeginsWith(line, "+CLIP: (") || BeginsWith(line, "+CLIP:(")) return false;
  // A blank inside the quotes would end the number here; numbers carry none.
  ResponseTokenizer fields(BodyOf(line, "+CLIP:"), false, " ,\r\n");
  const std::string number = fields.NextToken();
  code.type = fields.NextToken();
  code.number.clear();
  for (const char c : number) {
    if (c != '"') code.number.push_back(c);
  }
  return true;
}

// ---- +CRING -------------------------------------------------------------------------

std::string ParseCringCode(const std::string& line) {
  ResponseTokenizer fields(BodyOf(line, "+CRING:"), false, kCodeDelimiters);
  return fields.NextToken();
}

// ---- +CMT ---------------------------------------------------------------------------

std::string ParseCmtFirstField(const std::string& line) {
  // Only the prefix goes: "+CMT:,22" keeps its comma, which the delimiters skip.
  ResponseTokenizer fields(BeginsWith(line, "+CMT:") ? line.substr(5) : std::string(), false, kCodeDelimiters);
  return fields.NextToken();
}

// ---- +CMTI, +CDSI -----------------------------------------------------------------------

namespace {

StoredIndication ParseStoredIndication(const std::string& line, const char* prefix) {
  ResponseTokenizer fields(BodyOf(line, prefix), false, kCodeDelimiters);
  StoredIndication indication;
  indication.storage = fields.NextToken();
  indication.index = fields.NextToken();
  return indication;
}

}  // namespace

StoredIndication ParseCmtiCode(const std::string& line) { return ParseStoredIndication(line, "+CMTI:"); }

StoredIndication ParseCdsiCode(const std::string& line) { return ParseStoredIndication(line, "+CDSI:"); }

// ---- +CALA --------------------------------------------------------------------------------

std::string ParseCalaCode(const std::string& line) {
  ResponseTokenizer fields(BodyOf(line, "+CALA:"), false, "\r\n");
  return fields.NextToken();
}

std::string ParseCalaFirstWord(const std::string& line) {
  ResponseTokenizer fields(BodyOf(line, "+CALA:"), false, kCodeDelimiters);
  return fields.NextToken();
}

// ---- +CREG ------------------------------------------------------------------------------------

bool ParseCregCode(const std::string& line, std::string& status) {
  if (line.find(',') != std::string::npos) return false;
  ResponseTokenizer fields(BodyOf(line, "+CREG:"), false, kCodeDelimiters);
  status = fields.NextToken();
  return true;
}

}  // namespace fonexa
