// A scripted stand-in for pppd. It is started the way the engine starts pppd
// ("call <entry> nodetach logfd 3 dump [file <options>]") and plays the script
// named by FAKE_PPPD_SCRIPT, one step a line:
//   say <text>     writes text and a line end to the log ("\t" is a tab)
//   chunks <text>  the same, three bytes at a time, 5 ms apart
//   sleep <ms>     waits
//   exit <code>    ends with that exit code
//   hang           waits until a signal ends it
//   ignore-term    ignores SIGTERM from here on
// Without a final exit it ends with 0. A SIGTERM it hears ends it as pppd ends:
// "Terminating on signal 15." in the log and exit code 5.
// When FAKE_PPPD_RECORD names a file it appends what it was given: "pid <n>",
// one "arg <a>" per argument, and for an options file its "mode <octal>" and
// one "option <line>" per line.
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <string>
#include <vector>

namespace {

volatile sig_atomic_t terminated = 0;
int logFd = 2;

void OnTerm(int) { terminated = 1; }

void WriteAll(const std::string& text) {
  size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = write(logFd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;
    done += static_cast<size_t>(n);
  }
}

void EndOnTerm() {
  if (!terminated) return;
  WriteAll("Terminating on signal 15.\n");
  _exit(5);
}

// Sleeps ms, waking for a SIGTERM.
void Pause(long ms) {
  timespec left{ms / 1000, (ms % 1000) * 1000000L};
  while (nanosleep(&left, &left) != 0 && errno == EINTR) EndOnTerm();
  EndOnTerm();
}

std::string Unescape(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == 't') {
      out += '\t';
      ++i;
    } else {
      out += text[i];
    }
  }
  return out;
}

void Record(const std::vector<std::string>& args) {
  const char* path = getenv("FAKE_PPPD_RECORD");
  if (!path) return;
  std::ofstream out(path, std::ios::app);
  out << "pid " << getpid() << "\n";
  for (size_t i = 0; i < args.size(); ++i) {
    out << "arg " << args[i] << "\n";
    if (args[i] == "file" && i + 1 < args.size()) {
      struct stat st {};
      if (stat(args[i + 1].c_str(), &st) == 0) {
        char mode[8];
        std::snprintf(mode, sizeof mode, "%o", static_cast<unsigned>(st.st_mode & 0777));
        out << "mode " << mode << "\n";
      }
      std::ifstream options(args[i + 1]);
      for (std::string line; std::getline(options, line);) out << "option " << line << "\n";
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  for (size_t i = 0; i + 1 < args.size(); ++i) {
    if (args[i] == "logfd") logFd = std::atoi(args[i + 1].c_str());
  }
  struct sigaction action {};
  action.sa_handler = OnTerm;
  sigaction(SIGTERM, &action, nullptr);
  Record(args);

  const char* script = getenv("FAKE_PPPD_SCRIPT");
  std::ifstream steps(script ? script : "");
  for (std::string line; std::getline(steps, line);) {
    const size_t space = line.find(' ');
    const std::string verb = line.substr(0, space);
    const std::string rest = space == std::string::npos ? "" : line.substr(space + 1);
    if (verb == "say") {
      WriteAll(Unescape(rest) + "\n");
    } else if (verb == "chunks") {
      const std::string text = Unescape(rest) + "\n";
      for (size_t i = 0; i < text.size(); i += 3) {
        WriteAll(text.substr(i, 3));
        Pause(5);
      }
    } else if (verb == "sleep") {
      Pause(std::atol(rest.c_str()));
    } else if (verb == "exit") {
      return std::atoi(rest.c_str());
    } else if (verb == "hang") {
      for (;;) Pause(1000);
    } else if (verb == "ignore-term") {
      signal(SIGTERM, SIG_IGN);
    }
    EndOnTerm();
  }
  return 0;
}
