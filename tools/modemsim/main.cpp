// fonexa-modemsim: a virtual GSM phone on a pseudo-terminal. The device path
// is the first line of standard output; control commands come one per line
// on standard input; end of input or SIGTERM stops it.
#include <poll.h>
#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>

#include "sim/control/ControlConsole.h"
#include "sim/profiles/DeviceProfiles.h"
#include "sim/VirtualModem.h"

using fonexa::sim::ControlConsole;
using fonexa::sim::ModemOptions;
using fonexa::sim::VirtualModem;

namespace {

void usage(std::FILE* out) {
  std::string profiles;
  for (const auto& id : fonexa::sim::deviceProfileIds()) profiles += (profiles.empty() ? "" : ", ") + id;
  std::fprintf(out,
               "Usage: fonexa-modemsim [options]\n"
               "\n"
               "Starts a virtual GSM phone on a fresh pseudo-terminal and prints the device path\n"
               "as the first line of standard output. Connect any serial program to that path\n"
               "(it speaks GSM 07.07 / 07.05 AT commands, SMS in PDU and text mode). Control\n"
               "commands are read one per line from standard input; end of input or SIGTERM\n"
               "stops it.\n"
               "\n"
               "Options:\n"
               "  --profile NAME     identity and capacities: %s (default generic)\n"
               "  --pin CODE         the SIM asks for this PIN at power-up (default: no PIN asked, PIN 1234)\n"
               "  --puk CODE         the SIM's PUK (default 12345678)\n"
               "  --pin2 CODE        the SIM's PIN2 (default 5678)\n"
               "  --puk2 CODE        the SIM's PUK2 (default 87654321)\n"
               "  --no-sim           no SIM card in the phone\n"
               "  --speed BPS        line speed in bytes per second, both directions; 960 is a\n"
               "                     9600-baud line (default: as fast as the pty)\n"
               "  --link PATH        also make PATH a symbolic link to the device\n"
               "  --state FILE       start from the JSON state in FILE if it exists and write the\n"
               "                     state back at exit (messages, phone books, SIM codes, ...)\n"
               "  --registration-delay MS  time from a usable SIM to registration (default 200)\n"
               "  --transcript FILE  write every byte in and out, with its time, to FILE at exit\n"
               "  --quiet            print nothing but the device path and the control answers\n"
               "  --help             this text\n"
               "\n"
               "%s"
               "\n"
               "Example:\n"
               "  fonexa-modemsim --profile ericsson --pin 1234 --link /tmp/modem\n"
               "  then: picocom /tmp/modem, and type ATI, AT+CPIN=1234, AT+CSQ ...\n",
               profiles.c_str(), ControlConsole::help().c_str());
}

bool takeValue(int argc, char** argv, int& i, std::string& value) {
  if (i + 1 >= argc) {
    std::fprintf(stderr, "fonexa-modemsim: %s needs a value\n", argv[i]);
    return false;
  }
  value = argv[++i];
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  ModemOptions options;
  bool quiet = false;
  std::string transcriptFile;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    std::string value;
    if (a == "--help" || a == "-h") {
      usage(stdout);
      return 0;
    } else if (a == "--profile") {
      if (!takeValue(argc, argv, i, options.profile)) return 2;
    } else if (a == "--pin") {
      if (!takeValue(argc, argv, i, options.codes.pin)) return 2;
      options.pinRequired = true;
    } else if (a == "--puk") {
      if (!takeValue(argc, argv, i, options.codes.puk)) return 2;
    } else if (a == "--pin2") {
      if (!takeValue(argc, argv, i, options.codes.pin2)) return 2;
    } else if (a == "--puk2") {
      if (!takeValue(argc, argv, i, options.codes.puk2)) return 2;
    } else if (a == "--no-sim") {
      options.simPresent = false;
    } else if (a == "--speed") {
      if (!takeValue(argc, argv, i, value)) return 2;
      options.bytesPerSecond = std::atoi(value.c_str());
    } else if (a == "--link") {
      if (!takeValue(argc, argv, i, options.linkPath)) return 2;
    } else if (a == "--state") {
      if (!takeValue(argc, argv, i, options.stateFile)) return 2;
    } else if (a == "--registration-delay") {
      if (!takeValue(argc, argv, i, value)) return 2;
      options.registrationDelay = std::chrono::milliseconds(std::atoi(value.c_str()));
    } else if (a == "--transcript") {
      if (!takeValue(argc, argv, i, transcriptFile)) return 2;
    } else if (a == "--quiet") {
      quiet = true;
    } else {
      std::fprintf(stderr, "fonexa-modemsim: unknown option %s (see --help)\n", a.c_str());
      return 2;
    }
  }

  // The modem's threads inherit this mask, so the signals reach only the
  // descriptor below and the program stops in an orderly way.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGTERM);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGHUP);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
  signal(SIGPIPE, SIG_IGN);
  const int signals = signalfd(-1, &stopSignals, SFD_CLOEXEC);

  VirtualModem modem(options);
  std::string error;
  if (!modem.start(&error)) {
    std::fprintf(stderr, "fonexa-modemsim: %s\n", error.c_str());
    return 1;
  }
  std::printf("%s\n", modem.devicePath().c_str());
  std::fflush(stdout);
  if (!quiet) {
    std::fprintf(stderr, "fonexa-modemsim: %s profile on %s%s%s; type help for control commands\n",
                 options.profile.c_str(), modem.devicePath().c_str(), options.linkPath.empty() ? "" : " linked from ",
                 options.linkPath.c_str());
  }

  ControlConsole console(modem);
  std::string pending;
  bool inputOpen = true;
  while (inputOpen && !console.quitRequested()) {
    pollfd fds[2] = {{STDIN_FILENO, POLLIN, 0}, {signals, POLLIN, 0}};
    if (poll(fds, 2, -1) < 0) continue;
    if (fds[1].revents & POLLIN) break;
    if (!(fds[0].revents & (POLLIN | POLLHUP | POLLERR))) continue;
    char buf[4096];
    const ssize_t n = read(STDIN_FILENO, buf, sizeof buf);
    if (n <= 0) {
      inputOpen = false;
    } else {
      pending.append(buf, static_cast<size_t>(n));
    }
    size_t eol;
    while ((eol = pending.find('\n')) != std::string::npos || (!inputOpen && !pending.empty())) {
      std::string line = pending.substr(0, eol == std::string::npos ? pending.size() : eol);
      pending.erase(0, eol == std::string::npos ? pending.size() : eol + 1);
      if (!line.empty() && line.back() == '\r') line.pop_back();
      const std::string answer = console.execute(line);
      std::fwrite(answer.data(), 1, answer.size(), stdout);
      std::fflush(stdout);
      if (console.quitRequested()) break;
    }
  }
  modem.stop();
  if (!transcriptFile.empty()) {
    std::ofstream out(transcriptFile, std::ios::trunc);
    out << modem.transcript().render();
    if (!out) {
      std::fprintf(stderr, "fonexa-modemsim: cannot write %s\n", transcriptFile.c_str());
      return 1;
    }
  }
  return 0;
}
