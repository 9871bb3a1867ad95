// A CMxComPort opened on a pseudo-terminal whose other end the test plays.
#pragma once

#include <gtest/gtest.h>

#include "PtyPeer.h"
#include "fonexa/CMxComPort.h"

namespace fonexa::testing {

// Opens up the protected byte-level operations for the tests.
class TestPort : public CMxComPort {
 public:
  using CMxComPort::_ReadBytes;
  using CMxComPort::_ReadResponseBytes;
  using CMxComPort::_ReadResponseChar;
  using CMxComPort::_WriteBytes;
};

class OpenPortTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Opening purges until a second of silence; the line is quiet, so that is all it costs.
    ASSERT_EQ(port.OpenPort(peer.SlavePath(), 9600, 50, 4096, 8, 0, 0), 1);
  }
  void TearDown() override { port.ClosePort(); }

  PtyPeer peer;
  TestPort port;
};

}  // namespace fonexa::testing
