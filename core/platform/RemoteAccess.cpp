#include "platform/RemoteAccess.h"

#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <map>
#include <memory>
#include <mutex>


namespace fonexa::platform {

namespace {

constexpr const char* kDefaultPppd = "/usr/sbin/pppd";

struct Connections {
  std::mutex mutex;
  std::map<RemoteAccess::Handle, std::shared_ptr<RemoteAccessLink>> links;
  RemoteAccess::Handle next = 1;
  std::string interfaceFolder = "/sys/class/net";
};

// Never destroyed: a connection object of the application may hang up from a
// destructor of its own while the process ends.
Connections& Table() {
  static auto* table = new Connections;
  return *table;
}

std::shared_ptr<RemoteAccessLink> Find(RemoteAccess::Handle handle) {
  std::lock_guard<std::mutex> lock(Table().mutex);
  const auto it = Table().links.find(handle);
  return it == Table().links.end() ? nullptr : it->second;
}

// A text pppd is given as one option word: a line end or another control
// byte would end the word early and let the rest be read as options of its own.
bool IsOptionText(const std::string& text) {
  for (unsigned char c : text) {
    if (c < 0x20 || c == 0x7F) return false;
  }
  return true;
}

// A peer name is a file name below /etc/ppp/peers.
bool IsPeerName(const std::string& entry) {
  return !entry.empty() && entry != "." && entry != ".." && entry.find('/') == std::string::npos &&
         IsOptionText(entry);
}

// pppd's option reader takes a double-quoted word with backslash escapes.
std::string Quoted(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  return out + "\"";
}

std::string FolderForSecrets() {
  for (const char* name : {"XDG_RUNTIME_DIR", "TMPDIR"}) {
    const char* folder = getenv(name);
    if (folder && *folder && access(folder, W_OK | X_OK) == 0) return folder;
  }
  return "/tmp";
}

// Writes text to a new file that only this user can read; its path, or "".
std::string WriteSecretFile(const std::string& text) {
  std::string path = FolderForSecrets() + "/fonexa-ppp-XXXXXX";
  const int fd = mkstemp(path.data());
  if (fd < 0) return "";
  fchmod(fd, S_IRUSR | S_IWUSR);
  const bool written = write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
  if (close(fd) != 0 || !written) {
    unlink(path.c_str());
    return "";
  }
  return path;
}

std::string PppdProgram() {
  const char* program = getenv("FONEXA_PPPD");
  return program && *program ? program : kDefaultPppd;
}

}  // namespace

std::vector<std::string> RemoteAccess::PppdArguments(const std::string& entry, const std::string& optionsFile) {
  // nodetach after the peer's options, so that it wins over an updetach there;
  // dump lists the options in effect, the line speed among them.
  std::vector<std::string> args{"call",  entry, "nodetach", "logfd", std::to_string(RemoteAccessLink::kLogDescriptor),
                                "dump"};
  if (!optionsFile.empty()) {
    args.push_back("file");
    args.push_back(optionsFile);
  }
  return args;
}

std::string RemoteAccess::CredentialOptions(const DialParameters& parameters) {
  std::string text;
  if (!parameters.user.empty()) {
    const std::string user = parameters.domain.empty() ? parameters.user : parameters.domain + "\\" + parameters.user;
    text += "user " + Quoted(user) + "\n";
  }
  if (!parameters.password.empty()) text += "password " + Quoted(parameters.password) + "\n";
  return text;
}

uint32_t RemoteAccess::Dial(const DialParameters& parameters, MxWindow notifier, Handle* handle) {
  if (handle) *handle = kNoHandle;
  if (!IsPeerName(parameters.entry) || !IsOptionText(parameters.user) || !IsOptionText(parameters.password) ||
      !IsOptionText(parameters.domain)) {
    return kErrorInvalidParameter;
  }
  // The password goes to pppd in a file of the user's own, never on its
  // command line, which every user of the machine can read in /proc.
  const std::string credentials = CredentialOptions(parameters);
  std::string optionsFile;
  if (!credentials.empty()) {
    optionsFile = WriteSecretFile(credentials);
    if (optionsFile.empty()) return kErrorCannotStart;
  }
  auto link = std::make_shared<RemoteAccessLink>(notifier);
  if (!link->Start(PppdProgram(), PppdArguments(parameters.entry, optionsFile), optionsFile)) return kErrorCannotStart;
  {
    std::lock_guard<std::mutex> lock(Table().mutex);
    Handle h = Table().next++;
    if (h == kNoHandle) h = Table().next++;
    Table().links[h] = link;
    if (handle) *handle = h;
  }
  if (notifier) return 0;
  if (link->WaitUntilConnectedOrEnded(kSynchronousDialLimitMs)) return 0;
  if (link->State() != ConnectionState::Disconnected) return kErrorDialTimedOut;
  const uint32_t error = link->EndError();
  return error ? error : kErrorNoLink;
}

uint32_t RemoteAccess::GetConnectStatus(Handle handle, Status* status) {
  const auto link = Find(handle);
  if (!link) return kErrorInvalidHandle;
  if (link->IsReleased()) {
    std::lock_guard<std::mutex> lock(Table().mutex);
    Table().links.erase(handle);
    return kErrorInvalidHandle;
  }
  if (status) {
    status->state = link->State();
    status->error = link->EndError();
  }
  return 0;
}

uint32_t RemoteAccess::HangUp(Handle handle) {
  const auto link = Find(handle);
  if (!link) return kErrorInvalidHandle;
  link->HangUp();
  return 0;
}

uint32_t RemoteAccess::EndForcibly(Handle handle) {
  const auto link = Find(handle);
  if (!link) return kErrorInvalidHandle;
  link->EndForcibly();
  return 0;
}

RemoteAccess::Figures RemoteAccess::GetFigures(Handle handle) {
  const auto link = Find(handle);
  if (!link) return Figures{};
  std::string folder;
  {
    std::lock_guard<std::mutex> lock(Table().mutex);
    folder = Table().interfaceFolder;
  }
  return link->GetFigures(folder);
}

void RemoteAccess::SetInterfaceFolder(const std::string& folder) {
  std::lock_guard<std::mutex> lock(Table().mutex);
  Table().interfaceFolder = folder;
}

}  // namespace fonexa::platform
