#pragma once
// The modem's end of a pseudo-terminal. The slave side is put into raw mode
// at once and the modem keeps one descriptor of it open for its whole life:
// without it the master reads EIO between two clients and the pty would
// hang up whenever a client closes. Clients coming and going are seen
// through inotify on the slave's device node; when one goes, the modem
// clears the exclusive flag (a client's TIOCEXCL would otherwise outlive it
// on a pty, unlike on a real serial port) and drops what it left unread.
#include <memory>
#include <string>

#include <sys/types.h>

namespace fonexa::sim {

class PtyEndpoint {
 public:
  static std::unique_ptr<PtyEndpoint> create(std::string& error);
  ~PtyEndpoint();
  PtyEndpoint(const PtyEndpoint&) = delete;
  PtyEndpoint& operator=(const PtyEndpoint&) = delete;

  int masterFd() const { return master_; }
  int watchFd() const { return inotify_; }
  const std::string& slavePath() const { return slavePath_; }
  bool open() const { return master_ >= 0; }

  ssize_t read(char* buffer, size_t size);
  ssize_t write(const char* data, size_t size);

  // Reads the inotify events; true when the last of them is a client closing
  // the device (not followed by the next client opening it).
  bool clientClosed();
  // After a client left: exclusive flag off, and what it left unread of our
  // output gone, so the next client does not read an old answer first.
  void forgetClient();

  // A symbolic link to the slave, replaced if it exists; removed on close.
  bool link(const std::string& path, std::string& error);
  // The hang-up: both ends closed, clients read end of file or EIO.
  void close();

 private:
  PtyEndpoint() = default;
  int master_ = -1;
  int slave_ = -1;
  int inotify_ = -1;
  std::string slavePath_;
  std::string linkPath_;
};

}  // namespace fonexa::sim
