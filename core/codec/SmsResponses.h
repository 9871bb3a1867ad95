// Parsers for the GSM 07.05 short-message answers in PDU mode: the +CMGL and
// +CMGR headers, +CMT, +CSCA, +CPMS and +CMGW, and the check that a line is a
// PDU at all. Each takes one line as the session returns it (line end
// included) and touches no port.
#pragma once

#include <string>
#include <string_view>

#include "codec/SmsEntry.h"

namespace fonexa {

// ---- Message storages --------------------------------------------------------
// The storage numbers of the service: 0 "SM" (SIM), 1 "ME" (phone memory),
// 2 "MT" (all of the phone's storages). nullptr for any other number.
const char* SmsStorageName(int storage);
// The number of a storage name, -1 for a name that is not in the table.
int SmsStorageNumber(std::string_view name);

// ---- +CMGL: <index>,<stat>,[<alpha>],<length> -------------------------------
// ---- +CMGR: <stat>,[<alpha>],<length> ----------------------------------------
// Phones write the alpha field (the sender's phone-book name) empty (",,"),
// quoted ("", "Bob") or leave it out together with its comma, and a name may
// hold commas and quotes of its own. The length is therefore always the last
// field and the alpha whatever stands between it and <stat>.
struct SmsHeader {
  int index = -1;  // +CMGL only
  int stat = -1;
  std::string alpha;  // without its quotes; empty when absent
  int length = -1;    // TPDU octets
};

// Field numbers of a header that does not parse.
constexpr int kHeaderIndexMissing = 1;
constexpr int kHeaderStatMissing = 2;
constexpr int kHeaderLengthMissing = 3;

// 0 when the line is a complete "+CMGL:" header; otherwise the number of the
// first field that is missing or not a number (kHeader...Missing).
int ParseCmglResponse(const std::string& line, SmsHeader& header);
// 0 when the line is a complete "+CMGR:" header; otherwise kHeaderStatMissing
// or kHeaderLengthMissing. header.index is left as it was.
int ParseCmgrResponse(const std::string& line, SmsHeader& header);
// The <length> of a "+CMT: [<alpha>],<length>" line; -1 when it has none.
int ParseCmtLength(const std::string& line);

// ---- PDU lines ---------------------------------------------------------------
// The PDU text of a line: the line without its line end, when what is left is
// an even, non-empty run of hexadecimal digits; empty otherwise (a time-out, a
// final result, the next header, noise).
std::string_view PduTextOfLine(std::string_view line);

// Decodes the PDU line of a listed, read or delivered message into entry:
// everything but its Index, State and Validity. False, with entry as it
// was, when the line is no PDU text, when length is not positive, or when the
// text ends before the TPDU its own fields describe (a line cut short by the
// link). A length larger than the PDU sent does not refuse it: the PDU is
// decoded for what it holds.
bool DecodeMessageLine(std::string_view pduLine, int length, SmsEntry& entry);

// ---- +CSCA: <sca>,<tosca> -------------------------------------------------------
// 0 when both fields were read; otherwise the number of the first missing one.
// The number is kept exactly as the phone wrote it, quotes included.
int ParseCscaResponse(const std::string& line, std::string& number, int& type);

// ---- +CPMS: <mem1>,<used1>,<total1>,... ----------------------------------------
struct CpmsReadResponse {
  std::string name;  // the first (reading) storage as written
  int storage = -1;  // its number, -1 when unknown
  int used = -1;
  int total = -1;
  bool complete = false;  // name, used and total were all there
};
CpmsReadResponse ParseCpmsReadResponse(const std::string& line);

// ---- +CMGW: <index> ----------------------------------------------------------
// The index in an answer that contains "+CMGW:"; -1 when it holds none.
int ParseCmgwResponse(const std::string& answer);

// ---- +CMGS: <mr>[,<scts>] ----------------------------------------------------
// The message reference (TP-MR) of a line that begins with "+CMGS:"; -1 for
// any other line or one without a number.
int ParseCmgsResponse(const std::string& line);

// ---- +CDS: <length> ------------------------------------------------------------
// The <length> of a "+CDS: <length>" line (PDU mode); -1 when it has none.
int ParseCdsLength(const std::string& line);

// ---- Caller texts in commands --------------------------------------------------
// Whether a number may stand in an AT command line or a PDU: no control
// characters (a CR ends the command line, Ctrl-Z and ESC end or cancel a PDU),
// no quotes and no ";" (which would close the string or start a second
// command).
bool IsSafeNumber(std::string_view number);

}  // namespace fonexa
