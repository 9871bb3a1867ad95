// answer-memory: the engine's peak memory while a phone sends a 10 MB answer.
//
// For each case a scripted phone in a child process (so that the 10 MB it
// sends are not counted here) answers one command with a huge reply; a
// session on the GenericPhone plug-in runs the operation that reads it. The
// program prints, per case, the operation's result, its time and the rise of
// this process's peak resident set (VmHWM, reset before the case) over the
// resident set before it. Needs FONEXA_PLUGIN_PATH (scripts/answer-memory.sh
// sets it).
//
//   answer-memory [MEGABYTES]     (10 by default)
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "ScriptedModem.h"
#include "fonexa/CMxGsmBasics.h"
#include "platform/Tick.h"
#include "services/CMxGsmNetwork.h"
#include "services/CMxGsmPhoneBook.h"
#include "services/CMxGsmSms.h"

namespace {

long StatusKb(const char* field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  const std::string prefix = std::string(field) + ":";
  while (std::getline(status, line)) {
    if (line.compare(0, prefix.size(), prefix) == 0) return std::atol(line.c_str() + prefix.size());
  }
  return -1;
}

void ResetPeak() {
  std::ofstream clear("/proc/self/clear_refs");
  clear << "5";
}

// Repeats unit until the text holds at least bytes.
std::string Repeated(const std::string& unit, size_t bytes) {
  std::string text;
  text.reserve(bytes + unit.size());
  while (text.size() < bytes) text += unit;
  return text;
}

struct Case {
  const char* name;
  const char* command;  // as the phone receives it, without "\r"
  std::function<std::string(size_t bytes)> answer;  // made in the phone's process only
  std::function<int(CMxGsmBasics&)> run;
};

// The phone: a child process with a scripted modem; its device path comes
// back through a pipe, and closing the pipe's other end ends it.
struct Phone {
  pid_t pid = -1;
  int control = -1;
  std::string path;
};

Phone StartPhone(const Case& c, size_t bytes) {
  int toParent[2];
  int toChild[2];
  if (pipe(toParent) != 0 || pipe(toChild) != 0) std::exit(2);
  Phone phone;
  phone.pid = fork();
  if (phone.pid == 0) {
    close(toParent[0]);
    close(toChild[1]);
    fonexa::testing::ScriptedModem modem;
    modem.On(c.command, c.answer(bytes));
    const std::string& path = modem.Path();
    if (write(toParent[1], path.c_str(), path.size() + 1) < 0) _exit(2);
    char byte;
    while (read(toChild[0], &byte, 1) > 0) {
    }
    _exit(0);  // the modem's thread may still be writing: no clean-up
  }
  close(toParent[1]);
  close(toChild[0]);
  char buffer[256] = {};
  size_t got = 0;
  while (got < sizeof buffer - 1) {
    const ssize_t n = read(toParent[0], buffer + got, 1);
    if (n <= 0 || buffer[got] == '\0') break;
    ++got;
  }
  close(toParent[0]);
  phone.path.assign(buffer, got);
  phone.control = toChild[1];
  return phone;
}

void StopPhone(Phone& phone) {
  close(phone.control);
  kill(phone.pid, SIGKILL);
  waitpid(phone.pid, nullptr, 0);
}

}  // namespace

int main(int argc, char** argv) {
  const size_t megabytes = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 10;
  const size_t bytes = megabytes * 1024 * 1024;
  std::vector<Case> cases;
  cases.push_back({"one line without an end, for AT+CSQ", "AT+CSQ",
                   [](size_t bytes) { return "\r\n+CSQ: " + Repeated("17,99,", bytes); }, [](CMxGsmBasics& session) {
                     int rssi = -1, ber = -1;
                     return CMxGsmNetwork(&session).GetSignalQuality(rssi, ber);
                   }});
  cases.push_back({"binary noise, for AT+CSQ", "AT+CSQ",
                   [](size_t bytes) { return Repeated(std::string("\x80\xff\x01\xfe\x7f\x13", 6), bytes); },
                   [](CMxGsmBasics& session) {
                     int rssi = -1, ber = -1;
                     return CMxGsmNetwork(&session).GetSignalQuality(rssi, ber);
                   }});
  cases.push_back({"+CPBR listing of 10 MB, for AT+CPBR=1,250", "AT+CPBR=1,250",
                   [](size_t bytes) {
                     return "\r\n" + Repeated("+CPBR: 1,\"+420777123456\",145,\"A name of some length\"\r\n", bytes) +
                            "\r\nOK\r\n";
                   },
                   [](CMxGsmBasics& session) {
                     std::vector<fonexa::PhoneBookEntry> list;
                     const int result = CMxGsmPhoneBook(&session).ReadPhoneBookEntries(1, 250, list);
                     std::printf("  entries kept: %zu\n", list.size());
                     return result;
                   }});
  cases.push_back({"+CMGL listing of 10 MB, for AT+CMGL=4", "AT+CMGL=4",
                   [](size_t bytes) {
                     return "\r\n" +
                            Repeated("+CMGL: 1,1,,24\r\n"
                                     "0791448720003023240DD0E474D81C0EBB010000111011315214000BE474D81C0EBB5DE3771B\r\n",
                                     bytes) +
                            "\r\nOK\r\n";
                   },
                   [](CMxGsmBasics& session) {
                     std::vector<fonexa::SmsEntry> list;
                     const int result = CMxGsmSms(&session).ReadSmsEntries(4, list);
                     std::printf("  messages kept: %zu\n", list.size());
                     return result;
                   }});
  cases.push_back({"one line of 10 MB, then OK, for AT+CPBR=1,250", "AT+CPBR=1,250",
                   [](size_t bytes) { return "\r\n+CPBR: 1,\"" + std::string(bytes, '5') + "\",129,\"A\"\r\n\r\nOK\r\n"; },
                   [](CMxGsmBasics& session) {
                     std::vector<fonexa::PhoneBookEntry> list;
                     return CMxGsmPhoneBook(&session).ReadPhoneBookEntries(1, 250, list);
                   }});

  std::printf("answer size: %zu MB\n", megabytes);
  long worst = 0;
  for (Case& c : cases) {
    Phone phone = StartPhone(c, bytes);
    long rise = -1;
    {
      CMxGsmBasics session;
      if (session.Create("GenericPhone@" + phone.path) != 1 || session.Initialize() != 1) {
        std::printf("%s: the session did not start\n", c.name);
        StopPhone(phone);
        return 1;
      }
      ResetPeak();
      const long before = StatusKb("VmRSS");
      const uint32_t start = fonexa::platform::TickCount();
      const int result = c.run(session);
      const uint32_t spent = fonexa::platform::TickCount() - start;
      rise = StatusKb("VmHWM") - before;
      std::printf("%s: result %d in %u ms, peak RSS %ld KB (+%ld KB over %ld KB before)\n", c.name, result, spent,
                  StatusKb("VmHWM"), rise, before);
      std::fflush(stdout);
      StopPhone(phone);
      session.TotalClose();
    }
    if (rise > worst) worst = rise;
  }
  std::printf("largest rise of the peak RSS: %ld KB\n", worst);
  return 0;
}
