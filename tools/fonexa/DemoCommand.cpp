// demo: a guided tour of the command on the built-in virtual modem. Each
// step shows a command line and runs it; between steps the tour plays the
// network's part, so that a message and a call arrive as from outside.
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "CommandError.h"
#include "Commands.h"

namespace fonexa::cli {

namespace {

constexpr const char* kFriend = "+420606111222";
constexpr const char* kCaller = "+420777123456";
// Long enough for the monitor to be watching before the network acts.
constexpr std::chrono::milliseconds kNetworkPause{1500};

class Tour {
 public:
  Tour(CommandContext& context, CommandRunner run) : context_(context), run_(std::move(run)) {}

  void say(const std::string& title, const std::string& explanation) {
    if (context_.json()) {
      Json step;
      step["step"] = title;
      context_.out().streamed("", step);
      return;
    }
    std::printf("\n== %s ==\n%s\n", title.c_str(), explanation.c_str());
    std::fflush(stdout);
  }

  // Shows the command line and runs it; a failing step is told, and the tour goes on.
  void show(const std::vector<std::string>& arguments) {
    std::string line = "$ fonexa";
    for (const std::string& argument : arguments) {
      const bool quote = argument.find(' ') != std::string::npos;
      line += " " + (quote ? "\"" + argument + "\"" : argument);
    }
    context_.out().note(line);
    try {
      run_(arguments);
    } catch (const CommandError& error) {
      ++failures_;
      if (*error.what()) std::fprintf(stderr, "fonexa: %s\n", error.what());
    }
  }

  int failures() const { return failures_; }

 private:
  CommandContext& context_;
  CommandRunner run_;
  int failures_ = 0;
};

void demo(CommandContext& context, const CommandRunner& run) {
  context.preferBuiltInModem();
  context.connect();
  context.out().setCompact(true);
  sim::VirtualModem& network = context.builtInModem()->modem();
  Tour tour(context, run);

  tour.say("The phone", "A virtual GSM phone runs on a pseudo-terminal for this tour; every command below talks to\n"
                        "it through the Fonexa SDK, as it would to a phone on /dev/ttyUSB0.");
  tour.show({"identify"});
  tour.show({"status"});
  tour.show({"signal"});

  tour.say("The network", "The operator the phone is registered with, and the networks a search finds.");
  tour.show({"operator", "current"});
  tour.show({"operator", "list"});

  tour.say("Sending messages", "A short text is one message; a long one goes out in parts, counted first.");
  tour.show({"sms", "send", kFriend, "Hello from the Fonexa tour"});
  tour.show({"sms", "send", kFriend,
             "This text is longer than one message can carry, so the engine splits it into concatenated parts "
             "that share one reference number. The phone that receives them joins them again and shows one "
             "text, in the order the parts give, whatever order they arrived in. Each part holds up to 152 "
             "characters of the GSM alphabet."});

  tour.say("Receiving a message", "The network delivers a message in a moment; the monitor prints the event the\n"
                                  "engine raises for it. Messages kept in the phone are listed after it.");
  {
    // The message comes while the monitor watches: the phone hands it over
    // at once, and an event nobody watches is gone.
    std::thread sender([&network] {
      std::this_thread::sleep_for(kNetworkPause);
      network.injectSms(kCaller, "Welcome to the tour! Reply if you can read this.");
    });
    tour.show({"monitor", "--events", "new_message", "--count", "1", "--for", "20"});
    sender.join();
  }
  tour.show({"sms", "store", kFriend, "A draft, kept in the phone"});
  tour.show({"sms", "list"});

  tour.say("The phone book", "Entries written, listed, and exported as vCard for an address book.");
  tour.show({"phonebook", "write", kFriend, "Alice Novak"});
  tour.show({"phonebook", "write", kCaller, "Jose Muller"});
  tour.show({"phonebook", "list"});
  tour.show({"phonebook", "export", "--format", "vcard"});

  tour.say("Calls", "A call placed and its outcome, then a call that comes in, answered and ended.");
  tour.show({"call", "dial", kFriend, "--hangup-after", "1"});
  network.ring(kCaller);
  tour.show({"call", "list"});
  tour.show({"call", "answer"});
  tour.show({"call", "hangup"});

  tour.say("The SIM and the raw line", "The SIM's status, and any AT command sent as it stands.");
  tour.show({"pin", "status"});
  tour.show({"at", "ATI"});

  if (!context.json()) {
    std::printf("\n== Next ==\nOn a phone: fonexa --device GenericPhone@/dev/ttyUSB0 identify\n"
                "Every command has --help; fonexa --help lists them.\n");
    std::fflush(stdout);
  }
  if (tour.failures()) {
    throw CommandError(ExitCode::Refused, std::to_string(tour.failures()) + " step(s) of the tour failed");
  }
}

}  // namespace

void addDemoCommand(CLI::App& app, CommandContext& context, CommandRunner run) {
  app.add_subcommand("demo", "A guided tour of the commands on the built-in virtual modem")
      ->callback([&context, run] { demo(context, run); });
}

}  // namespace fonexa::cli
