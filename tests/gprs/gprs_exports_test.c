/* The Gprs exports called from C through the public header: a window follows
 * a dial, and a null handle gets every export's failure value. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include "../exports/CCheck.h"
#include "fonexa/FonexaCore.h"

static int codes[16];
/* Written by the connection's watcher thread, polled by main: each code is
 * stored before the count that publishes it. */
static _Atomic int count = 0;

static intptr_t OnProgress(MxWindow window, uint32_t message, uintptr_t wParam, intptr_t lParam, void* context) {
  (void)window;
  (void)lParam;
  (void)context;
  if (message == FONEXA_EVENT_MESSAGE && count < 16) {
    const int n = count;
    codes[n] = (int)wParam;
    count = n + 1;
  }
  return 0;
}

int main(void) {
  MxConnectionHandle c;
  MxWindow window;
  int i;

  CHECK(GprsGetStatus(NULL) == FONEXA_GPRS_STATUS_IDLE);
  CHECK(GprsOpenConnectionHwnd(NULL, "gprs", NULL, "", "", "") == 0);
  CHECK(GprsCloseConnection(NULL) == 0);
  CHECK(GprsSetConnectionTones(NULL, "a.wav", "b.wav") == 0);
  CHECK(GprsGetSpeed(NULL) == 0 && GprsGetDuration(NULL) == 0);
  CHECK(GprsGetSentBytes(NULL) == 0 && GprsGetReceivedBytes(NULL) == 0);
  GprsRelease(NULL);

  c = GprsCreate();
  CHECK(c != NULL);
  CHECK(GprsGetStatus(c) == FONEXA_GPRS_STATUS_IDLE);
  CHECK(GprsCloseConnection(c) == 1);
  CHECK(GprsSetConnectionTones(c, "", "") == 1);

  /* FONEXA_PPPD and FAKE_PPPD_SCRIPT come from the test's environment: a dial
   * that connects and then waits. */
  window = MxCreateWindow(OnProgress, NULL);
  CHECK(GprsOpenConnectionHwnd(c, "gprs", window, "web", "secret", NULL) == 1);
  for (i = 0; i < 500 && count < 8; ++i) usleep(10000);
  CHECK(count == 8);
  for (i = 0; i < count; ++i) CHECK(codes[i] == i);
  CHECK(GprsGetStatus(c) == FONEXA_GPRS_STATUS_CONNECTED);
  CHECK(GprsGetSpeed(c) == 115200);
  CHECK(GprsCloseConnection(c) == 1);
  CHECK(count == 9 && codes[8] == FONEXA_GPRS_ENDED);
  GprsRelease(c);
  MxDestroyWindow(window);

  printf("%d passed, %d failed\n", passed, failed);
  return failed == 0 ? 0 : 1;
}
