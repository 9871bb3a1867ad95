// at and diagnostics: the phone's own AT commands, raw, and the record of
// its answers to the test commands.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "CommandError.h"
#include "Commands.h"
#include "TextEncoding.h"
#include "fonexa/Fonexa.h"

namespace fonexa::cli {

using namespace Mebrix::Fonexa;

namespace {

std::vector<std::string> answerLines(const std::string& answer) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < answer.size()) {
    size_t end = answer.find_first_of("\r\n", start);
    if (end == std::string::npos) end = answer.size();
    if (end > start) lines.push_back(latin1ToUtf8(answer.substr(start, end - start)));
    start = end + 1;
  }
  return lines;
}

bool isErrorLine(const std::string& line) {
  return line == "ERROR" || line.rfind("+CME ERROR", 0) == 0 || line.rfind("+CMS ERROR", 0) == 0 ||
         line == "NO CARRIER" || line == "BUSY" || line == "NO DIALTONE" || line == "NO ANSWER";
}

void at(CommandContext& context, const std::vector<std::string>& words) {
  std::string command;
  for (const std::string& word : words) command += (command.empty() ? "" : " ") + word;
  command = toEngine(command, "command");
  // One command line: the carriage return that ends it is added here, and
  // one inside it would start a second command behind the engine's back.
  for (const char c : command) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) badUsage("the command holds a control character");
  }
  context.connect(SimNeed::Any);
  char answer[FONEXA_CUSTOM_RESPONSE_SIZE] = {};
  if (!Module::SendCustomAtCommand((command + "\r").c_str(), answer)) refused("the phone could not be reached");
  const std::vector<std::string> lines = answerLines(answer);
  const bool failed = lines.empty() || isErrorLine(lines.back());
  Json record;
  record["command"] = latin1ToUtf8(command);
  record["response"] = lines;
  record["ok"] = !failed;
  std::string text;
  for (const std::string& line : lines) text += (text.empty() ? "" : "\n") + line;
  context.out().result(lines.empty() ? "(no answer)" : text, record);
  if (failed) throw CommandError(ExitCode::Refused, "");
}

void diagnostics(CommandContext& context, const std::string& path) {
  std::string file = path;
  std::string temporary;
  if (file.empty()) {
    char pattern[] = "/tmp/fonexa-diagnostics-XXXXXX";
    const int fd = mkstemp(pattern);
    if (fd < 0) fileFailed("cannot make a temporary file for the diagnostics");
    close(fd);
    file = temporary = pattern;
  }
  context.connect(SimNeed::Any);
  const int done = Module::RunDiagnostics(file.c_str());
  std::vector<std::string> lines;
  {
    std::ifstream in(file, std::ios::binary);
    for (std::string line; std::getline(in, line);) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      lines.push_back(latin1ToUtf8(line));
    }
  }
  if (!temporary.empty()) std::remove(temporary.c_str());
  if (!done) refused("the diagnostics could not be recorded" + (path.empty() ? "" : " in " + path));
  Json record;
  record["file"] = path.empty() ? Json(nullptr) : Json(path);
  record["lines"] = lines;
  std::string text;
  if (path.empty()) {
    for (const std::string& line : lines) text += (text.empty() ? "" : "\n") + line;
  } else {
    text = "diagnostics written to " + path;
  }
  context.out().result(text, record);
}

}  // namespace

void addMaintenanceCommands(CLI::App& app, CommandContext& context) {
  auto words = std::make_shared<std::vector<std::string>>();
  CLI::App* raw = app.add_subcommand("at", "Send one AT command as it stands and print the phone's answer");
  raw->add_option("COMMAND", *words, "the command, as ATI or AT+CSQ")->required();
  raw->callback([&context, words] { at(context, *words); });

  auto path = std::make_shared<std::string>();
  CLI::App* diagnosis = app.add_subcommand("diagnostics", "The phone's answers to its test commands, for a support case");
  diagnosis->add_option("--output", *path, "write them to this file instead of printing them");
  diagnosis->callback([&context, path] { diagnostics(context, *path); });
}

}  // namespace fonexa::cli
