#include "text/DebugLog.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "TempDir.h"

using fonexa::DebugLog;
using fonexa::testing::FileExists;
using fonexa::testing::ReadWholeFile;
using fonexa::testing::TempDir;

TEST(DebugLog, ClosedLogWritesNothingAndCreatesNoFile) {
  DebugLog log;
  EXPECT_EQ(log.Write("x%d", 1), 0);
  EXPECT_EQ(log.Close(), 0);
}

TEST(DebugLog, OpenTruncatesAndWritesExactBytes) {
  TempDir dir;
  const std::string path = dir.File("trace.txt");
  {
    FILE* f = fopen(path.c_str(), "w");
    fputs("old contents", f);
    fclose(f);
  }
  DebugLog log;
  ASSERT_EQ(log.Open(path), 1);
  EXPECT_EQ(log.Open(path), 0);  // already open
  EXPECT_EQ(log.Write("\r\n-->CMxGsmBasics::Create[%s]\r\n", "GenericPhone@/dev/pts/3"), 1);
  EXPECT_EQ(log.Write("%c", 'A'), 1);
  EXPECT_EQ(log.Write(nullptr), 0);
  // Written at once, no buffering: the file holds the bytes before Close.
  EXPECT_EQ(ReadWholeFile(path), "\r\n-->CMxGsmBasics::Create[GenericPhone@/dev/pts/3]\r\nA");
  EXPECT_EQ(log.Close(), 1);
  EXPECT_EQ(log.Write("after"), 0);
}

TEST(DebugLog, OverlongLinesAreCutTo1023Characters) {
  TempDir dir;
  DebugLog log;
  ASSERT_EQ(log.Open(dir.File("t.txt")), 1);
  const std::string longText(5000, 'x');
  EXPECT_EQ(log.Write("R:%s", longText.c_str()), 1);
  log.Close();
  const std::string written = ReadWholeFile(dir.File("t.txt"));
  EXPECT_EQ(written.size(), 1023u);
  EXPECT_EQ(written.substr(0, 4), "R:xx");
}

TEST(DebugLog, UnwritableFolderLeavesTheLogClosed) {
  DebugLog log;
  EXPECT_EQ(log.Open("/nonexistent-folder/trace.txt"), 0);
  EXPECT_FALSE(log.IsOpen());
}

TEST(DebugLogs, TrafficLogGoesBesideTheTraceLog) {
  TempDir dir;
  ASSERT_EQ(fonexa::OpenDebugLogs(dir.File("gsm.log")), 1);
  fonexa::TraceLog().Write("trace");
  fonexa::TrafficLog().Write("W:%s", "AT\r");
  EXPECT_EQ(fonexa::CloseDebugLogs(), 1);
  EXPECT_EQ(ReadWholeFile(dir.File("gsm.log")), "trace");
  EXPECT_EQ(ReadWholeFile(dir.File("com.txt")), "W:AT\r");
  EXPECT_EQ(fonexa::CloseDebugLogs(), 0);
}

TEST(DebugLogs, PathWithoutFolderPutsTheTrafficLogInTheCurrentFolder) {
  TempDir dir;
  char previous[4096];
  ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
  ASSERT_EQ(chdir(dir.Path().c_str()), 0);
  EXPECT_EQ(fonexa::OpenDebugLogs("trace.txt"), 1);
  fonexa::CloseDebugLogs();
  EXPECT_TRUE(FileExists(dir.File("com.txt")));
  EXPECT_TRUE(FileExists(dir.File("trace.txt")));
  ASSERT_EQ(chdir(previous), 0);
}
