/* The instance-free exports, called from C through the public header. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include "CCheck.h"
#include "fonexa/FonexaCore.h"

int main(void) {
  char out[64];
  char text[FONEXA_EVENT_TEXT_SIZE];
  uint32_t value = 12345;
  char folder[] = "/tmp/fonexa-c-XXXXXX";
  char trace[128];
  char traffic[128];

  CHECK(strcmp(GetFonexaCoreVersion(), "1.3.040726") == 0);

  CHECK(CleanFormat("+44 (0) 20-1234", out) == 1);
  CHECK(strcmp(out, "+44201234") == 0);
  CHECK(CleanFormat("(0)", out) == 1 && out[0] == '\0');
  CHECK(CleanFormat(NULL, out) == 0);

  CHECK(CompareNumbers("+420 777 123 456", "777123456") == 1);
  CHECK(CompareNumbers("23456", "123456") == 0);
  CHECK(CompareNumbers(NULL, "1") == 0);

  /* Nothing was dispatched yet: an empty text and the value 0. */
  memset(text, 'x', sizeof text);
  CHECK(GetEventParams(text, &value) == 1);
  CHECK(text[0] == '\0' && value == 0);

  CHECK(mkdtemp(folder) != NULL);
  snprintf(trace, sizeof trace, "%s/trace.log", folder);
  snprintf(traffic, sizeof traffic, "%s/com.txt", folder);
  CHECK(OpenDebugLog(trace) == 1);
  CHECK(OpenDebugLog(trace) == 0);
  CHECK(access(traffic, F_OK) == 0);
  CHECK(CloseDebugLog() == 1);
  CHECK(CloseDebugLog() == 0);
  CHECK(OpenDebugLog(NULL) == 0);
  unlink(trace);
  unlink(traffic);
  rmdir(folder);

  printf("%d passed, %d failed\n", passed, failed);
  return failed == 0 ? 0 : 1;
}
