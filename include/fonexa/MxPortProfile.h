/// @file
/// What every device plug-in shares, written once: the plug-in port class and
/// the profile behaviour common to all plug-ins. A plug-in derives from these and
/// adds only what its maker does differently.
#pragma once

#include <cstdlib>
#include <string>

#include "fonexa/CMxComPort.h"
#include "fonexa/CMxGsmBasics.h"
#include "fonexa/CMxGsmDevice.h"

/// Marks a plug-in's one export, GetGsmDevice: C linkage, visible.
#define FONEXA_PLUGIN_EXPORT extern "C" __attribute__((visibility("default")))

/// The serial channel as plug-ins use it. These devices report no ring events
/// (unsolicited codes are read from the answer stream instead) and are always
/// powered: nothing switches them.
class MxPluginPort : public CMxComPort {
 public:
  /// No ring-indicator events: 0.
  int GetEventRing() override { return 0; }
  /// No ring-indicator events: 0.
  int SetEventRing(int) override { return 0; }
  /// Always powered: 1.
  uint32_t GetPortSwitchState(int) override { return 1; }
  /// Nothing to switch: 1.
  int SwitchPower(unsigned int) override { return 1; }
};

/// The profile behaviour every plug-in shares; Port is the plug-in's port class.
template <class Port>
class MxPortProfile : public CMxGsmDevice {
 public:
  static constexpr uint32_t kDefaultBaudRate = 9600;  ///< when the port text names no rate
  static constexpr uint32_t kReadTimeoutMs = 50;      ///< the port's read time-out
  static constexpr uint32_t kQueueSize = 4096;        ///< the port's buffer size

  int Create(CMxGsmBasics* session, const std::string& portSpecification) override {
    m_session = session;
    m_portSpecification = portSpecification;
    return 1;
  }

  /// "name@rate", "name" (9600 baud), or empty ("COM1:" at 9600).
  int OpenPort() override {
    std::string name = m_portSpecification;
    uint32_t rate = kDefaultBaudRate;
    const auto at = m_portSpecification.find('@');
    if (at != std::string::npos) {
      name = m_portSpecification.substr(0, at);
      rate = static_cast<uint32_t>(std::atoi(m_portSpecification.c_str() + at + 1));
    }
    if (m_portSpecification.empty()) name = "COM1:";
    return m_port.OpenPort(name, rate, kReadTimeoutMs, kQueueSize, 8, 0, 0);
  }

  int ClosePort() override { return m_port.ClosePort(); }
  int Release() override { return ClosePort(); }
  CMxComPort* GetComPort() override { return &m_port; }

  void Initialize() override {
    if (!m_session) return;
    std::string text;
    m_session->GetManufacturer(text);
    std::string model;
    m_session->GetModel(model);
    KeepModel(model);
    m_session->QuerySmsParameters(text);
  }

  int SetupSms() override {
    if (!m_session || !m_session->IsOpened()) return 0;
    m_session->WriteCommandString(SmsIndicationCommand(), 3000);
    return m_session->IsOk(m_session->ReadAnswerString(3000, 0));
  }

 protected:
  /// The "AT+CNMI=" command that routes new messages the way this maker's phones need.
  virtual std::string SmsIndicationCommand() const = 0;
  /// Profiles that tell models apart keep the model text; the others drop it.
  virtual void KeepModel(const std::string&) {}

  /// text without the CR and LF at its end.
  static std::string WithoutLineEnds(std::string text) {
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n')) text.pop_back();
    return text;
  }

  Port m_port;                        ///< the serial channel
  CMxGsmBasics* m_session = nullptr;  ///< the session bound by Create
  std::string m_portSpecification;    ///< "port@rate" as Create received it
};
