// call: dial and wait for the outcome, answer, hang up, list, multiparty.
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>

#include "CommandError.h"
#include "Commands.h"
#include "EventDescriptions.h"
#include "Progress.h"
#include "StopRequest.h"
#include "TextEncoding.h"
#include "fonexa/Fonexa.h"

namespace fonexa::cli {

using namespace Mebrix::Fonexa;

namespace {

const NameTable kDirections = {{"outgoing", 0}, {"incoming", 1}};
const NameTable kModes = {{"voice", 0}, {"data", 1}, {"fax", 2}};
// GSM 07.07 +CHLD, as the engine numbers them.
const NameTable kMultipartyActions = {{"release-held", 0}, {"release-active", 1}, {"release", 2},
                                      {"hold", 3},         {"split", 4},          {"join", 5}};

constexpr int kInterruptAttempts = 5;

struct DialOptions {
  std::string number;
  int wait = 90;
  int hangupAfter = -1;
};

struct MultipartyOptions {
  int action = -1;
  int index = -1;
};

// The dial's outcome arrives as an event on an engine thread.
class DialWatch {
 public:
  DialWatch() {
    cookie_ = Events::Register(FONEXA_EVENT_DIAL_END, [this](uint32_t, const std::string&, uint32_t value) {
      {
        std::lock_guard<std::mutex> guard(lock_);
        outcome_ = static_cast<int32_t>(value);
      }
      ended_.notify_all();
      StopRequest::wake();
    });
  }
  ~DialWatch() { Events::Unregister(cookie_); }

  // The outcome, or nothing when the time ran out or a stop was asked for.
  std::optional<int32_t> wait(std::chrono::seconds limit) {
    StopRequest::waitUntil([this] { return outcome().has_value(); }, limit);
    return outcome();
  }
  // The same, deaf to stop requests: after an interrupted dial, its end.
  std::optional<int32_t> waitForEnd(std::chrono::seconds limit) {
    std::unique_lock<std::mutex> guard(lock_);
    ended_.wait_for(guard, limit, [this] { return outcome_.has_value(); });
    return outcome_;
  }

 private:
  std::optional<int32_t> outcome() {
    std::lock_guard<std::mutex> guard(lock_);
    return outcome_;
  }

  uint32_t cookie_ = 0;
  std::mutex lock_;
  std::condition_variable ended_;
  std::optional<int32_t> outcome_;
};

void dial(CommandContext& context, const DialOptions& options) {
  const std::string number = toEngine(options.number, "phone number");
  context.connect();
  DialWatch watch;
  context.out().note("dialling " + options.number);
  if (!Call::Dial(number.c_str())) {
    refused("the phone refused to dial " + options.number +
            " (another dial is under way, or the number has characters other than 0-9 * # + A-D and dial modifiers)");
  }
  std::optional<int32_t> outcome;
  {
    Progress progress("waiting for an answer", 0);
    outcome = watch.wait(std::chrono::seconds(options.wait));
    // The dial ends as "no carrier" once interrupted. The dial runs on an
    // engine thread: an interruption that comes before its command reached
    // the phone is lost, so it is repeated until the dial has ended.
    for (int attempt = 0; !outcome && attempt < kInterruptAttempts; ++attempt) {
      Call::InterruptDialing();
      outcome = watch.waitForEnd(std::chrono::seconds(1));
    }
  }
  const int32_t value = outcome.value_or(-1);
  Json record;
  record["number"] = options.number;
  record["outcome"] = dialOutcome(value);
  record["connected"] = value == 0;
  if (value == 0 && options.hangupAfter >= 0) {
    StopRequest::waitFor(std::chrono::seconds(options.hangupAfter));
    record["hung_up"] = Call::Hangup() == 1;
  }
  context.out().result(dialOutcome(value), record);
  // Not connected is the answer, already printed; the exit code says it.
  if (value != 0) throw CommandError(ExitCode::Refused, "");
}

// answer and hangup: one command to the phone, and what it did.
struct CallAction {
  int (*operation)();
  const char* refusal;
  const char* key;
  const char* done;
};
constexpr CallAction kAnswer = {Call::Answer, "the phone did not answer (is a call ringing?)", "answered", "answered"};
constexpr CallAction kHangup = {Call::Hangup, "the phone did not hang up", "hung_up", "hung up"};

void act(CommandContext& context, const CallAction& action) {
  context.connect();
  if (!action.operation()) refused(action.refusal);
  Json record;
  record[action.key] = true;
  context.out().result(action.done, record);
}

void list(CommandContext& context) {
  context.connect();
  std::vector<Call::CallEntry> calls;
  if (!Call::ListCurrentCalls(calls)) refused("the phone did not list its calls");
  Json rows = Json::array();
  for (const auto& call : calls) {
    Json record;
    record["index"] = call.GetIndex();
    record["direction"] = nameOf(kDirections, call.GetDirection());
    record["state"] = callState(call.GetState());
    record["mode"] = nameOf(kModes, call.GetMode());
    record["multiparty"] = call.GetMultiparty() == 1;
    record["number"] = latin1ToUtf8(call.GetPhoneNumber());
    record["name"] = latin1ToUtf8(call.GetName());
    rows.push_back(record);
  }
  context.out().table(rows,
                      {{"index", "INDEX"}, {"direction", "DIRECTION"}, {"state", "STATE"}, {"mode", "MODE"},
                       {"multiparty", "MULTIPARTY"}, {"number", "NUMBER"}},
                      "no calls");
}

void multiparty(CommandContext& context, const MultipartyOptions& options) {
  // release and split name one call; the others work on all of them.
  const bool needsIndex = options.action == 2 || options.action == 4;
  if (needsIndex && options.index < 0) badUsage(nameOf(kMultipartyActions, options.action) + " needs the call's INDEX");
  if (!needsIndex && options.index >= 0) badUsage(nameOf(kMultipartyActions, options.action) + " takes no INDEX");
  context.connect();
  if (!Call::ManageMultiparty(options.action, options.index)) {
    refused("the phone refused " + nameOf(kMultipartyActions, options.action));
  }
  Json record;
  record["action"] = nameOf(kMultipartyActions, options.action);
  record["index"] = needsIndex ? Json(options.index) : Json(nullptr);
  context.out().result("done: " + nameOf(kMultipartyActions, options.action), record);
}

}  // namespace

void addCallCommands(CLI::App& app, CommandContext& context) {
  CLI::App* family = app.add_subcommand("call", "Voice calls: dial, answer, hang up, list, multiparty");
  family->require_subcommand(1);

  auto dialing = std::make_shared<DialOptions>();
  CLI::App* dialCommand = family->add_subcommand("dial", "Dial a number and wait for the outcome");
  dialCommand->add_option("NUMBER", dialing->number, "the number to call")->required();
  dialCommand->add_option("--wait", dialing->wait, "seconds to wait for the outcome (default 90)")
      ->check(CLI::Range(1, 600));
  dialCommand->add_option("--hangup-after", dialing->hangupAfter, "hang up this many seconds after the call connects")
      ->check(CLI::Range(0, 86400));
  dialCommand->callback([&context, dialing] { dial(context, *dialing); });

  family->add_subcommand("answer", "Answer the ringing call")->callback([&context] { act(context, kAnswer); });
  family->add_subcommand("hangup", "End the calls")->alias("hang-up")->callback([&context] { act(context, kHangup); });
  family->add_subcommand("list", "The calls in progress")->callback([&context] { list(context); });

  auto party = std::make_shared<MultipartyOptions>();
  CLI::App* partyCommand = family->add_subcommand("multiparty", "Hold, join, split and release calls");
  partyCommand
      ->add_option("ACTION", party->action,
                   "release-held, release-active (and accept the other), release INDEX, hold (the active, accept the "
                   "other), split INDEX (hold all but it), join")
      ->required()
      ->transform(CLI::CheckedTransformer(kMultipartyActions, CLI::ignore_case));
  partyCommand->add_option("INDEX", party->index, "the call, as call list shows it")->check(CLI::Range(0, 7));
  partyCommand->callback([&context, party] { multiparty(context, *party); });
}

}  // namespace fonexa::cli
