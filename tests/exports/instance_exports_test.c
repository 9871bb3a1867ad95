/* A whole session through the C interface, compiled as C, against the phone
 * at the device given as the first argument (the virtual modem). */
#include <stdio.h>
#include <string.h>

#include "CCheck.h"
#include "fonexa/FonexaCore.h"

int main(int argc, char** argv) {
  char spec[256];
  char text[FONEXA_IDENTITY_SIZE];
  char clock[FONEXA_TIME_SIZE];
  char centre[FONEXA_SERVICE_CENTER_SIZE];
  MxSmsRecord sms;
  MxPhoneBookRecord entry;
  MxOperatorRecord op;
  int rssi = -1, ber = -1, n = -1, stat = -1, used = -1, total = -1, type = 0, count, found, i;
  MxGsmHandle h;

  if (argc < 2) {
    fprintf(stderr, "usage: %s DEVICE\n", argv[0]);
    return 2;
  }
  h = CreateGsmInstance();
  CHECK(h != NULL);
  snprintf(spec, sizeof spec, "GenericPhone@%s", argv[1]);
  CHECK(Initialize(h, spec) == 1);
  CHECK(GetState(h, 4) == 1);

  CHECK(GetManufacturer(h, text) == 1 && strcmp(text, "Fonexa\r\n") == 0);
  CHECK(GetModel(h, text) == 1 && strlen(text) > 2);
  CHECK(GetImei(h, text) == 1 && strlen(text) >= 15);
  CHECK(GetTime(h, clock) == 1 && strlen(clock) == 20);
  CHECK(GetVerifyStatus(h) == 1);

  /* Messages: one sent, one stored, then listed. */
  CHECK(SendSms(h, "+420777123456", "Hello from C") == 1);
  CHECK(SetSmsStorage(h, 0) == 1);
  i = WriteSmsEntry(h, "+420777123456", "Kept for later");
  CHECK(i >= 1);
  count = LoadSmsEntries(h, 4);
  CHECK(count >= 1);
  found = 0;
  while (GetNextSmsEntry(&sms)) found += strcmp(sms.messageText, "Kept for later") == 0;
  CHECK(found == 1);
  CHECK(GetNextSmsEntry(&sms) == 0);
  CHECK(ReadSmsEntry(h, i, &sms) == 1 && strcmp(sms.phoneNumber, "+420777123456") == 0);
  CHECK(DeleteSmsEntry(h, i) == 1);
  CHECK(GetSmsStorage(h, &i, &used, &total) == 1 && i == 0 && total > 0);
  CHECK(GetServiceCenter(h, centre, &type) == 1 && centre[0] != '\0');

  /* The phone book. */
  CHECK(SetPhoneBookStorage(h, 0) == 1);
  CHECK(WritePhoneBookEntry(h, 3, "+420606000111", "Doe, Jane") == 1);
  CHECK(GetPhoneBookStorage(h, &used, &total) == 0 && total > 0);
  CHECK(ReadPhoneBookEntry(h, 3, &entry) == 1);
  CHECK(strcmp(entry.name, "Doe, Jane") == 0 && strcmp(entry.phoneNumber, "+420606000111") == 0);
  CHECK(entry.typeOfNumber == 145);
  CHECK(WritePhoneBookEntry(h, 4, "123", "Say \"hi\"") == 0); /* refused: cannot be quoted */
  CHECK(DeletePhoneBookEntry(h, 3) == 1);

  /* Signal and operators. */
  CHECK(GetSignalQuality(h, &rssi, &ber) == 1 && rssi >= 0 && rssi <= 31);
  CHECK(GetRegistrationStatus(h, &n, &stat) == 1 && (stat == 1 || stat == 5));
  count = LoadLocalOperatorEntries(h);
  CHECK(count >= 1);
  found = 0;
  while (GetNextLocalOperatorEntry(&op)) found += op.state == 2;
  CHECK(found == 1);
  memset(&op, 0, sizeof op);
  CHECK(GetCurrentOperator(h, &op) == 1 && op.mode == 0 && op.name[0] != '\0');

  CHECK(ReleaseGsm(h) != 0);
  printf("%d passed, %d failed\n", passed, failed);
  return failed == 0 ? 0 : 1;
}
