// One AT exchange through the serial channel, with the debug logs open.
//
// It opens a pseudo-terminal, answers on its device end like a phone would, and
// talks to it through CMxComPort; then it prints the traffic log.
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <thread>

#include "fonexa/CMxComPort.h"
#include "fonexa/FonexaCore.h"

namespace {

// Plays the phone: echoes what it receives and answers "AT" with OK.
void PlayPhone(int master) {
  std::string command;
  char c;
  while (true) {
    pollfd p{master, POLLIN, 0};
    if (poll(&p, 1, 5000) <= 0 || read(master, &c, 1) != 1) return;
    command.push_back(c);
    if (c == '\r') {
      const std::string answer = command + "\r\nOK\r\n";
      if (write(master, answer.data(), answer.size()) < 0) return;
      return;
    }
  }
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

std::string Visible(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\r') {
      out += "\\r";
    } else if (c == '\n') {
      out += "\\n\n";
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace

int main() {
  const int master = posix_openpt(O_RDWR | O_NOCTTY);
  char slave[128];
  if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0 || ptsname_r(master, slave, sizeof slave) != 0) {
    std::perror("pseudo-terminal");
    return 1;
  }
  char folder[] = "/tmp/fonexa-example-XXXXXX";
  if (!mkdtemp(folder)) {
    std::perror("mkdtemp");
    return 1;
  }
  const std::string trace = std::string(folder) + "/trace.log";

  std::cout << "FonexaCore " << GetFonexaCoreVersion() << ", device on " << slave << "\n";
  OpenDebugLog(trace.c_str());

  CMxComPort port;
  if (!port.OpenPort(slave, 9600, 50, 4096, 8, 0, 0)) {
    std::cerr << "could not open " << slave << ", error " << port.GetLastError() << "\n";
    return 1;
  }
  std::thread phone(PlayPhone, master);
  port.WriteCommandString("AT\r", 3000);
  const std::string answer = port.ReadAnswerString(3000);
  phone.join();
  port.ClosePort();
  CloseDebugLog();

  std::cout << "answer to AT: " << answer << (port.IsOk(answer) ? " (OK)" : " (not OK)") << "\n\n";
  std::cout << "traffic log " << folder << "/com.txt:\n" << Visible(ReadFile(std::string(folder) + "/com.txt")) << "\n";
  std::cout << "trace log " << trace << ":\n" << Visible(ReadFile(trace)) << "\n";
  close(master);
  return port.IsOk(answer) ? 0 : 1;
}
