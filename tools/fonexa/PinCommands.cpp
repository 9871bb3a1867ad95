// pin: the SIM's status, entering and changing codes, and the locks.
#include <signal.h>

#include <atomic>
#include <chrono>

#include "CommandError.h"
#include "Commands.h"
#include "SimCodes.h"
#include "StopRequest.h"
#include "TextEncoding.h"
#include "fonexa/Fonexa.h"

namespace fonexa::cli {

using namespace Mebrix::Fonexa;

namespace {

// The codes ChangePin takes, by the engine's kind numbers.
const NameTable kCodeKinds = {{"pin", 2},    {"pin2", 4},  {"ph-sim", 6}, {"ph-fsim", 8},
                              {"ph-net", 10}, {"ph-ns", 12}, {"ph-sp", 14}, {"ph-c", 16}};
const NameTable kLocks = {{"sc", 1}, {"fd", 2}};
const NameTable kLockDescriptions = {{"SIM PIN asked at power-up", 1}, {"fixed dialling", 2}};
const NameTable kSwitch = {{"off", 0}, {"on", 1}};

// How long the SIM may take to become ready once a code was accepted.
constexpr std::chrono::seconds kReadyWait{15};

struct CodeOptions {
  std::string code;
  std::string second;
  int kind = 2;
  int lock = -1;
  int on = -1;
  std::string password;
};

// "PIN", "PUK", "PIN2" ...: what the status code asks for, in a word.
std::string codeName(int status) {
  const SimStatus* known = findSimStatus(status);
  if (!known) return "code";
  const std::string word = known->word;
  return word.substr(word.rfind(' ') + 1);
}

bool waitsForUnblockingCode(int status) { return status == 3 || status == 5 || (status >= 7 && status % 2 == 1); }

std::string refusedWithAttempts(const std::string& what) {
  const std::string attempts = attemptsLeft(Protection::GetPinCounter());
  return "the phone refused the " + what + (attempts.empty() ? "" : ": " + attempts);
}

// The SIM is ready once the engine raises the module state 1.
bool waitUntilReady() {
  std::atomic<bool> ready{false};
  const uint32_t cookie = Events::Register(FONEXA_EVENT_MODULE_STATE, [&ready](uint32_t, const std::string&, uint32_t value) {
    if (value == 1) ready = true;
    StopRequest::wake();
  });
  // Registering tells the handler the state at once, so a SIM that is
  // ready already ends the wait straight away.
  StopRequest::waitUntil([&ready] { return ready.load(); }, kReadyWait);
  Events::Unregister(cookie);
  return ready || Module::GetState(4) == 1;
}

// The built-in prompt: the keypad dialog on a desktop, else the terminal.
int verifyWithPrompt() {
  // The prompt puts the terminal back itself when Ctrl-C comes and then lets
  // the signal end the program; for that it must reach the prompt's thread.
  sigset_t interrupts;
  sigemptyset(&interrupts);
  sigaddset(&interrupts, SIGINT);
  sigaddset(&interrupts, SIGTERM);
  pthread_sigmask(SIG_UNBLOCK, &interrupts, nullptr);
  const int result = Protection::AutoVerify();
  pthread_sigmask(SIG_BLOCK, &interrupts, nullptr);
  return result;
}

Json statusRecord(int status) {
  const SimStatus* known = findSimStatus(status);
  Json record;
  record["sim"] = known ? Json(known->word) : Json(nullptr);
  record["waits_for"] = known ? Json(known->waitsFor) : Json(nullptr);
  const int counter = status == 1 ? -1 : Protection::GetPinCounter();
  record["attempts_left"] = counter >= 0 ? Json(counter) : Json(nullptr);
  record["ready"] = status == 1;
  return record;
}

void status(CommandContext& context) {
  context.connect(SimNeed::Any);
  const int status = Protection::GetVerifyStatus();
  if (status < 0) refused("the phone did not report the SIM status");
  context.out().record(statusRecord(status));
}

void enter(CommandContext& context, const CodeOptions& options) {
  const std::string code = toEngine(options.code, "code");
  const std::string second = toEngine(options.second, "new PIN");
  context.connect(SimNeed::Any);
  const int status = Protection::GetVerifyStatus();
  if (status < 0) refused("the phone did not report the SIM status");
  Json record;
  if (status == 1) {
    record = statusRecord(status);
    record["entered"] = false;
    context.out().result("the SIM is ready; no code is needed", record);
    return;
  }
  if (code.empty()) {
    if (!verifyWithPrompt()) {
      refused("no code was accepted (the prompt was cancelled, or there is no terminal or display to ask on; "
              "give the code as an argument)");
    }
  } else {
    if (waitsForUnblockingCode(status) && second.empty()) {
      badUsage("the phone waits for the " + codeName(status) + ": give it and a new PIN, as: fonexa pin enter PUK NEWPIN");
    }
    if (!Protection::Verify(code.c_str(), second.c_str())) refused(refusedWithAttempts(codeName(status)));
  }
  if (!waitUntilReady()) {
    const int now = Protection::GetVerifyStatus();
    if (now != 1) refused(refusedWithAttempts(codeName(status)));
  }
  record = statusRecord(1);
  record["entered"] = true;
  context.out().result(codeName(status) + " accepted; the SIM is ready", record);
}

void change(CommandContext& context, const CodeOptions& options) {
  const std::string oldCode = toEngine(options.code, "old code");
  const std::string newCode = toEngine(options.second, "new code");
  context.connect(SimNeed::Any);
  if (!Protection::ChangePin(options.kind, oldCode.c_str(), newCode.c_str())) {
    refused(refusedWithAttempts("old " + nameOf(kCodeKinds, options.kind)));
  }
  Json record;
  record["changed"] = nameOf(kCodeKinds, options.kind);
  context.out().result("changed the " + nameOf(kCodeKinds, options.kind), record);
}

void locks(CommandContext& context, const CodeOptions& options) {
  const std::string password = toEngine(options.password, "password");
  context.connect();
  Json rows = Json::array();
  for (const auto& [name, type] : kLocks) {
    int state = -1;
    Json record;
    record["lock"] = name;
    record["description"] = nameOf(kLockDescriptions, type);
    record["on"] = Protection::GetLock(type, password.c_str(), state) && state >= 0 ? Json(state == 1) : Json(nullptr);
    rows.push_back(record);
  }
  context.out().table(rows, {{"lock", "LOCK"}, {"on", "ON"}, {"description", "WHAT"}}, "no locks");
}

void lock(CommandContext& context, const CodeOptions& options) {
  const std::string password = toEngine(options.password, "code");
  context.connect();
  if (!Protection::SetLock(options.lock, password.c_str(), options.on)) {
    refused(refusedWithAttempts("code for the " + nameOf(kLockDescriptions, options.lock) + " lock"));
  }
  Json record;
  record["lock"] = nameOf(kLocks, options.lock);
  record["on"] = options.on == 1;
  context.out().result(nameOf(kLockDescriptions, options.lock) + (options.on ? " is on" : " is off"), record);
}

}  // namespace

void addPinCommands(CLI::App& app, CommandContext& context) {
  CLI::App* family = app.add_subcommand("pin", "SIM codes: status, enter, change, locks");
  family->require_subcommand(1);
  family->add_subcommand("status", "What the SIM waits for, with the attempts left")->callback([&context] {
    status(context);
  });

  auto entering = std::make_shared<CodeOptions>();
  CLI::App* enterCommand = family->add_subcommand(
      "enter", "Enter the code the SIM waits for; without one, the built-in prompt asks for it");
  enterCommand->add_option("CODE", entering->code, "the PIN (or the PUK)");
  enterCommand->add_option("NEWPIN", entering->second, "after a PUK: the new PIN");
  enterCommand->callback([&context, entering] { enter(context, *entering); });

  auto changing = std::make_shared<CodeOptions>();
  CLI::App* changeCommand = family->add_subcommand("change", "Change a code");
  changeCommand->add_option("OLD", changing->code, "the code now")->required();
  changeCommand->add_option("NEW", changing->second, "the new code")->required();
  changeCommand->add_option("--kind", changing->kind, "pin (default), pin2, ph-sim, ph-fsim, ph-net, ph-ns, ph-sp or ph-c")
      ->transform(CLI::CheckedTransformer(kCodeKinds, CLI::ignore_case));
  changeCommand->callback([&context, changing] { change(context, *changing); });

  auto listing = std::make_shared<CodeOptions>();
  CLI::App* locksCommand = family->add_subcommand("locks", "Whether the PIN is asked at power-up and fixed dialling is on");
  locksCommand->add_option("--password", listing->password, "a password, for phones that want one to tell");
  locksCommand->callback([&context, listing] { locks(context, *listing); });

  auto setting = std::make_shared<CodeOptions>();
  CLI::App* lockCommand = family->add_subcommand("lock", "Switch a lock on or off");
  lockCommand->add_option("LOCK", setting->lock, "sc (PIN at power-up) or fd (fixed dialling)")
      ->required()
      ->transform(CLI::CheckedTransformer(kLocks, CLI::ignore_case));
  lockCommand->add_option("STATE", setting->on, "on or off")->required()->transform(CLI::CheckedTransformer(kSwitch, CLI::ignore_case));
  lockCommand->add_option("CODE", setting->password, "the PIN (sc) or PIN2 (fd)")->required();
  lockCommand->callback([&context, setting] { lock(context, *setting); });
}

}  // namespace fonexa::cli
