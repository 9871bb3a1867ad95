// sms: send (long texts in parts, flash), list, read, delete, store, the
// message storage and the service centre.
#include <unistd.h>

#include <cstdio>
#include <iostream>
#include <iterator>
#include <optional>

#include "CommandError.h"
#include "Commands.h"
#include "Progress.h"
#include "SmsParts.h"
#include "TextEncoding.h"
#include "fonexa/Fonexa.h"

namespace fonexa::cli {

using namespace Mebrix::Fonexa;

namespace {

// The <stat> of GSM 07.05 PDU mode; 4 lists them all.
const NameTable kMessageStates = {{"unread", 0}, {"read", 1}, {"unsent", 2}, {"sent", 3}, {"all", 4}};
const NameTable kMessageStorages = {{"SM", 0}, {"ME", 1}, {"MT", 2}};

struct MessageOptions {
  std::string number;
  std::string text;
  bool flash = false;
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

Json messageRecord(const Sms::SmsEntry& entry) {
  Json record;
  record["index"] = entry.GetIndex();
  record["status"] = nameOf(kMessageStates, entry.GetState());
  record["number"] = latin1ToUtf8(entry.GetPhoneNumber());
  const std::string time = timeText(entry.GetTime());
  record["time"] = time.empty() ? Json(nullptr) : Json(time);
  record["service_centre"] = entry.GetProviderPhone()[0] ? Json(latin1ToUtf8(entry.GetProviderPhone())) : Json(nullptr);
  record["text"] = latin1ToUtf8(entry.GetMessageText());
  return record;
}

void send(CommandContext& context, const MessageOptions& options) {
  const std::string number = toEngine(options.number, "phone number");
  const std::string text = toEngine(messageText(options.text), "message text");
  const SmsParts parts = countSmsParts(text);
  if (options.flash && parts.count > 1) {
    badUsage("a flash message must fit one message; this text needs " + std::to_string(parts.count) + " parts");
  }
  context.connect();
  // The count comes first: a long text takes a while, part after part.
  context.out().note("sending " + std::string(options.flash ? "a flash message" : "a message") + " to " +
                     options.number + ": " + std::to_string(parts.count) + (parts.count == 1 ? " part" : " parts") +
                     ", " + alphabetName(parts.alphabet));
  int sent = 0;
  {
    std::optional<Progress> progress;
    if (parts.count > 1) progress.emplace("sending " + std::to_string(parts.count) + " parts", 0);
    sent = options.flash ? Sms::SendFlashMessage(number.c_str(), text.c_str())
                         : Sms::SendMessage(number.c_str(), text.c_str());
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
  context.out().result("sent", record);
}

void list(CommandContext& context, int status) {
  context.connect();
  std::vector<Sms::SmsEntry> messages;
  int listed = 0;
  {
    Progress progress("reading messages", 0);
    listed = Sms::ListMessages(status, messages);
  }
  if (!listed) refused("the phone did not list its messages");
  Json rows = Json::array();
  for (const auto& entry : messages) rows.push_back(messageRecord(entry));
  context.out().table(rows,
                      {{"index", "INDEX"}, {"status", "STATUS"}, {"number", "NUMBER"}, {"time", "TIME"},
                       {"text", "TEXT"}},
                      "no messages");
}

void read(CommandContext& context, int index) {
  context.connect();
  Sms::SmsEntry entry;
  if (!Sms::ReadMessage(index, entry)) refused("there is no message at index " + std::to_string(index));
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
  sending->callback([&context, message] { send(context, *message); });

  auto status = std::make_shared<int>(4);
  CLI::App* listing = family->add_subcommand("list", "The stored messages of a status");
  listing->add_option("--status", *status, "all (default), unread, read, unsent or sent")
      ->transform(CLI::CheckedTransformer(kMessageStates, CLI::ignore_case));
  listing->callback([&context, status] { list(context, *status); });

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
