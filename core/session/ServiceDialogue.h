// The one shape every service operation's AT dialogue has, written once.
//
// An operation is a row: the command, its time-outs, the session discipline
// (opened for the operation, or needs an open session), the prefix of the
// information line with its rule, the trace labels and the exit reasons. The
// dialogue runs a row in one of three forms:
//   - Command: the command answered by its final result alone;
//   - Query:   the blank line, one information line handed to a parse step,
//              the final result;
//   - Listing: the blank line, then entry lines, each handed to a callback,
//              until the final result; bounded by an overall deadline and an
//              entry cap (see ListingRow).
// Whatever path an operation leaves by, the exit line is traced with its
// reason and a session the dialogue opened is closed again. Operations with
// a dialogue of their own (the "> " prompt of a PDU, the +CMGR header and its
// PDU line) use the same pieces: Enter, Blank, InfoLine, Finish, Leave.
//
// Unsolicited codes the session's table does not know ("+CIEV: 2,3",
// "+CGREG: 1", "^RSSI:12", a "+CREG:" with location) come framed like answer
// lines. Where an information line is expected, a line of that shape whose
// prefix is not the row's is raised as the raw event 0x80000000 with its text
// and passed over; it never fails the operation.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "fonexa/CMxGsmBasics.h"

namespace fonexa {

// How an operation stands to the session's open count.
enum class Discipline {
  OpenedForOperation,  // Open before, Close after, on every path
  NeedsOpenSession,    // fails unless the session is open already
  Unchecked,           // on a closed port the command is simply not written
};

// How the information line is told by its prefix.
enum class PrefixRule {
  BeginsWith,       // "+CSQ:" and anything after it
  CarriesMoreThan,  // the prefix and at least one character more
};

// What an information line without the row's prefix does.
enum class WhenAbsent {
  Fails,    // the operation fails with the row's wrongInfo reason
  Skipped,  // it is not parsed; the final read follows
  Taken,    // it is the answer as it is (identification texts)
};

// How the information line is read.
enum class InfoRead {
  Line,   // one line, after the blank line the dialogue checked
  Final,  // blank line and line together, as a final read takes them
};

// One trace line: "scope>>" name open text close "\r\n". The operations of
// the system trace in several styles ("Send:[...].", "Send[...]",
// "Send:[...]"); a row keeps the style its operation has. An empty name
// traces the text alone; a null name traces nothing.
struct TraceLabel {
  const char* name = nullptr;
  const char* open = ":[";
  const char* close = "].";
};
constexpr TraceLabel Dotted(const char* name) { return {name, ":[", "]."}; }
constexpr TraceLabel Bracketed(const char* name) { return {name, "[", "]"}; }
constexpr TraceLabel Colon(const char* name) { return {name, ":[", "]"}; }
constexpr TraceLabel AsReceived() { return {"", "", ""}; }
constexpr TraceLabel Untraced() { return {}; }

// A row of an operation's table. Reasons are the texts of the exit line
// "<--scope>>reason\r\n"; a null reason leaves without an exit line.
struct DialogueRow {
  const char* scope = "";  // "CMxGsmNetwork::GetSignalQuality"; empty: nothing is traced
  std::string command{};
  Discipline discipline = Discipline::NeedsOpenSession;
  const char* notOpened = nullptr;
  int notOpenedResult = 0;
  int failed = 0;  // the result of every other failure
  int okResult = 1;
  uint32_t sendMs = 3000;
  uint32_t firstMs = 3000;
  uint32_t infoMs = 3000;
  uint32_t finalMs = 3000;
  bool emptyEchoFails = false;  // nothing written: leave at once, without an exit line
  InfoRead infoRead = InfoRead::Line;
  const char* prefix = nullptr;
  PrefixRule rule = PrefixRule::CarriesMoreThan;
  WhenAbsent absent = WhenAbsent::Fails;
  // An error line, or (under CarriesMoreThan) one no longer than the prefix,
  // fails with this reason before the prefix is looked at; null: such lines
  // are judged by their prefix like any other.
  const char* refused = nullptr;
  // Tells an unsolicited code that shares the row's prefix from the answer
  // (the +CREG location report beside the +CREG? answer); null: none does.
  bool (*sharesPrefix)(const std::string& line) = nullptr;
  TraceLabel send = Dotted("Send");
  TraceLabel echo = Dotted("Echo");
  TraceLabel first = Dotted("Response 1");
  TraceLabel info = Dotted("Response 2");
  TraceLabel final = Dotted("Response 3");
  const char* wrongFirst = "ERROR:Wrong Response 1.";
  const char* wrongInfo = "ERROR:Wrong Response 2.";
  const char* wrongFinal = "ERROR:Wrong Response 3.";
  const char* ok = "OK.";
};

// What a parse step made of the information line.
struct Verdict {
  std::string failure;                // empty: understood; else the exit reason
  std::optional<std::string> ok;      // replaces the row's success reason
  std::optional<int> okResult;        // replaces the row's success result
  std::string closing;                // an exit-style line traced after the final read, whatever it says
};
inline Verdict Understood() { return {}; }
inline Verdict Refused(std::string reason) { return {std::move(reason), {}, {}, {}}; }
// "ERROR:Wrong Tokenizing:<n>." for the first field that was missing.
std::string TokenizingReason(int missingField);

// A listing: the row's command, discipline, first line and reasons, and the
// bounds that keep a phone that never ends its answer from holding the caller
// (and the system-wide lock) for ever.
//
// Bounds. maxEntries is derived from what was asked (the range of a
// phone-book read) or, where the request does not say, a documented maximum
// of the family; an entry line beyond it fails the listing. deadlineMs is the
// whole listing's time from the command on; every read is cut to what is left
// of it, and a listing that runs out of it fails. A line that ends without its
// line end ran out its time-out with the phone still sending: it counts as
// silence. On every one of these the entries read so far stay with the caller.
//
// The listings and their bounds (exit reasons "ERROR:Too many entries." and
// "ERROR:Deadline."):
//   +CPBR=<first>,<last>  last-first+1 entries (at most 10000);
//                         30 s to gather, then 0.5 s per location asked
//   +CMGL=<stat>          1000 messages (a SIM holds at most 255);
//                         9 s, then 0.5 s per message
//   +COPN                 2000 operators; 3 s, then 0.1 s per operator
//   +COPS=?               one line: 64 operators ("ERROR:Too many
//                         operators."); its own reads, 60 s + 60 s + 3 s
//   TestAtCommand         64 lines; 30 s
//   SendCustomAtCommand   256 lines; 60 s
struct ListingRow {
  DialogueRow row{};  // prefix/rule: the entry lines; ok: the exit after the final OK
  uint32_t lineMs = 3000;
  TraceLabel line = AsReceived();  // how each line read is traced
  const char* opening = nullptr;   // a progress line after the blank line ("Parse Response:")
  const char* silence = nullptr;   // reason when the phone falls silent (null: no exit line)
  const char* error = "ERROR.";    // reason when the listing ends in an error
  size_t maxEntries = 0;
  uint32_t deadlineMs = 0;
  const char* tooMany = "ERROR:Too many entries.";
  const char* overdue = "ERROR:Deadline.";
  void (*afterOk)(CMxGsmBasics* session) = nullptr;  // runs before the OK exit line
  // Every line read, the final one and silence included, as it came.
  std::function<void(const std::string& line)> observe{};
};

class ServiceDialogue {
 public:
  static constexpr uint32_t kStandardTimeoutMs = 3000;
  static constexpr uint32_t kNetworkTimeoutMs = 60000;

  // A parse step for Query: the information line in, its verdict out.
  using Parse = std::function<Verdict(const std::string& line)>;
  // An entry callback for Listing: empty to go on, else the exit reason.
  using Entry = std::function<std::string(const std::string& line)>;

  explicit ServiceDialogue(CMxGsmBasics* session) : session_(session) {}
  // Pieces only, under scope's trace lines (for dialogues outside a row).
  ServiceDialogue(CMxGsmBasics* session, std::string scope) : session_(session), scope_(std::move(scope)) {}
  ~ServiceDialogue() { Close(); }
  ServiceDialogue(const ServiceDialogue&) = delete;
  ServiceDialogue& operator=(const ServiceDialogue&) = delete;

  // ---- The three forms -------------------------------------------------------
  int Command(const DialogueRow& row);
  int Query(const DialogueRow& row, const Parse& parse);
  int Listing(const ListingRow& listing, const Entry& entry);

  // ---- Pieces ------------------------------------------------------------------
  // The row's discipline (once per dialogue); false: left, see Result().
  bool Enter(const DialogueRow& row);
  // Enter, then the command written and traced; false: left.
  bool Begin(const DialogueRow& row);
  // The blank line that opens an answer; false: left with wrongFirst.
  bool Blank(const DialogueRow& row);
  // The information line: unsolicited codes of another prefix raised and
  // skipped; traced under the row's info label.
  std::string InfoLine(const DialogueRow& row);
  // Whether line carries the row's prefix under its rule.
  static bool Carries(const DialogueRow& row, const std::string& line);
  // The final read and the exit line with the verdict's or the row's reasons.
  int Finish(const DialogueRow& row, const Verdict& verdict = {});
  // Traces "<--scope>>reason\r\n" (null reason: no line), closes what the
  // dialogue opened, and returns result.
  int Leave(const char* reason, int result);
  int Leave(const std::string& reason, int result) { return Leave(reason.c_str(), result); }
  int Result() const { return result_; }

  CMxGsmBasics* Session() const { return session_; }
  const std::string& Scope() const { return scope_; }
  // Writes the command; returns what the port reports as sent.
  std::string Send(const std::string& command, uint32_t timeoutMs = kStandardTimeoutMs);
  // One answer line with its line end; empty on silence. A line given back
  // with Unread comes first. Reads are cut to a running listing's deadline.
  std::string Line(uint32_t timeoutMs = kStandardTimeoutMs);
  void Unread(std::string line) { unread_ = std::move(line); }
  // The blank line, then the result line: the final read (a line given back
  // with Unread comes first).
  std::string Final(uint32_t timeoutMs = kStandardTimeoutMs);
  // A progress line under label.
  void Trace(const TraceLabel& label, const std::string& text) const;
  void Trace(const char* label, const std::string& text) const { Trace(Dotted(label), text); }
  bool IsOk(const std::string& text) const { return session_->IsOk(text) != 0; }
  bool IsError(const std::string& text) const { return session_->IsError(text) != 0; }

  // Closes the session if this dialogue opened it (idempotent).
  void Close();

 private:
  uint32_t Bounded(uint32_t timeoutMs) const;
  void TraceExit(const char* reason) const;
  // A line of unsolicited shape whose prefix is not the row's: raised and true.
  bool RaiseIfForeign(const DialogueRow& row, const std::string& line);

  CMxGsmBasics* session_;
  std::string scope_;
  bool entered_ = false;
  bool opened_ = false;
  int result_ = 0;
  std::optional<std::string> unread_;
  uint64_t deadline_ = 0;  // tick count; 0: none
};

// "+CIEV:", "^RSSI": the prefix of a line shaped like an unsolicited result
// code ("+" and capitals or digits up to a colon, or "^" and capitals);
// empty when the line has no such shape.
std::string UnsolicitedPrefixOf(const std::string& line);

// "AT+CNMA=<n>": the acknowledgement a message delivered straight to the
// terminal is owed, under the SMS service's trace scope. The SMS service and
// the session's Detach both send it through this row.
int AcknowledgeDeliveredMessage(CMxGsmBasics* session, int n);

}  // namespace fonexa
