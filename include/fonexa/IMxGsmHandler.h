/// @file
/// IMxGsmHandler: what an application implements to receive the engine's events.
#pragma once

#include <cstdint>
#include <string>

#include "fonexa/FonexaApi.h"

/// An event handler, registered with RegisterEventHandler for one event
/// identifier (FONEXA_EVENT_*).
class FONEXA_API IMxGsmHandler {
 public:
  /// Never called by the engine: the application owns its handlers.
  virtual ~IMxGsmHandler();
  /// Called synchronously on the thread that raised the event, often while that
  /// thread holds the device lock: a handler must not wait for another thread
  /// that needs the device. The result is ignored.
  virtual int OnEvent(uint32_t eventId, const std::string& text, uint32_t value) = 0;
};
