// Several processes on one virtual modem (fonexa-modemsim behind a link):
// their dialogues never interleave on the line and no answer is lost, as the
// modem's own transcript shows; a process killed while it holds the device
// lock leaves the lock to the others.
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "TempDir.h"
#include "platform/Tick.h"

using fonexa::platform::TickCount;
using fonexa::testing::ReadWholeFile;
using fonexa::testing::TempDir;

namespace {

// A child process with its standard output (and, for the modem, its standard
// input) on pipes.
struct Child {
  pid_t pid = -1;
  int input = -1;   // its standard input, write end
  int output = -1;  // its standard output, read end
  std::shared_ptr<std::string> said = std::make_shared<std::string>();  // its output so far
};

// mutexNamespace, when given, is the child's FONEXA_MUTEX_NAMESPACE.
Child Spawn(const std::vector<std::string>& argv, const std::string& mutexNamespace = "") {
  int in[2], out[2];
  if (pipe(in) != 0 || pipe(out) != 0) return {};
  Child child;
  child.pid = fork();
  if (child.pid == 0) {
    dup2(in[0], 0);
    dup2(out[1], 1);
    for (int fd : {in[0], in[1], out[0], out[1]}) close(fd);
    if (!mutexNamespace.empty()) setenv("FONEXA_MUTEX_NAMESPACE", mutexNamespace.c_str(), 1);
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execv(args[0], args.data());
    _exit(127);
  }
  close(in[0]);
  close(out[1]);
  child.input = in[1];
  child.output = out[0];
  return child;
}

// Reads the child's output until it holds text; false at the deadline.
bool WaitForOutput(const Child& child, const std::string& text, uint32_t timeoutMs) {
  std::string& all = *child.said;
  const uint32_t start = TickCount();
  fcntl(child.output, F_SETFL, O_NONBLOCK);
  while (all.find(text) == std::string::npos && TickCount() - start < timeoutMs) {
    char buffer[256];
    const ssize_t n = read(child.output, buffer, sizeof buffer);
    if (n > 0) {
      all.append(buffer, static_cast<size_t>(n));
    } else if (n == 0) {
      break;
    } else {
      usleep(10000);
    }
  }
  return all.find(text) != std::string::npos;
}

// The exit status, or -1 when the child is still running at the deadline.
int WaitForExit(pid_t pid, uint32_t timeoutMs) {
  const uint32_t start = TickCount();
  for (;;) {
    int status = 0;
    if (waitpid(pid, &status, WNOHANG) == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
    if (TickCount() - start > timeoutMs) return -1;
    usleep(20000);
  }
}

std::string Unescape(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\' || i + 1 >= text.size()) {
      out += text[i];
      continue;
    }
    const char c = text[++i];
    if (c == 'r') out += '\r';
    else if (c == 'n') out += '\n';
    else if (c == 'x' && i + 2 < text.size()) {
      out += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
      i += 2;
    } else out += c;
  }
  return out;
}

// The modem's transcript read as a dialogue: every command line the modem
// received, and whether a command began before the one before it had its
// final result.
struct Dialogue {
  std::vector<std::string> commands;
  std::vector<std::string> overlaps;  // commands that arrived while another waited for its answer
  size_t unanswered = 0;
};

bool EndsWithFinalResult(const std::string& out) {
  for (const char* final : {"\r\nOK\r\n", "ERROR\r\n"}) {
    const std::string f = final;
    if (out.size() >= f.size() && out.compare(out.size() - f.size(), f.size(), f) == 0) return true;
  }
  return false;
}

Dialogue ReadDialogue(const std::string& transcript) {
  Dialogue d;
  std::istringstream lines(transcript);
  std::string line, command, answer;
  bool waiting = false;  // a command went in and its final result has not come out
  while (std::getline(lines, line)) {
    const size_t mark = line.find(' ');
    if (mark == std::string::npos || mark + 2 > line.size()) continue;
    const char direction = line[mark + 1];
    const std::string bytes = Unescape(line.substr(mark + 3));
    if (direction == '>') {
      for (char c : bytes) {
        if (waiting) {
          d.overlaps.push_back(command);
          waiting = false;
        }
        if (c == '\r') {
          d.commands.push_back(command);
          command.clear();
          answer.clear();
          waiting = true;
        } else {
          command += c;
        }
      }
    } else if (direction == '<' && waiting) {
      answer += bytes;
      if (EndsWithFinalResult(answer)) waiting = false;
    }
  }
  if (waiting) ++d.unanswered;
  return d;
}

class SharedModem : public ::testing::Test {
 protected:
  void SetUp() override {
    modem_ = Spawn({FONEXA_MODEMSIM, "--link", Link(), "--transcript", dir_.File("transcript.txt")});
    ASSERT_GT(modem_.pid, 0);
    // The link appears once the modem is up.
    for (int waited = 0; access(Link().c_str(), F_OK) != 0; waited += 10) {
      ASSERT_LT(waited, 10000) << "fonexa-modemsim did not start";
      usleep(10000);
    }
  }
  void TearDown() override {
    for (const Child& w : workers_) {
      kill(w.pid, SIGKILL);
      waitpid(w.pid, nullptr, 0);
    }
    StopModem();
  }

  std::string Link() const { return dir_.File("ttyUSB0"); }
  // The workers of one test share a device lock of their own, apart from the
  // workers of a test running beside it on another modem.
  std::string MutexNamespace() const {
    const char* base = std::getenv("FONEXA_MUTEX_NAMESPACE");
    return std::string(base ? base : "reliability") + "-" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name() + "-" + std::to_string(getpid());
  }
  std::string Go() const { return dir_.File("go"); }

  // Starts a worker and waits until its instance is initialised. Workers come
  // up one at a time: opening the port reads the line until it falls silent
  // and switching echo off is not under the device lock, so a second process
  // initialising meanwhile could take the other's answers.
  Child StartWorker(int worker, const std::string& count) {
    Child w = Spawn({FONEXA_LINE_WORKER, Link(), std::to_string(worker), count, Go()}, MutexNamespace());
    workers_.push_back(w);
    EXPECT_TRUE(WaitForOutput(w, "ready", 30000)) << "worker " << worker;
    return w;
  }

  // Ends the modem; it writes its transcript as it goes.
  void StopModem() {
    if (modem_.pid <= 0) return;
    close(modem_.input);
    if (WaitForExit(modem_.pid, 10000) < 0) {
      kill(modem_.pid, SIGKILL);
      waitpid(modem_.pid, nullptr, 0);
    }
    modem_.pid = -1;
  }

  TempDir dir_;
  Child modem_;
  std::vector<Child> workers_;
};

TEST_F(SharedModem, FourProcessesOfAThousandCommandsNeverInterleaveAndLoseNoAnswer) {
  constexpr int kWorkers = 4;
  constexpr int kCommands = 1000;
  for (int w = 0; w < kWorkers; ++w) StartWorker(w, std::to_string(kCommands));
  close(open(Go().c_str(), O_CREAT | O_WRONLY, 0600));
  for (int w = 0; w < kWorkers; ++w) {
    EXPECT_TRUE(WaitForOutput(workers_[w], "1000 of 1000 answered", 600000)) << *workers_[w].said;
  }
  close(open((Go() + ".end").c_str(), O_CREAT | O_WRONLY, 0600));
  for (int w = 0; w < kWorkers; ++w) EXPECT_EQ(WaitForExit(workers_[w].pid, 30000), 0) << "worker " << w;
  workers_.clear();
  StopModem();

  const Dialogue d = ReadDialogue(ReadWholeFile(dir_.File("transcript.txt")));
  EXPECT_TRUE(d.overlaps.empty()) << d.overlaps.size() << " commands began inside another dialogue, the first "
                                  << (d.overlaps.empty() ? "" : d.overlaps.front());
  EXPECT_EQ(d.unanswered, 0u);
  // Every command of every worker arrived whole and once, each worker's in its order.
  std::map<int, std::vector<int>> numbers;
  std::set<std::string> seen;
  for (const std::string& command : d.commands) {
    if (command.rfind("AT+CSCA=", 0) != 0) continue;
    int worker = -1, number = -1;
    ASSERT_EQ(std::sscanf(command.c_str(), "AT+CSCA=\"+4200%2d%5d\"", &worker, &number), 2) << command;
    ASSERT_EQ(command.size(), std::string("AT+CSCA=\"+42000000000\"").size()) << command;
    EXPECT_TRUE(seen.insert(command).second) << "twice: " << command;
    numbers[worker].push_back(number);
  }
  ASSERT_EQ(numbers.size(), static_cast<size_t>(kWorkers));
  for (const auto& [worker, list] : numbers) {
    ASSERT_EQ(list.size(), static_cast<size_t>(kCommands)) << "worker " << worker;
    for (int i = 0; i < kCommands; ++i) EXPECT_EQ(list[i], i) << "worker " << worker;
  }
}

TEST_F(SharedModem, ProcessKilledHoldingTheLockLeavesItToTheOthers) {
  Child other = StartWorker(1, "20");
  Child holder = Spawn({FONEXA_LINE_WORKER, Link(), "0", "hold", Go()}, MutexNamespace());
  workers_.push_back(holder);
  ASSERT_TRUE(WaitForOutput(holder, "holding", 30000));
  // The other worker's first command waits for the lock, which its owner
  // takes to its end: the lock is abandoned, and the waiter gets it.
  const uint32_t start = TickCount();
  close(open(Go().c_str(), O_CREAT | O_WRONLY, 0600));
  usleep(1500 * 1000);
  kill(holder.pid, SIGKILL);
  waitpid(holder.pid, nullptr, 0);
  EXPECT_TRUE(WaitForOutput(other, "20 of 20 answered", 120000)) << *other.said;
  const uint32_t spent = TickCount() - start;
  close(open((Go() + ".end").c_str(), O_CREAT | O_WRONLY, 0600));
  EXPECT_EQ(WaitForExit(other.pid, 30000), 0);
  EXPECT_GE(spent, 1500u) << "the other worker did not wait for the lock";
  EXPECT_LT(spent, 10000u) << "the other worker's export waited out its 10 s";
  workers_.clear();
}

}  // namespace
