// sms: send (long texts in parts, flash, with a delivery report), list
// (long messages joined, or part by part), read, delete, store, the message
// storage and the service centre.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <iostream>
#include <iterator>
#include <optional>

#include "CommandError.h"
#include "Commands.h"
#include "Progress.h"
#include "SmsParts.h"
#include "StopRequest.h"
#include "TextEncoding.h"
#include "fonexa/Fonexa.h"

namespace fonexa::cli {

using namespace Mebrix::Fonexa;

namespace {

// The <stat> of GSM 07.05 PDU mode; 4 lists them all.
const NameTable kMessageStates = {{"unread", 0}, {"read", 1}, {"unsent", 2}, {"sent", 3}, {"all", 4}};
const NameTable kMessageStorages = {{"SM", 0}, {"ME", 1}, {"MT", 2}};
// The GSM 03.40 message type of a stored message.
const NameTable kMessageKinds = {{"received", FONEXA_SMS_KIND_RECEIVED},
                                 {"outgoing", FONEXA_SMS_KIND_OUTGOING},
                                 {"status_report", FONEXA_SMS_KIND_STATUS_REPORT}};

// How long `send --report` waits for the network's word when not told: long
// enough for a network that delivers at once and for the background
// monitor's five-second look at the store, short enough for a script.
constexpr int kDefaultReportWaitSeconds = 30;

struct MessageOptions {
  std::string number;
  std::string text;
  bool flash = false;
  bool report = false;
  int waitSeconds = kDefaultReportWaitSeconds;
};

struct ListOptions {
  int status = 4;
  bool parts = false;
};

// The text argument, or standard input when it is "-" or not given.
std::string messageText(const std::string& argument) {
  if (!argument.empty() && argument != "-") return argument;
  if (isatty(STDIN_FILENO)) badUsage("give the message text as an argument, or pipe it in");
  std::string text((std::istreambuf_iterator<char>(std::cin)), std::istreambuf_iterator<char>());
  if (!text.empty() && text.back() == '\n') text.pop_back();
  if (text.empty()) badUsage("the message text is empty");
  return text;
}

std::string timeText(const SYSTEMTIME& time) {
  if (time.wYear == 0) return "";
  char text[64];
  std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", time.wYear, time.wMonth, time.wDay, time.wHour,
                time.wMinute, time.wSecond);
  return text;
}

Json timeOrNull(const SYSTEMTIME& time) {
  const std::string text = timeText(time);
  return text.empty() ? Json(nullptr) : Json(text);
}

Json textOrNull(const char* text) { return text[0] ? Json(text) : Json(nullptr); }

// One stored part or report, texts as the engine gives them in UTF-8.
Json messageRecord(const Sms::SmsUtf8Entry& entry) {
  Json record;
  record["index"] = entry.GetIndex();
  record["status"] = nameOf(kMessageStates, entry.GetState());
  record["kind"] = nameOf(kMessageKinds, entry.GetKind());
  record["number"] = entry.GetPhoneNumber();
  record["time"] = timeOrNull(entry.GetTime());
  record["service_centre"] = textOrNull(entry.GetProviderPhone());
  const bool longMessage = entry.GetPartCount() > 1;
  record["part"] = longMessage ? Json(entry.GetPartNumber()) : Json(nullptr);
  record["parts"] = entry.GetPartCount();
  record["reference"] = longMessage ? Json(entry.GetPartReference()) : Json(nullptr);
  record["part_of"] =
      longMessage ? Json(std::to_string(entry.GetPartNumber()) + "/" + std::to_string(entry.GetPartCount()))
                  : Json(nullptr);
  if (entry.GetKind() == FONEXA_SMS_KIND_STATUS_REPORT) {
    record["report_reference"] = entry.GetReportReference();
    record["report_status"] = entry.GetReportStatus();
    record["discharge_time"] = timeOrNull(entry.GetDischargeTime());
  }
  record["text"] = entry.GetMessageText();
  return record;
}

// One message with the parts of a long one joined; "index" is where it
// stands in the listing, the place of its first part present.
Json joinedRecord(const Sms::JoinedSmsEntry& entry) {
  Json record;
  const std::vector<int>& indices = entry.GetPartIndices();
  const auto first = std::find_if(indices.begin(), indices.end(), [](int index) { return index >= 0; });
  record["index"] = first == indices.end() ? Json(nullptr) : Json(*first);
  Json indexList = Json::array();
  std::string indexText;
  for (const int index : indices) {
    indexList.push_back(index >= 0 ? Json(index) : Json(nullptr));
    indexText += (indexText.empty() ? "" : ",") + (index >= 0 ? std::to_string(index) : std::string("-"));
  }
  record["indices"] = indexList;
  record["index_list"] = indexText;
  record["status"] = nameOf(kMessageStates, entry.GetState());
  record["kind"] = nameOf(kMessageKinds, entry.GetKind());
  record["number"] = entry.GetPhoneNumber();
  record["time"] = timeOrNull(entry.GetTime());
  record["service_centre"] = textOrNull(entry.GetProviderPhone());
  record["parts"] = entry.GetPartCount();
  record["missing"] = entry.GetMissingParts();
  record["reference"] = entry.GetPartCount() > 1 ? Json(entry.GetPartReference()) : Json(nullptr);
  // The table's mark: "3" for a whole message, "2 of 3" when one is missing.
  record["parts_shown"] = entry.IsComplete() ? std::to_string(entry.GetPartCount())
                                             : std::to_string(entry.GetPartCount() - entry.GetMissingParts()) +
                                                   " of " + std::to_string(entry.GetPartCount());
  record["text"] = entry.GetMessageText();
  record["text_length"] = entry.GetTextLength();
  return record;
}

// True when the last line of a phone's answer is "OK".
bool answeredOk(std::string answer) {
  while (!answer.empty() && (answer.back() == '\r' || answer.back() == '\n')) answer.pop_back();
  const size_t start = answer.find_last_of("\r\n");
  return answer.substr(start == std::string::npos ? 0 : start + 1) == "OK";
}

// The engine has the phone pass new messages to the terminal (+CNMI mt=2)
// and leaves reports as the phone keeps them, which on most phones is not at
// all. A send with a report asks for them, the engine's other settings kept:
// to the terminal (ds=1) when this run waits for them, into the store (ds=2)
// when it does not, so that a later listing finds them; the other where the
// phone refuses the first.
bool askForReports(bool stored) {
  const char* terminal = "AT+CNMI=1,2,0,1,0\r";
  const char* store = "AT+CNMI=1,2,0,2,0\r";
  for (const char* command : {stored ? store : terminal, stored ? terminal : store}) {
    char answer[FONEXA_CUSTOM_RESPONSE_SIZE] = {};
    if (Module::SendCustomAtCommand(command, answer) && answeredOk(answer)) return true;
  }
  return false;
}

// Waits for the network's word on a message sent with a report asked for,
// until it is final, the time is up, or the user stops it; the outcome.
int awaitDelivery(int messageId, int seconds) {
  const auto final = [messageId] {
    const int status = Sms::GetDeliveryStatus(messageId);
    return status == FONEXA_DELIVERY_DELIVERED || status == FONEXA_DELIVERY_FAILED;
  };
  const uint32_t cookie = Events::Register(FONEXA_EVENT_DELIVERY_REPORT, [messageId](uint32_t, const std::string&,
                                                                                   uint32_t value) {
    if (static_cast<int>(value) == messageId) StopRequest::wake();
  });
  {
    Progress progress("waiting for the delivery report", 0);
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (!final() && !StopRequest::requested()) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
      if (left.count() <= 0) break;
      if (StopRequest::waitUntil(final, std::min(left, std::chrono::milliseconds(1000)))) continue;
      // The session reads what the phone sent on its own only while it
      // talks to it: a short question each second lets it meet a report
      // delivered to the terminal without waiting for the monitor's cycle.
      int rssi = 0;
      Network::GetSignalQuality(rssi);
    }
  }
  Events::Unregister(cookie);
  if (StopRequest::requested()) throw CommandError(ExitCode::Interrupted, "stopped while waiting for the report");
  return Sms::GetDeliveryStatus(messageId);
}

void send(CommandContext& context, const MessageOptions& options) {
  const std::string number = toEngine(options.number, "phone number");
  const std::string text = checkedUtf8(messageText(options.text), "message text");
  // Any language: the engine sends the UTF-8 text as GSM 7-bit when the
  // alphabet and its extension table carry every character, else as UCS2.
  int alphabet = 0;
  const int count = CountSmsPartsUtf8(text.c_str(), &alphabet);
  if (count == 0) badUsage("the message text needs more than 255 parts");
  const SmsParts parts{alphabet == 0 ? SmsAlphabet::SevenBit : SmsAlphabet::Ucs2, count};
  if (options.flash && parts.count > 1) {
    badUsage("a flash message must fit one message; this text needs " + std::to_string(parts.count) + " parts");
  }
  context.connect();
  if (options.report && !askForReports(options.waitSeconds == 0)) {
    std::fprintf(stderr, "fonexa: the phone does not pass delivery reports on; the outcome will stay unknown\n");
  }
  // The count comes first: a long text takes a while, part after part.
  context.out().note("sending " + std::string(options.flash ? "a flash message" : "a message") + " to " +
                     options.number + ": " + std::to_string(parts.count) + (parts.count == 1 ? " part" : " parts") +
                     ", " + alphabetName(parts.alphabet) + (options.report ? ", delivery report asked for" : ""));
  int sent = 0;
  SmsSendResult delivery;
  {
    std::optional<Progress> progress;
    if (parts.count > 1) progress.emplace("sending " + std::to_string(parts.count) + " parts", 0);
    SmsSendOptions sendOptions;
    sendOptions.flash = options.flash;
    sendOptions.deliveryReport = options.report;
    sent = Sms::SendMessageUtf8(number.c_str(), text.c_str(), sendOptions, delivery) > 0 ? 1 : 0;
  }
  if (!sent) {
    refused(parts.count > 1 ? "the phone did not accept every part; parts sent before the failure stay sent"
                            : "the phone did not accept the message");
  }
  Json record;
  record["number"] = options.number;
  record["parts"] = parts.count;
  record["alphabet"] = alphabetName(parts.alphabet);
  record["flash"] = options.flash;
  record["sent"] = true;
  if (!options.report) {
    context.out().result("sent", record);
    return;
  }
  // The references name the message in the reports; the engine's message id
  // lives only as long as this run.
  record["references"] = delivery.references;
  std::string references;
  for (const int reference : delivery.references) {
    references += (references.empty() ? "" : ", ") + std::to_string(reference);
  }
  context.out().note("sent (reference" + std::string(delivery.references.size() == 1 ? " " : "s ") + references +
                     ")");
  if (options.waitSeconds == 0) {
    record["delivery"] = DeliveryStatusName(Sms::GetDeliveryStatus(delivery.messageId));
    context.out().result("not waiting: the phone stores the report; sms list --parts shows it by reference", record);
    return;
  }
  const int status = awaitDelivery(delivery.messageId, options.waitSeconds);
  record["delivery"] = DeliveryStatusName(status);
  const bool final = status == FONEXA_DELIVERY_DELIVERED || status == FONEXA_DELIVERY_FAILED;
  std::string said = DeliveryStatusName(status);
  if (!final) said += " after " + std::to_string(options.waitSeconds) + " s";
  context.out().result(said, record);
}

// The rows of a listing, one per message or one per part.
template <class Entry>
Json listedRows(int status, int (*listing)(int, std::vector<Entry>&), Json (*row)(const Entry&)) {
  std::vector<Entry> messages;
  int listed = 0;
  {
    Progress progress("reading messages", 0);
    listed = listing(status, messages);
  }
  if (!listed) refused("the phone did not list its messages");
  Json rows = Json::array();
  for (const auto& entry : messages) rows.push_back(row(entry));
  return rows;
}

void list(CommandContext& context, const ListOptions& options) {
  context.connect();
  if (options.parts) {
    context.out().table(listedRows<Sms::SmsUtf8Entry>(options.status, Sms::ListMessagesUtf8, messageRecord),
                        {{"index", "INDEX"}, {"status", "STATUS"}, {"number", "NUMBER"}, {"time", "TIME"},
                         {"part_of", "PART"}, {"text", "TEXT"}},
                        "no messages");
    return;
  }
  context.out().table(listedRows<Sms::JoinedSmsEntry>(options.status, Sms::ListJoinedMessages, joinedRecord),
                      {{"index_list", "INDEX"}, {"status", "STATUS"}, {"number", "NUMBER"}, {"time", "TIME"},
                       {"parts_shown", "PARTS"}, {"text", "TEXT"}},
                      "no messages");
}

void read(CommandContext& context, int index) {
  context.connect();
  Sms::SmsUtf8Entry entry;
  if (!Sms::ReadMessageUtf8(index, entry)) refused("there is no message at index " + std::to_string(index));
  context.out().record(messageRecord(entry));
}

void remove(CommandContext& context, const std::vector<int>& indexes) {
  context.connect();
  Json deleted = Json::array();
  for (const int index : indexes) {
    if (!Sms::DeleteMessage(index)) {
      refused("the phone did not delete message " + std::to_string(index) +
              (deleted.empty() ? "" : " (the ones before it are deleted)"));
    }
    deleted.push_back(index);
  }
  Json record;
  record["deleted"] = deleted;
  context.out().result(indexes.size() == 1 ? "deleted message " + std::to_string(indexes.front())
                                           : "deleted " + std::to_string(indexes.size()) + " messages",
                       record);
}

void store(CommandContext& context, const MessageOptions& options) {
  const std::string number = toEngine(options.number, "phone number");
  const std::string text = toEngine(messageText(options.text), "message text");
  const SmsParts parts = countSmsParts(text);
  if (parts.count > 1) {
    badUsage("a stored message must fit one message; this text needs " + std::to_string(parts.count) + " parts");
  }
  context.connect();
  const int index = Sms::WriteMessage(number.c_str(), text.c_str());
  if (index <= 0) refused("the phone did not store the message");
  Json record;
  record["index"] = index;
  context.out().result("stored as message " + std::to_string(index), record);
}

void storage(CommandContext& context, const std::string& name) {
  context.connect();
  if (!name.empty()) {
    int number = -1;
    for (const auto& [storageName, storageNumber] : kMessageStorages) {
      if (storageName == name) number = storageNumber;
    }
    if (!Sms::SetStorage(number)) refused("the phone did not switch to the message storage " + name);
  }
  int current = -1, used = 0, total = 0;
  if (!Sms::GetStorage(current, used, total)) refused("the phone did not report its message storage");
  Json record;
  record["storage"] = nameOf(kMessageStorages, current);
  record["used"] = used;
  record["total"] = total;
  context.out().record(record);
}

void serviceCentre(CommandContext& context, const std::string& number) {
  context.connect();
  if (!number.empty()) {
    const std::string engineNumber = toEngine(number, "service centre number");
    if (!Sms::SetServiceCenter(engineNumber.c_str())) refused("the phone did not take the service centre " + number);
  }
  char current[FONEXA_SERVICE_CENTER_SIZE] = {};
  int type = 0;
  if (!Sms::GetServiceCenter(current, type)) refused("the phone did not report its service centre");
  // The engine hands the number over as the phone sent it, quotes and all.
  std::string shownNumber = current;
  if (shownNumber.size() >= 2 && shownNumber.front() == '"' && shownNumber.back() == '"') {
    shownNumber = shownNumber.substr(1, shownNumber.size() - 2);
  }
  Json record;
  record["number"] = latin1ToUtf8(shownNumber);
  record["type"] = type;
  context.out().record(record);
}

}  // namespace

void addSmsCommands(CLI::App& app, CommandContext& context) {
  CLI::App* family = app.add_subcommand("sms", "Short messages: send, list, read, delete, store, storage, service centre");
  family->require_subcommand(1);

  auto message = std::make_shared<MessageOptions>();
  CLI::App* sending = family->add_subcommand("send", "Send a text; a long one goes out in parts, counted first");
  sending->add_option("NUMBER", message->number, "the recipient, as +420606111222")->required();
  sending->add_option("TEXT", message->text, "the text (UTF-8); \"-\" or none reads standard input");
  sending->add_flag("--flash", message->flash, "a class 0 message, shown at once and not stored (one part only)");
  sending->add_flag("--report", message->report,
                    "ask the network for a delivery report on every part, and wait for it");
  sending->add_option("--wait", message->waitSeconds,
                      "with --report: seconds to wait for the report (default 30; 0: the phone stores it)")
      ->check(CLI::Range(0, 3600));
  sending->callback([&context, message] { send(context, *message); });

  auto listOptions = std::make_shared<ListOptions>();
  CLI::App* listing =
      family->add_subcommand("list", "The stored messages of a status, the parts of each long message joined");
  listing->add_option("--status", listOptions->status, "all (default), unread, read, unsent or sent")
      ->transform(CLI::CheckedTransformer(kMessageStates, CLI::ignore_case));
  listing->add_flag("--parts", listOptions->parts, "one row per stored part, as the phone keeps them");
  listing->callback([&context, listOptions] { list(context, *listOptions); });

  auto index = std::make_shared<int>(0);
  CLI::App* reading = family->add_subcommand("read", "One stored message");
  reading->add_option("INDEX", *index, "its location in the current storage")->required()->check(CLI::NonNegativeNumber);
  reading->callback([&context, index] { read(context, *index); });

  auto indexes = std::make_shared<std::vector<int>>();
  CLI::App* deleting = family->add_subcommand("delete", "Delete stored messages");
  deleting->add_option("INDEX", *indexes, "their locations")->required()->check(CLI::NonNegativeNumber);
  deleting->callback([&context, indexes] { remove(context, *indexes); });

  auto stored = std::make_shared<MessageOptions>();
  CLI::App* storing = family->add_subcommand("store", "Store an outgoing message in the phone without sending it");
  storing->add_option("NUMBER", stored->number, "the recipient")->required();
  storing->add_option("TEXT", stored->text, "the text (one message); \"-\" or none reads standard input");
  storing->callback([&context, stored] { store(context, *stored); });

  auto storageName = std::make_shared<std::string>();
  CLI::App* storages = family->add_subcommand("storage", "Show the message storage, or switch to another");
  storages->add_option("STORAGE", *storageName, "SM (SIM), ME (phone) or MT (all)")
      ->check(CLI::IsMember({"SM", "ME", "MT"}, CLI::ignore_case));
  storages->callback([&context, storageName] { storage(context, *storageName); });

  auto centre = std::make_shared<std::string>();
  CLI::App* centres = family->add_subcommand("service-centre", "Show the service centre number, or set it");
  centres->alias("smsc");
  centres->add_option("NUMBER", *centre, "the new service centre number");
  centres->callback([&context, centre] { serviceCentre(context, *centre); });
}

}  // namespace fonexa::cli
