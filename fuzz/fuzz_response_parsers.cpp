// Every parser of an answer line, on any line a phone may send: call list
// (+CLCC, +CPAS, +CCFC, +CLCK), network (+CSQ, +COPN, +COPS?, +COPS=?,
// +CREG?), phone book (+CPBS?, +CPBR=?, +CPBR), clock (+CCLK?), SIM (+CPIN?)
// and messages (+CMGL, +CMGR, +CSCA?, +CPMS?, +CMGW, +CMGS). A value made of
// the line's own fields, or the parser's failure value; never a crash, a hang
// or a read past the line.
//
// The first input byte picks the parser and writes its prefix before the rest
// (odd values leave the prefix out, so that the parser also meets lines that
// are not its own).
#include <cstddef>
#include <cstdint>
#include <string>

#include "codec/CallResponses.h"
#include "codec/NetworkResponses.h"
#include "codec/PhoneBookResponses.h"
#include "codec/SessionResponses.h"
#include "codec/SimResponses.h"
#include "codec/SmsResponses.h"

namespace {

void Within(const std::string& part, const std::string& line) {
  if (part.size() > line.size()) __builtin_trap();
}

void Calls(int which, const std::string& line) {
  switch (which) {
    case 0: {
      fonexa::CallEntry entry;
      const int result = fonexa::ParseClccResponse(line, entry);
      (void)result;
      Within(entry.PhoneNumber, line);
      break;
    }
    case 1: {
      int activity = -7;
      (void)fonexa::ParseCpasResponse(line, activity);
      break;
    }
    case 2: {
      int status = -1, time = -1;
      std::string number;
      (void)fonexa::ParseCcfcQueryResponse(line, static_cast<int>(line.size() % 8), status, number, time);
      Within(number, line);
      break;
    }
    default: {
      int status = -1;
      (void)fonexa::ParseClckQueryResponse(line, status);
      break;
    }
  }
}

void Network(int which, const std::string& line) {
  switch (which) {
    case 0: {
      int rssi = -1, ber = -1;
      (void)fonexa::ParseCsqResponse(line, rssi, ber);
      break;
    }
    case 1: {
      fonexa::OperatorEntry entry;
      (void)fonexa::ParseCopnResponse(line, entry);
      Within(entry.Name, line);
      break;
    }
    case 2: {
      fonexa::OperatorEntry entry;
      fonexa::ParseCopsReadResponse(line, entry);
      Within(entry.Name, line);
      break;
    }
    case 3: {
      const fonexa::CopsTestResponse answer = fonexa::ParseCopsTestResponse(line);
      if (answer.operators.size() > line.size()) __builtin_trap();
      for (const auto& op : answer.operators) Within(op.entry.Name, line);
      break;
    }
    default: {
      int n = -1, stat = -1;
      fonexa::ParseCregReadResponse(line, n, stat);
      break;
    }
  }
}

void PhoneBook(int which, const std::string& line) {
  switch (which) {
    case 0: {
      std::string storage;
      int used = -1, total = -1;
      (void)fonexa::ParseCpbsReadResponse(line, storage, used, total);
      Within(storage, line);
      break;
    }
    case 1: {
      fonexa::PhoneBookRange range;
      (void)fonexa::ParseCpbrTestResponse(line, range);
      break;
    }
    default: {
      fonexa::PhoneBookEntry entry;
      std::string timeText;
      const int missing = fonexa::ParseCpbrEntryResponse(line, entry, timeText);
      if (missing < 0 || missing > 4) __builtin_trap();
      Within(timeText, line);
      (void)fonexa::ParseCpbrTimeStamp(timeText.empty() ? line : timeText);
      break;
    }
  }
}

void Messages(int which, const std::string& line) {
  switch (which) {
    case 0: {
      fonexa::SmsHeader header;
      const int result = fonexa::ParseCmglResponse(line, header);
      if (result < 0 || result > fonexa::kHeaderLengthMissing) __builtin_trap();
      Within(header.alpha, line);
      break;
    }
    case 1: {
      fonexa::SmsHeader header;
      const int result = fonexa::ParseCmgrResponse(line, header);
      if (result < 0 || result > fonexa::kHeaderLengthMissing) __builtin_trap();
      Within(header.alpha, line);
      break;
    }
    case 2: {
      std::string number;
      int type = -1;
      (void)fonexa::ParseCscaResponse(line, number, type);
      Within(number, line);
      break;
    }
    case 3: {
      const fonexa::CpmsReadResponse answer = fonexa::ParseCpmsReadResponse(line);
      Within(answer.name, line);
      if (answer.storage >= 0) (void)fonexa::SmsStorageName(answer.storage);
      break;
    }
    case 4: (void)fonexa::ParseCmgwResponse(line); break;
    default: (void)fonexa::ParseCmgsResponse(line); break;
  }
}

struct Parser {
  const char* prefix;
  void (*run)(int, const std::string&);
  int which;
};

const Parser kParsers[] = {
    {"+CLCC: ", Calls, 0},      {"+CPAS: ", Calls, 1},     {"+CCFC: ", Calls, 2},
    {"+CLCK: ", Calls, 3},      {"+CSQ: ", Network, 0},    {"+COPN: ", Network, 1},
    {"+COPS: ", Network, 2},    {"+COPS: (", Network, 3},  {"+CREG: ", Network, 4},
    {"+CPBS: ", PhoneBook, 0},  {"+CPBR: (", PhoneBook, 1}, {"+CPBR: ", PhoneBook, 2},
    {"+CMGL: ", Messages, 0},   {"+CMGR: ", Messages, 1},  {"+CSCA: ", Messages, 2},
    {"+CPMS: ", Messages, 3},   {"+CMGW: ", Messages, 4},  {"+CMGS: ", Messages, 5},
    {"+CCLK: ", nullptr, 0},    {"+CPIN: ", nullptr, 1},
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0 || size > 4000) return 0;
  const Parser& parser = kParsers[(data[0] >> 1) % (sizeof kParsers / sizeof kParsers[0])];
  std::string text = (data[0] & 1) ? std::string() : std::string(parser.prefix);
  text.append(reinterpret_cast<const char*>(data) + 1, size - 1);
  // An exact-size copy, so that a read past the line is a heap overflow.
  const std::string line(text.data(), text.size());

  if (parser.run) {
    parser.run(parser.which, line);
  } else if (parser.which == 0) {
    std::string time;
    (void)fonexa::ParseCclkReadResponse(line, time);
    Within(time, line);
  } else {
    std::string first, second;
    (void)fonexa::ParseCpinReadResponse(line, first, second);
    Within(first, line);
    Within(second, line);
  }
  return 0;
}
