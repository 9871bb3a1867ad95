// phonebook: list, read, write, delete, storage, range, and the whole book
// exported to or imported from vCard and CSV files.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <optional>
#include <sstream>

#include "CommandError.h"
#include "Commands.h"
#include "PhoneBookFiles.h"
#include "Progress.h"
#include "StopRequest.h"
#include "TextEncoding.h"
#include "fonexa/Fonexa.h"

namespace fonexa::cli {

using namespace Mebrix::Fonexa;

namespace {

// The engine's phone-book storages, in its numbering.
const NameTable kBookStorages = {{"SM", 0}, {"FD", 1}, {"LD", 2}, {"MC", 3}, {"RC", 4}, {"ON", 5}, {"ME", 6}};
const NameTable kContactFormats = {{"vcard", static_cast<int>(ContactFormat::VCard)},
                                   {"csv", static_cast<int>(ContactFormat::Csv)}};

// Locations read per command while the whole book is listed: small enough
// for the progress bar to move, large enough not to multiply the dialogues.
constexpr int kLocationsPerRead = 10;

struct BookOptions {
  int storage = -1;  // -1: the phone's current storage
  int first = -1;
  int last = -1;
  int position = -1;
  std::string number;
  std::string name;
  std::string path;
  int format = -1;
};

// Names travel in the phone's own character set for phone books, which the
// engine leaves as the phone has it: IRA or GSM on most phones, where only
// ASCII arrives unchanged. Anything else is refused rather than altered.
// The engine refuses a double quote too (the name sits in quotes on the
// command line) but cannot say why; here the reason is given first.
std::string bookName(const std::string& name) {
  const std::string latin1 = toEngine(name, "name \"" + name + "\"");
  if (latin1.find('"') != std::string::npos) {
    badUsage("the name " + name + " holds a double quote, which a phone-book name cannot carry");
  }
  for (size_t i = 0; i < latin1.size(); ++i) {
    if (static_cast<unsigned char>(latin1[i]) >= 0x80) {
      badUsage("the name \"" + name + "\" holds \"" + latin1ToUtf8(latin1.substr(i, 1)) +
               "\", which phone-book names cannot carry: only ASCII reaches the phone unchanged");
    }
  }
  return latin1;
}

void useStorage(CommandContext& context, const BookOptions& options) {
  context.connect();
  if (options.storage >= 0 && !PhoneBook::SetStorage(options.storage)) {
    refused("the phone did not switch to the phone book " + nameOf(kBookStorages, options.storage));
  }
}

Json entryRecord(const PhoneBook::PhoneBookEntry& entry) {
  Json record;
  record["position"] = entry.GetPosition();
  record["number"] = latin1ToUtf8(entry.GetPhoneNumber());
  record["type"] = entry.GetType();
  record["name"] = latin1ToUtf8(entry.GetName());
  return record;
}

// The whole storage in one listing, its end unknown.
std::vector<PhoneBook::PhoneBookEntry> readWholeBook() {
  std::vector<PhoneBook::PhoneBookEntry> entries;
  Progress progress("reading the phone book", 0);
  if (!PhoneBook::ListEntries(-1, -1, entries)) refused("the phone did not list its phone book");
  return entries;
}

// The entries of first..last, or of the whole storage when both are -1.
std::vector<PhoneBook::PhoneBookEntry> readBook(int first, int last) {
  const bool whole = first < 0 || last < 0;
  if (whole) {
    int numberLength = 0, nameLength = 0;
    if (!PhoneBook::GetRangeInfo(first, last, numberLength, nameLength) || first < 0 || last < first) {
      return readWholeBook();
    }
  }
  std::vector<PhoneBook::PhoneBookEntry> entries;
  const int locations = last - first + 1;
  bool listingRefused = false;
  {
    Progress progress("reading the phone book", locations);
    for (int from = first; from <= last && !listingRefused; from += kLocationsPerRead) {
      if (StopRequest::requested()) {
        throw CommandError(ExitCode::Interrupted, "interrupted after " + std::to_string(from - first) + " of " +
                                                      std::to_string(locations) + " locations");
      }
      const int to = std::min(last, from + kLocationsPerRead - 1);
      std::vector<PhoneBook::PhoneBookEntry> chunk;
      if (!PhoneBook::ListEntries(from, to, chunk)) {
        if (!whole) refused("the phone did not list locations " + std::to_string(from) + " to " + std::to_string(to));
        listingRefused = true;
      }
      entries.insert(entries.end(), chunk.begin(), chunk.end());
      progress.advance(to - first + 1);
    }
  }
  // Some phones answer a stretch without entries with an error instead of
  // an empty listing; the whole book in one listing still works there.
  return listingRefused ? readWholeBook() : entries;
}

void list(CommandContext& context, const BookOptions& options) {
  useStorage(context, options);
  Json rows = Json::array();
  for (const auto& entry : readBook(options.first, options.last)) rows.push_back(entryRecord(entry));
  context.out().table(rows, {{"position", "POS"}, {"number", "NUMBER"}, {"name", "NAME"}}, "no entries");
}

void read(CommandContext& context, const BookOptions& options) {
  useStorage(context, options);
  PhoneBook::PhoneBookEntry entry;
  if (!PhoneBook::ReadEntry(options.position, entry)) {
    refused("there is no entry at position " + std::to_string(options.position));
  }
  context.out().record(entryRecord(entry));
}

void write(CommandContext& context, const BookOptions& options) {
  const std::string number = toEngine(options.number, "phone number");
  const std::string name = bookName(options.name);
  useStorage(context, options);
  if (!PhoneBook::WriteEntry(options.position, number.c_str(), name.c_str())) {
    refused(options.position < 0 ? "the phone did not store the entry (is the phone book full, or the number too long?)"
                                 : "the phone did not store the entry at position " + std::to_string(options.position));
  }
  Json record;
  record["position"] = options.position >= 0 ? Json(options.position) : Json(nullptr);
  record["number"] = options.number;
  record["name"] = options.name;
  context.out().result(options.position >= 0 ? "stored at position " + std::to_string(options.position)
                                             : "stored at the first free position",
                       record);
}

void remove(CommandContext& context, const BookOptions& options) {
  useStorage(context, options);
  if (!PhoneBook::DeleteEntry(options.position)) {
    refused("the phone did not delete position " + std::to_string(options.position));
  }
  Json record;
  record["deleted"] = options.position;
  context.out().result("deleted position " + std::to_string(options.position), record);
}

void storage(CommandContext& context, const BookOptions& options) {
  useStorage(context, options);
  int used = 0, total = 0;
  const int current = PhoneBook::GetStorage(used, total);
  if (current < 0) refused("the phone did not report its phone book");
  Json record;
  record["storage"] = nameOf(kBookStorages, current);
  record["used"] = used;
  record["total"] = total;
  context.out().record(record);
}

void range(CommandContext& context, const BookOptions& options) {
  useStorage(context, options);
  int first = 0, last = 0, numberLength = 0, nameLength = 0;
  if (!PhoneBook::GetRangeInfo(first, last, numberLength, nameLength)) {
    refused("the phone did not report the phone book's locations");
  }
  Json record;
  record["first"] = first;
  record["last"] = last;
  record["number_length"] = numberLength;
  record["name_length"] = nameLength;
  context.out().record(record);
}

bool toStandardStreams(const std::string& path) { return path.empty() || path == "-"; }

ContactFormat chosenFormat(const BookOptions& options) {
  if (options.format >= 0) return static_cast<ContactFormat>(options.format);
  if (toStandardStreams(options.path)) return ContactFormat::VCard;
  if (const auto format = contactFormatOf(options.path)) return *format;
  badUsage("cannot tell the format of " + options.path + " from its name; give --format vcard or --format csv");
}

void exportBook(CommandContext& context, const BookOptions& options) {
  const ContactFormat format = chosenFormat(options);
  useStorage(context, options);
  std::vector<ContactEntry> contacts;
  for (const auto& entry : readBook(-1, -1)) {
    contacts.push_back({entry.GetPosition(), latin1ToUtf8(entry.GetName()), latin1ToUtf8(entry.GetPhoneNumber())});
  }
  const std::string text = format == ContactFormat::VCard ? writeVCards(contacts) : writeCsv(contacts);
  if (toStandardStreams(options.path)) {
    if (context.json()) {
      // JSON throughout: the file's text travels as a field.
      Json record;
      record["format"] = nameOf(kContactFormats, static_cast<int>(format));
      record["entries"] = contacts.size();
      record["content"] = text;
      context.out().record(record);
      return;
    }
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
    return;
  }
  std::ofstream file(options.path, std::ios::binary);
  if (!file || !file.write(text.data(), static_cast<std::streamsize>(text.size())) || !file.flush()) {
    fileFailed("cannot write " + options.path);
  }
  Json record;
  record["file"] = options.path;
  record["format"] = nameOf(kContactFormats, static_cast<int>(format));
  record["entries"] = contacts.size();
  context.out().result("exported " + std::to_string(contacts.size()) + " entries to " + options.path, record);
}

void importBook(CommandContext& context, const BookOptions& options) {
  const ContactFormat format = chosenFormat(options);
  std::string text;
  if (toStandardStreams(options.path)) {
    text.assign(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
  } else {
    std::ifstream file(options.path, std::ios::binary);
    if (!file) fileFailed("cannot read " + options.path);
    std::ostringstream content;
    content << file.rdbuf();
    text = content.str();
  }
  const ContactFile contacts = format == ContactFormat::VCard ? readVCards(text) : readCsv(text);
  for (const std::string& reason : contacts.skipped) std::fprintf(stderr, "fonexa: skipped: %s\n", reason.c_str());
  // Every text is checked before the first write, so that a bad entry
  // halfway through does not leave half a book behind.
  struct Converted {
    int position;
    std::string name;
    std::string number;
  };
  std::vector<Converted> converted;
  for (const ContactEntry& entry : contacts.entries) {
    const std::string label = "entry \"" + entry.name + "\"";
    converted.push_back({entry.position, bookName(entry.name), toEngine(entry.number, label + "'s number")});
  }
  useStorage(context, options);
  Progress progress("importing", static_cast<int>(converted.size()));
  int written = 0;
  for (const Converted& entry : converted) {
    if (StopRequest::requested()) {
      throw CommandError(ExitCode::Interrupted, "interrupted after importing " + std::to_string(written) + " of " +
                                                    std::to_string(converted.size()) + " entries");
    }
    if (!PhoneBook::WriteEntry(entry.position, entry.number.c_str(), entry.name.c_str())) {
      refused("the phone did not store " + contacts.entries[written].name + " (" + contacts.entries[written].number +
              "); " + std::to_string(written) + " entries were imported before it");
    }
    progress.advance(++written);
  }
  Json record;
  record["imported"] = written;
  record["skipped"] = contacts.skipped.size();
  context.out().result("imported " + std::to_string(written) + " entries" +
                           (contacts.skipped.empty() ? "" : ", skipped " + std::to_string(contacts.skipped.size())),
                       record);
}

void addStorageOption(CLI::App* command, BookOptions& options) {
  command->add_option("--storage", options.storage, "the phone book to use: SM, FD, LD, MC, RC, ON or ME")
      ->transform(CLI::CheckedTransformer(kBookStorages, CLI::ignore_case));
}

}  // namespace

void addPhoneBookCommands(CLI::App& app, CommandContext& context) {
  CLI::App* family = app.add_subcommand("phonebook", "Phone book: list, read, write, delete, storage, range, import, export");
  family->require_subcommand(1);
  auto options = std::make_shared<BookOptions>();
  auto leaf = [&context, family, options](const std::string& name, const std::string& description,
                                          void (*action)(CommandContext&, const BookOptions&)) {
    CLI::App* command = family->add_subcommand(name, description);
    addStorageOption(command, *options);
    command->callback([&context, options, action] { action(context, *options); });
    return command;
  };

  CLI::App* listing = leaf("list", "The entries, the whole book unless a range is given", list);
  listing->add_option("--first", options->first, "the first location")->check(CLI::NonNegativeNumber);
  listing->add_option("--last", options->last, "the last location")->check(CLI::NonNegativeNumber);

  leaf("read", "One entry", read)->add_option("POSITION", options->position, "its location")->required()->check(CLI::NonNegativeNumber);

  CLI::App* writing = leaf("write", "Store an entry, at the first free location unless one is given", write);
  writing->add_option("NUMBER", options->number, "the phone number")->required();
  writing->add_option("NAME", options->name, "the name (UTF-8)")->required();
  writing->add_option("--position", options->position, "the location to write")->check(CLI::NonNegativeNumber);

  leaf("delete", "Delete an entry", remove)->add_option("POSITION", options->position, "its location")->required()->check(CLI::NonNegativeNumber);
  leaf("storage", "The phone book in use with its fill (--storage switches first)", storage);
  leaf("range", "The locations of the phone book and the longest number and name it takes", range);

  CLI::App* exporting = leaf("export", "Write the whole book as vCard or CSV", exportBook);
  exporting->add_option("FILE", options->path, "where to write (standard output when none or \"-\")");
  exporting->add_option("--format", options->format, "vcard or csv (default: from the file name, else vcard)")
      ->transform(CLI::CheckedTransformer(kContactFormats, CLI::ignore_case));

  CLI::App* importing = leaf("import", "Store the entries of a vCard or CSV file", importBook);
  importing->add_option("FILE", options->path, "what to read (\"-\" for standard input)")->required();
  importing->add_option("--format", options->format, "vcard or csv (default: from the file name, else vcard)")
      ->transform(CLI::CheckedTransformer(kContactFormats, CLI::ignore_case));
}

}  // namespace fonexa::cli
