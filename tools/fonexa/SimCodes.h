#pragma once
// The SIM status codes the engine answers, with the +CPIN words they stand
// for and what the phone waits for, in the engine's order.
#include <string>

namespace fonexa::cli {

struct SimStatus {
  int code;
  const char* word;     // the +CPIN answer: "READY", "SIM PIN", ...
  const char* waitsFor; // for people: "nothing", "the SIM PIN", ...
};

inline constexpr SimStatus kSimStatuses[] = {
    {1, "READY", "nothing"},
    {2, "SIM PIN", "the SIM PIN"},
    {3, "SIM PUK", "the SIM PUK"},
    {4, "SIM PIN2", "the SIM PIN2"},
    {5, "SIM PUK2", "the SIM PUK2"},
    {6, "PH-SIM PIN", "the phone-to-SIM password"},
    {7, "PH-SIM PUK", "the phone-to-SIM unblocking code"},
    {8, "PH-FSIM PIN", "the phone-to-first-SIM password"},
    {9, "PH-FSIM PUK", "the phone-to-first-SIM unblocking code"},
    {10, "PH-NET PIN", "the network personalisation password"},
    {11, "PH-NET PUK", "the network personalisation unblocking code"},
    {12, "PH-NS PIN", "the network subset personalisation password"},
    {13, "PH-NS PUK", "the network subset personalisation unblocking code"},
    {14, "PH-SP PIN", "the service provider personalisation password"},
    {15, "PH-SP PUK", "the service provider personalisation unblocking code"},
    {16, "PH-C PIN", "the corporate personalisation password"},
    {17, "PH-C PUK", "the corporate personalisation unblocking code"},
};

// The entry for a code; null for 0 (not recognised) and -1 (not read).
const SimStatus* findSimStatus(int code);

// "2 attempts left", or "" when the count is not known.
std::string attemptsLeft(int counter);

}  // namespace fonexa::cli
