// Whether the keypad may be tried: a display counts only when it answers, since
// Qt ends the process when the display it was pointed at is gone.
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <gtest/gtest.h>
#include <string>

#include "ScopedEnvironment.h"
#include "TempDir.h"
#include "platform/CodePrompt.h"

using fonexa::platform::CodePrompt;
using fonexa::testing::ScopedEnvironment;
using fonexa::testing::TempDir;

namespace {

// A listening socket standing in for a display server; closed with the object.
class Listener {
 public:
  // A Unix socket at path, or in the abstract namespace.
  Listener(const std::string& path, bool abstract) {
    fd_ = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const size_t offset = abstract ? 1 : 0;
    std::memcpy(address.sun_path + offset, path.data(), path.size());
    const auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + offset + path.size());
    listening_ = bind(fd_, reinterpret_cast<sockaddr*>(&address), length) == 0 && listen(fd_, 4) == 0;
  }
  // A TCP socket on the loopback address.
  explicit Listener(int port) {
    fd_ = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    listening_ = bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 && listen(fd_, 4) == 0;
  }
  ~Listener() { close(fd_); }
  bool Listening() const { return listening_; }

 private:
  int fd_ = -1;
  bool listening_ = false;
};

// A display number no X server of this machine uses.
int FreeDisplayNumber() { return 600 + getpid() % 300; }

}  // namespace

TEST(DisplayProbe, NothingSetMeansNoDisplay) {
  ScopedEnvironment environment;
  environment.RemoveDisplays();
  EXPECT_FALSE(CodePrompt::DisplayAvailable());
}

TEST(DisplayProbe, ANamedQtPlatformIsTrusted) {
  ScopedEnvironment environment;
  environment.RemoveDisplays();
  environment.Set("QT_QPA_PLATFORM", "offscreen");
  EXPECT_TRUE(CodePrompt::DisplayAvailable());
}

TEST(DisplayProbe, LocalXServerCountsOnlyWhileItsSocketAnswers) {
  ScopedEnvironment environment;
  environment.RemoveDisplays();
  const std::string number = std::to_string(FreeDisplayNumber());
  for (const std::string& display : {":" + number, ":" + number + ".0", "unix:" + number}) {
    environment.Set("DISPLAY", display);
    EXPECT_FALSE(CodePrompt::DisplayAvailable()) << display << " before the server";
    {
      Listener server("/tmp/.X11-unix/X" + number, true);
      ASSERT_TRUE(server.Listening());
      EXPECT_TRUE(CodePrompt::DisplayAvailable()) << display;
    }
    EXPECT_FALSE(CodePrompt::DisplayAvailable()) << display << " after the server";
  }
}

TEST(DisplayProbe, ForwardedXServerIsReachedOverLoopback) {
  ScopedEnvironment environment;
  environment.RemoveDisplays();
  int number = FreeDisplayNumber();
  std::unique_ptr<Listener> server;
  for (int tries = 0; tries < 20 && !(server && server->Listening()); ++tries, ++number)
    server = std::make_unique<Listener>(6000 + number);
  ASSERT_TRUE(server->Listening());
  --number;
  environment.Set("DISPLAY", "127.0.0.1:" + std::to_string(number) + ".0");
  EXPECT_TRUE(CodePrompt::DisplayAvailable());
  server.reset();
  EXPECT_FALSE(CodePrompt::DisplayAvailable());
}

TEST(DisplayProbe, MalformedDisplaysCountAsNone) {
  ScopedEnvironment environment;
  environment.RemoveDisplays();
  for (const char* display : {"", "nonsense", ":", ":x", "host:", ":123456"}) {
    environment.Set("DISPLAY", display);
    EXPECT_FALSE(CodePrompt::DisplayAvailable()) << '"' << display << '"';
  }
}

TEST(DisplayProbe, WaylandCompositorIsFoundInTheRuntimeFolder) {
  ScopedEnvironment environment;
  environment.RemoveDisplays();
  TempDir runtime;
  environment.Set("XDG_RUNTIME_DIR", runtime.Path());
  environment.Set("WAYLAND_DISPLAY", "wayland-fonexa");
  EXPECT_FALSE(CodePrompt::DisplayAvailable());
  Listener compositor(runtime.File("wayland-fonexa"), false);
  ASSERT_TRUE(compositor.Listening());
  EXPECT_TRUE(CodePrompt::DisplayAvailable());
  environment.Set("WAYLAND_DISPLAY", runtime.File("wayland-fonexa"));
  EXPECT_TRUE(CodePrompt::DisplayAvailable());
  environment.Remove("XDG_RUNTIME_DIR");
  environment.Set("WAYLAND_DISPLAY", "wayland-fonexa");
  EXPECT_FALSE(CodePrompt::DisplayAvailable());
}
