/*
 * A tour of the engine through its C interface, on a phone at the given device
 * (the virtual modem, when run by scripts/demo.sh): identify the phone, send a
 * short and a long message, list the inbox, show signal and operator, and
 * report the events the background monitor raised meanwhile.
 */
#include <stdio.h>
#include <string.h>
#include <time.h>

#include "fonexa/FonexaCore.h"

static const char* EventName(uintptr_t id) {
  switch (id) {
    case FONEXA_EVENT_SIGNAL: return "signal quality";
    case FONEXA_EVENT_NEW_MESSAGE: return "new message";
    case FONEXA_EVENT_REGISTRATION: return "registration";
    case FONEXA_EVENT_MODULE_STATE: return "module state";
    case FONEXA_EVENT_TROUBLE: return "communication trouble";
    default: return "event";
  }
}

/* Events arrive on the engine's threads; this one prints them as they come. */
static intptr_t OnMessage(MxWindow window, uint32_t message, uintptr_t id, intptr_t lParam, void* context) {
  char text[FONEXA_EVENT_TEXT_SIZE];
  uint32_t value = 0;
  (void)window;
  (void)context;
  if (message != FONEXA_EVENT_MESSAGE) return 0;
  if (id == FONEXA_EVENT_MODULE_STATE) {
    printf("  [event] %s: %s\n", EventName(id), lParam ? "ready" : "not ready");
    return 1;
  }
  GetEventParams(text, &value);
  printf("  [event] %s: value %u%s%s\n", EventName(id), value, text[0] ? ", " : "", text);
  fflush(stdout);
  return 1;
}

static void Wait(int seconds) {
  struct timespec pause = {seconds, 0};
  nanosleep(&pause, NULL);
}

int main(int argc, char** argv) {
  const char* device = argc > 1 ? argv[1] : "/dev/ttyUSB0";
  const char* logPath = argc > 2 ? argv[2] : NULL;
  char spec[256];
  char text[FONEXA_IDENTITY_SIZE];
  char clock[FONEXA_TIME_SIZE];
  MxSmsRecord sms;
  MxOperatorRecord current = {"", -1, -1, -1};
  int rssi = -1, ber = -1, count, i;
  MxGsmHandle h;
  MxWindow window;
  const char* longText =
      "This message is longer than one SMS can carry, so the engine splits it into concatenated parts "
      "that share one reference number; the receiving phone joins them again and shows one text.";

  printf("FonexaCore %s\n", GetFonexaCoreVersion());
  if (logPath) OpenDebugLog(logPath);
  h = CreateGsmInstance();
  window = MxCreateWindow(OnMessage, NULL);
  RegisterEventHandlerHwnd(h, FONEXA_EVENT_MODULE_STATE, window);

  snprintf(spec, sizeof spec, "GenericPhone@%s@115200", device);
  printf("Initialize(%s)\n", spec);
  if (!Initialize(h, spec)) {
    printf("the phone did not come up\n");
    ReleaseGsm(h);
    return 1;
  }
  RegisterEventHandlerHwnd(h, FONEXA_EVENT_SIGNAL, window);
  RegisterEventHandlerHwnd(h, FONEXA_EVENT_NEW_MESSAGE, window);
  RegisterEventHandlerHwnd(h, FONEXA_EVENT_REGISTRATION, window);

  if (GetManufacturer(h, text)) printf("manufacturer: %s", text);
  if (GetModel(h, text)) printf("model:        %s", text);
  if (GetImei(h, text)) printf("IMEI:         %s", text);
  if (GetTime(h, clock)) printf("clock:        %s\n", clock);
  printf("SIM status:   %d (1 = ready)\n", GetVerifyStatus(h));

  printf("send a short message: %s\n", SendSms(h, "+420777123456", "Hello from Fonexa") ? "sent" : "FAILED");
  printf("send a %d-character message: %s\n", (int)strlen(longText),
         SendSms(h, "+420777123456", longText) ? "sent" : "FAILED");

  if (GetSignalQuality(h, &rssi, &ber)) printf("signal: rssi %d, ber %d\n", rssi, ber);
  if (GetCurrentOperator(h, &current)) {
    printf("operator: %s (%d), selection mode %d\n", current.name[0] ? current.name : "?", current.codeNumber,
           current.mode);
  }

  printf("letting the background monitor poll for a while...\n");
  Wait(12);

  count = LoadSmsEntries(h, 4);
  printf("messages in storage: %d\n", count);
  for (i = 0; i < count && GetNextSmsEntry(&sms); ++i) {
    printf("  #%d status %d from %s at %04d-%02d-%02d %02d:%02d: %s\n", sms.index, sms.status, sms.phoneNumber,
           sms.year, sms.month, sms.day, sms.hour, sms.minute, sms.messageText);
  }

  ReleaseGsm(h);
  MxDestroyWindow(window);
  if (logPath) CloseDebugLog();
  return 0;
}
