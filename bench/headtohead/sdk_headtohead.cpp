// One operation through the C++ SDK, timed inside the process, for the
// head-to-head run (bench/headtohead/run.py). Prints one line of key=value
// pairs: init_ms (Module::Initialize), op_ms (the operation), count (records
// or answers the operation produced) and release_ms.
//
//   sdk_headtohead SPEC none       (start and release only: the baseline)
//   sdk_headtohead SPEC identify
//   sdk_headtohead SPEC phonebook FIRST LAST
//   sdk_headtohead SPEC smslist      (storage MT: the SIM and the phone)
//   sdk_headtohead SPEC send NUMBER COUNT TEXT
//   sdk_headtohead SPEC csq COUNT
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "fonexa/Fonexa.h"

namespace {

using Clock = std::chrono::steady_clock;
namespace fx = Mebrix::Fonexa;

double MillisSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

int Usage() {
  std::fprintf(stderr,
               "usage: sdk_headtohead SPEC none | identify | phonebook FIRST LAST | smslist |"
               " send NUMBER COUNT TEXT | csq COUNT\n");
  return 2;
}

// The operation; returns the number of records or answers, -1 on failure.
long Run(const std::string& op, int argc, char** argv) {
  if (op == "none" && argc == 3) return 0;
  if (op == "identify" && argc == 3) {
    char manufacturer[FONEXA_IDENTITY_SIZE] = {};
    char model[FONEXA_IDENTITY_SIZE] = {};
    char imei[FONEXA_IDENTITY_SIZE] = {};
    if (!fx::Module::GetManufacturer(manufacturer) || !fx::Module::GetModel(model) || !fx::Module::GetImei(imei)) {
      return -1;
    }
    return 3;
  }
  if (op == "phonebook" && argc == 5) {
    auto entries = fx::PhoneBook::ListEntries(std::atoi(argv[3]), std::atoi(argv[4]));
    return entries ? static_cast<long>(entries->size()) : -1;
  }
  if (op == "smslist" && argc == 3) {
    auto messages = fx::Sms::ListMessages(4);  // every status
    return messages ? static_cast<long>(messages->size()) : -1;
  }
  if (op == "send" && argc == 6) {
    const int count = std::atoi(argv[4]);
    for (int i = 0; i < count; ++i) {
      if (!fx::Sms::SendMessage(argv[3], argv[5])) return -1;
    }
    return count;
  }
  if (op == "csq" && argc == 4) {
    const int count = std::atoi(argv[3]);
    for (int i = 0; i < count; ++i) {
      int rssi = 0;
      if (!fx::Network::GetSignalQuality(rssi)) return -1;
    }
    return count;
  }
  return -2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return Usage();
  const std::string op = argv[2];

  auto start = Clock::now();
  if (!fx::Module::Initialize(argv[1])) {
    std::fprintf(stderr, "sdk_headtohead: cannot initialize %s\n", argv[1]);
    return 3;
  }
  const double initMs = MillisSince(start);
  // The listing covers the SIM and the phone: the storage is switched to
  // both before the clock starts.
  if (op == "smslist" && !fx::Sms::SetStorage(2)) {
    std::fprintf(stderr, "sdk_headtohead: the phone refused the storage MT\n");
    fx::Module::Uninitialize();
    return 1;
  }

  start = Clock::now();
  const long count = Run(op, argc, argv);
  const double opMs = MillisSince(start);

  start = Clock::now();
  fx::Module::Uninitialize();
  const double releaseMs = MillisSince(start);

  if (count == -2) return Usage();
  if (count < 0) {
    std::fprintf(stderr, "sdk_headtohead: %s failed\n", op.c_str());
    return 1;
  }
  std::printf("init_ms=%.3f op_ms=%.3f count=%ld release_ms=%.3f\n", initMs, opMs, count, releaseMs);
  return 0;
}
