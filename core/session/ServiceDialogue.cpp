#include "session/ServiceDialogue.h"

#include <algorithm>
#include <chrono>
#include <cstring>

#include "text/DebugLog.h"

namespace fonexa {

namespace {

// A phone that sends nothing but codes of its own where an answer belongs is
// broken; after this many the answer counts as missing.
constexpr int kMaxForeignCodes = 32;

uint64_t NowMs() {
  return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                   std::chrono::steady_clock::now().time_since_epoch())
                                   .count());
}

bool IsCapitalOrDigit(char c) { return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); }

bool EndsWithLineEnd(const std::string& line) {
  return line.size() >= 2 && line.compare(line.size() - 2, 2, "\r\n") == 0;
}

std::string WithoutLineEnd(const std::string& line) {
  return EndsWithLineEnd(line) ? line.substr(0, line.size() - 2) : line;
}

}  // namespace

std::string TokenizingReason(int missingField) {
  return "ERROR:Wrong Tokenizing:" + std::to_string(missingField) + ".";
}

std::string UnsolicitedPrefixOf(const std::string& line) {
  if (line.size() < 2) return {};
  if (line[0] == '+') {
    size_t end = 1;
    while (end < line.size() && IsCapitalOrDigit(line[end])) ++end;
    if (end == 1 || end >= line.size() || line[end] != ':') return {};
    return line.substr(0, end + 1);
  }
  if (line[0] == '^') {
    size_t end = 1;
    while (end < line.size() && line[end] >= 'A' && line[end] <= 'Z') ++end;
    return end == 1 ? std::string() : line.substr(0, end);
  }
  return {};
}

// ---- Pieces ------------------------------------------------------------------------

bool ServiceDialogue::Enter(const DialogueRow& row) {
  if (entered_) return true;
  entered_ = true;
  scope_ = row.scope;
  switch (row.discipline) {
    case Discipline::OpenedForOperation:
      if (!session_) {
        Leave(nullptr, row.notOpenedResult);
        return false;
      }
      // A failed open is balanced by a Close too; it leaves a zero count at zero.
      opened_ = true;
      if (session_->Open()) return true;
      Leave(row.notOpened, row.notOpenedResult);
      return false;
    case Discipline::NeedsOpenSession:
      if (session_ && session_->IsOpened()) return true;
      Leave(row.notOpened, row.notOpenedResult);
      return false;
    case Discipline::Unchecked:
      return true;
  }
  return false;
}

bool ServiceDialogue::Begin(const DialogueRow& row) {
  if (!Enter(row)) return false;
  Trace(row.send, row.command);
  const std::string echo = Send(row.command, row.sendMs);
  Trace(row.echo, echo);
  if (row.emptyEchoFails && echo.empty()) {
    Leave(nullptr, row.failed);
    return false;
  }
  return true;
}

bool ServiceDialogue::Blank(const DialogueRow& row) {
  const std::string first = Line(row.firstMs);
  Trace(row.first, first);
  if (first == "\r\n") return true;
  Leave(row.wrongFirst, row.failed);
  return false;
}

bool ServiceDialogue::Carries(const DialogueRow& row, const std::string& line) {
  if (!row.prefix) return true;
  const size_t length = std::strlen(row.prefix);
  if (line.compare(0, length, row.prefix) != 0) return false;
  return row.rule == PrefixRule::BeginsWith || line.size() > length;
}

bool ServiceDialogue::RaiseIfForeign(const DialogueRow& row, const std::string& line) {
  const std::string prefix = UnsolicitedPrefixOf(line);
  if (prefix.empty()) return false;
  const bool ours = row.prefix && prefix == row.prefix;
  if (ours && !(row.sharesPrefix && row.sharesPrefix(line))) return false;
  Trace("Unsolicited", line);
  session_->_TranslateEvent(CMxGsmBasics::kEventRaw, WithoutLineEnd(line), 0);
  // Counted as the session's reader counts the codes it handles, so that the
  // event thread does not wait for a code that was read here.
  session_->SetRingEventProcessed();
  return true;
}

std::string ServiceDialogue::InfoLine(const DialogueRow& row) {
  const bool screened = row.prefix != nullptr;
  std::string line = row.infoRead == InfoRead::Final ? Final(row.infoMs) : Line(row.infoMs);
  for (int skipped = 0; screened && skipped < kMaxForeignCodes && RaiseIfForeign(row, line); ++skipped) {
    if (row.infoRead == InfoRead::Final) {
      line = Final(row.infoMs);
      continue;
    }
    // The code came framed in line ends of its own; the answer's blank line follows it.
    line = Line(row.infoMs);
    if (line == "\r\n") line = Line(row.infoMs);
  }
  Trace(row.info, line);
  return line;
}

int ServiceDialogue::Finish(const DialogueRow& row, const Verdict& verdict) {
  const std::string final = Final(row.finalMs);
  Trace(row.final, final);
  if (!verdict.closing.empty()) TraceExit(verdict.closing.c_str());
  if (!IsOk(final)) return Leave(row.wrongFinal, row.failed);
  const char* ok = verdict.ok ? verdict.ok->c_str() : row.ok;
  return Leave(ok && *ok ? ok : nullptr, verdict.okResult.value_or(row.okResult));
}

void ServiceDialogue::TraceExit(const char* reason) const {
  if (reason && !scope_.empty()) TraceLog().Write("<--%s>>%s\r\n", scope_.c_str(), reason);
}

int ServiceDialogue::Leave(const char* reason, int result) {
  TraceExit(reason);
  Close();
  result_ = result;
  return result;
}

void ServiceDialogue::Close() {
  if (!opened_) return;
  opened_ = false;
  session_->Close();
}

std::string ServiceDialogue::Send(const std::string& command, uint32_t timeoutMs) {
  return session_->WriteCommandString(command, timeoutMs);
}

uint32_t ServiceDialogue::Bounded(uint32_t timeoutMs) const {
  if (deadline_ == 0) return timeoutMs;
  const uint64_t now = NowMs();
  if (now >= deadline_) return 0;
  return static_cast<uint32_t>(std::min<uint64_t>(timeoutMs, deadline_ - now));
}

std::string ServiceDialogue::Line(uint32_t timeoutMs) {
  if (unread_) {
    std::string line = std::move(*unread_);
    unread_.reset();
    return line;
  }
  const uint32_t bounded = Bounded(timeoutMs);
  if (bounded == 0) return {};
  return session_->ReadAnswerLineString(static_cast<int>(bounded));
}

std::string ServiceDialogue::Final(uint32_t timeoutMs) {
  // A blank line given back by a parse step that read past its information
  // line opens the final read as the phone's own would.
  if (unread_) {
    if (Line(timeoutMs) != "\r\n") return {};
    return Line(timeoutMs);
  }
  const uint32_t bounded = Bounded(timeoutMs);
  if (bounded == 0) return {};
  return session_->ReadAnswerString(static_cast<int>(bounded), 0);
}

void ServiceDialogue::Trace(const TraceLabel& label, const std::string& text) const {
  if (!label.name || scope_.empty()) return;
  if (!*label.name) {
    TraceLog().Write("%s", text.c_str());
    return;
  }
  TraceLog().Write("%s>>%s%s%s%s\r\n", scope_.c_str(), label.name, label.open, text.c_str(), label.close);
}

// ---- The three forms -------------------------------------------------------------

int ServiceDialogue::Command(const DialogueRow& row) {
  if (!Begin(row)) return result_;
  return Finish(row);
}

int ServiceDialogue::Query(const DialogueRow& row, const Parse& parse) {
  if (!Begin(row)) return result_;
  if (row.infoRead == InfoRead::Line && !Blank(row)) return result_;
  const std::string line = InfoLine(row);
  if (row.refused) {
    const bool tooShort = row.rule == PrefixRule::CarriesMoreThan && row.prefix && line.size() <= std::strlen(row.prefix);
    if (IsError(line) || tooShort) return Leave(row.refused, row.failed);
  }
  if (!Carries(row, line)) {
    if (row.absent == WhenAbsent::Fails) return Leave(row.wrongInfo, row.failed);
    if (row.absent == WhenAbsent::Skipped) return Finish(row);
  }
  const Verdict verdict = parse(line);
  if (!verdict.failure.empty()) return Leave(verdict.failure, row.failed);
  return Finish(row, verdict);
}

int ServiceDialogue::Listing(const ListingRow& listing, const Entry& entry) {
  const DialogueRow& row = listing.row;
  if (!Enter(row)) return result_;
  if (listing.deadlineMs) deadline_ = NowMs() + listing.deadlineMs;
  if (!Begin(row)) return result_;
  if (row.wrongFirst && !Blank(row)) return result_;
  if (listing.opening && !scope_.empty()) TraceLog().Write("%s>>%s\r\n", scope_.c_str(), listing.opening);
  size_t entries = 0;
  for (;;) {
    const std::string line = Line(listing.lineMs);
    Trace(listing.line, line);
    if (listing.observe) listing.observe(line);
    if (line.empty() || !EndsWithLineEnd(line)) {
      if (deadline_ && NowMs() >= deadline_) return Leave(listing.overdue, row.failed);
      return Leave(listing.silence, row.failed);  // what was read stays
    }
    if (line == "\r\n") continue;
    // An entry is never a final result, whatever its text holds (a contact
    // called "TERROR", an operator name with "ERROR" in it).
    if (row.prefix && Carries(row, line)) {
      if (listing.maxEntries && entries >= listing.maxEntries) return Leave(listing.tooMany, row.failed);
      ++entries;
      const std::string failure = entry(line);
      if (!failure.empty()) return Leave(failure, row.failed);
      continue;
    }
    if (IsOk(line)) {
      if (listing.afterOk) listing.afterOk(session_);
      return Leave(row.ok, row.okResult);
    }
    if (IsError(line)) return Leave(listing.error, row.failed);
    if (row.prefix) {
      RaiseIfForeign(row, line);  // anything else is passed over
      continue;
    }
    // Without an entry prefix every information line is an entry.
    if (listing.maxEntries && entries >= listing.maxEntries) return Leave(listing.tooMany, row.failed);
    ++entries;
    const std::string failure = entry ? entry(line) : std::string();
    if (!failure.empty()) return Leave(failure, row.failed);
  }
}

// ---- Shared rows -------------------------------------------------------------------

int AcknowledgeDeliveredMessage(CMxGsmBasics* session, int n) {
  if (!session) return 0;
  TraceLog().Write("\r\n-->CMxGsmSms::SetMessageAknowledge(%i)\r\n", n);
  return ServiceDialogue(session).Command({
      .scope = "CMxGsmSms::SetMessageAknowledge",
      .command = "AT+CNMA=" + std::to_string(n) + "\r",
      .discipline = Discipline::NeedsOpenSession,
      .notOpened = "ERROR:Can't open the port.",
      .final = Dotted("Response"),
      .wrongFinal = "ERROR:Wrong Response.",
  });
}

}  // namespace fonexa
