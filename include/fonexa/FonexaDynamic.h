// Mebrix::Fonexa::Dynamic: the per-instance facade. A Gsm object owns one
// engine instance; service objects made from it forward with that instance.
// Texts travel as std::string, times as CTime. Include "fonexa/Fonexa.h".
//
// The engine supports one live instance per process: make Gsm objects one
// after the other, not side by side, nor beside the static facade.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "fonexa/FonexaCore.h"
#include "fonexa/FonexaTypes.h"

namespace Mebrix::Fonexa::Dynamic {

/// Owns one engine instance from construction to destruction. Move-only: a
/// copy would release the instance twice.
class FONEXA_SDK_API Gsm {
 public:
  Gsm();
  virtual ~Gsm();
  Gsm(const Gsm&) = delete;
  Gsm& operator=(const Gsm&) = delete;
  Gsm(Gsm&& other) noexcept;
  Gsm& operator=(Gsm&& other) noexcept;

  /// The instance, null when it could not be created.
  MxGsmHandle GetGsm() const { return m_handle; }
  MxGsmHandle operator()() const { return m_handle; }
  static std::string GetFonexaCoreVersion();

 private:
  MxGsmHandle m_handle;
};

/// An instance handle that its owner keeps alive, for service objects made
/// without a Gsm (the static facade makes its own this way).
struct BorrowedHandle {
  MxGsmHandle value;
};

/// Service objects copy the instance handle of their Gsm: they do not keep it
/// alive. Made from a null Gsm*, every member fails.
class FONEXA_SDK_API Module {
 public:
  explicit Module(Gsm* gsm);
  explicit Module(BorrowedHandle handle) : m_handle(handle.value) {}
  virtual ~Module() = default;

  int Initialize(const std::string& text);
  void Uninitialize();
  int SwitchOn();
  int SwitchOff();
  /// query 0: 1 when this object has an instance; 1..4 as the engine answers.
  int GetState(int query);
  int GetActivity();
  /// Empty when the phone does not answer.
  std::string GetSimId();
  std::string GetTime();
  std::string GetManufacturer();
  std::string GetModel();
  std::string GetImei();
  int SetTime(const std::string& time);
  int RestoreFactorySettings();
  /// The instance lock; an empty owner is named "CModule::Attach".
  int Attach(const std::string& owner, int timeout);
  int Attach(int timeout);
  int Detach();
  int OpenDebugLog(const std::string& path);
  static int CloseDebugLog();

 private:
  MxGsmHandle m_handle;
};

class FONEXA_SDK_API Call {
 public:
  class FONEXA_SDK_API CallEntry : public CallEntryBase {
   public:
    CallEntry() = default;
    explicit CallEntry(const MxCallRecord& record) : CallEntryBase(record) {}
    std::string GetPhoneNumber() const { return m_fields.phoneNumber; }
    std::string GetName() const { return m_fields.name; }
  };

  explicit Call(Gsm* gsm);
  explicit Call(BorrowedHandle handle) : m_handle(handle.value) {}
  virtual ~Call() = default;

  int Answer();
  int Hangup();
  int SetupGsmAudio();
  int VoiceOn();
  int VoiceOff();
  int Dial(const std::string& number);
  int DialFromPhoneBook(int location);
  int DialFromPhoneBook(int storage, int location);
  void InterruptDialing();
  int ManageMultiparty(int mode);
  int ManageMultiparty(int mode, int index);
  int GetCallForwarding(int reason, int callClass, int& status);
  int GetCallForwarding(int reason, int callClass, int& status, std::string& number);
  int GetCallForwarding(int reason, int callClass, int& status, std::string& number, int& time);
  int SetCallForwarding(int reason, int callClass, int enable);
  int SetCallForwarding(int reason, int callClass, int enable, const std::string& number);
  int SetCallForwarding(int reason, int callClass, int enable, const std::string& number, int time);
  int GetCallBarring(int type, int callClass, int& status);
  int GetCallBarring(int type, int callClass, const std::string& password, int& status);
  int SetCallBarring(int type, int callClass, int lock);
  int SetCallBarring(int type, int callClass, const std::string& password, int lock);
  /// Empty when the phone does not answer.
  std::string GetLastCallDuration();
  std::string GetTotalCallDuration();
  /// 0 leaves calls as it was.
  int ListCurrentCalls(std::vector<CallEntry>& calls);
  std::optional<std::vector<CallEntry>> ListCurrentCalls();

 private:
  MxGsmHandle m_handle;
};

class FONEXA_SDK_API Sms {
 public:
  class FONEXA_SDK_API SmsEntry : public SmsEntryBase {
   public:
    SmsEntry() = default;
    explicit SmsEntry(const MxSmsRecord& record) : SmsEntryBase(record) {}
    std::string GetPhoneNumber() const { return m_fields.phoneNumber; }
    std::string GetMessageText() const { return m_fields.messageText; }
    std::string GetProviderPhone() const { return m_fields.providerPhone; }
    /// The time stamp, -1 when the message has none.
    CTime GetTime() const { return Seconds(); }
  };

  class FONEXA_SDK_API SmsUtf8Entry : public SmsUtf8EntryBase {
   public:
    SmsUtf8Entry() = default;
    explicit SmsUtf8Entry(const MxSmsUtf8Record& record) : SmsUtf8EntryBase(record) {}
    std::string GetPhoneNumber() const { return m_fields.phoneNumber; }
    std::string GetMessageText() const { return m_fields.messageText; }
    std::string GetProviderPhone() const { return m_fields.providerPhone; }
    CTime GetTime() const { return Seconds(); }
    CTime GetDischargeTime() const { return DischargeSeconds(); }
  };

  class FONEXA_SDK_API JoinedSmsEntry : public JoinedSmsEntryBase {
   public:
    JoinedSmsEntry() = default;
    explicit JoinedSmsEntry(const MxJoinedSmsRecord& record) : JoinedSmsEntryBase(record) {}
    std::string GetPhoneNumber() const { return m_fields.phoneNumber; }
    std::string GetMessageText() const { return m_fields.messageText; }
    std::string GetProviderPhone() const { return m_fields.providerPhone; }
    CTime GetTime() const { return Seconds(); }
  };

  explicit Sms(Gsm* gsm);
  explicit Sms(BorrowedHandle handle) : m_handle(handle.value) {}
  virtual ~Sms() = default;

  int GetStorage(int& storage, int& used, int& total);
  int SetStorage(int storage);
  /// number is assigned only on success.
  int GetServiceCenter(std::string& number, int& type);
  int SetServiceCenter(const std::string& number);
  int SendMessageA(const std::string& phone, const std::string& text);
  /// SendMessageA under its plain name.
  int SendMessage(const std::string& phone, const std::string& text);
  int SendFlashMessage(const std::string& phone, const std::string& text);
  int WriteMessage(const std::string& phone, const std::string& text);
  int DeleteMessage(int index);
  int ReadMessage(int index, SmsEntry& entry);
  int ListMessages(int status, std::vector<SmsEntry>& messages);
  std::optional<std::vector<SmsEntry>> ListMessages(int status);

  /// As the static Sms's members of the same names.
  int SendMessageUtf8(const std::string& phone, const std::string& text);
  int SendFlashMessageUtf8(const std::string& phone, const std::string& text);
  int SendMessageUtf8(const std::string& phone, const std::string& text, const SmsSendOptions& options,
                      SmsSendResult& result);
  static int GetDeliveryStatus(int messageId);
  int ReadMessageUtf8(int index, SmsUtf8Entry& entry);
  int ListMessagesUtf8(int status, std::vector<SmsUtf8Entry>& messages);
  std::optional<std::vector<SmsUtf8Entry>> ListMessagesUtf8(int status);
  int ListJoinedMessages(int status, std::vector<JoinedSmsEntry>& messages);
  std::optional<std::vector<JoinedSmsEntry>> ListJoinedMessages(int status);
  static int SetJoinTimeLimit(int milliseconds);

 private:
  MxGsmHandle m_handle;
};

class FONEXA_SDK_API PhoneBook {
 public:
  class FONEXA_SDK_API PhoneBookEntry : public PhoneBookEntryBase {
   public:
    PhoneBookEntry() = default;
    explicit PhoneBookEntry(const MxPhoneBookRecord& record) : PhoneBookEntryBase(record) {}
    std::string GetPhoneNumber() const { return m_fields.phoneNumber; }
    std::string GetName() const { return m_fields.name; }
  };

  explicit PhoneBook(Gsm* gsm);
  explicit PhoneBook(BorrowedHandle handle) : m_handle(handle.value) {}
  virtual ~PhoneBook() = default;

  int GetStorage(int& used, int& total);
  int SetStorage(int storage);
  int WriteEntry(int position, const std::string& number, const std::string& name);
  int DeleteEntry(int position);
  int GetRangeInfo(int& first, int& last, int& numberLength, int& textLength);
  int ReadEntry(int index, PhoneBookEntry& entry);
  int ListEntries(int first, int last, std::vector<PhoneBookEntry>& entries);
  std::optional<std::vector<PhoneBookEntry>> ListEntries(int first, int last);

 private:
  MxGsmHandle m_handle;
};

class FONEXA_SDK_API Network {
 public:
  class FONEXA_SDK_API NetworkEntry : public NetworkEntryBase {
   public:
    NetworkEntry() = default;
    explicit NetworkEntry(const MxOperatorRecord& record) : NetworkEntryBase(record) {}
    std::string GetName() const { return m_fields.name; }
  };

  explicit Network(Gsm* gsm);
  explicit Network(BorrowedHandle handle) : m_handle(handle.value) {}
  virtual ~Network() = default;

  int GetSignalQuality(int& rssi);
  int GetSignalQuality(int& rssi, int& ber);
  int GetRegistrationStatus(int& stat);
  int GetCurrentOperator(NetworkEntry& entry);
  int SetAutomaticOperator();
  int SetManualOperator(int code);
  int ListWorldOperators(std::vector<NetworkEntry>& operators);
  std::optional<std::vector<NetworkEntry>> ListWorldOperators();
  int ListLocalOperators(std::vector<NetworkEntry>& operators);
  std::optional<std::vector<NetworkEntry>> ListLocalOperators();

 private:
  MxGsmHandle m_handle;
};

class FONEXA_SDK_API Protection {
 public:
  explicit Protection(Gsm* gsm);
  explicit Protection(BorrowedHandle handle) : m_handle(handle.value) {}
  virtual ~Protection() = default;

  int GetVerifyStatus();
  int GetPinCounter();
  int GetLock(int type, const std::string& password, int& status);
  int SetLock(int type, const std::string& password, int on);
  int ChangePin(int kind, const std::string& oldCode, const std::string& newCode);
  int AutoVerify();
  int Verify(const std::string& code);
  int Verify(const std::string& code, const std::string& secondCode);

 private:
  MxGsmHandle m_handle;
};

class FONEXA_SDK_API Events {
 public:
  /// What an application derives to receive events: the object itself is the
  /// engine registration. Called on the thread that raised the event, possibly
  /// while the device lock is held; the result is not used.
  class FONEXA_SDK_API EventHandler : public IMxGsmHandler {
   public:
    /// Defined in the library, so that applications link libFonexa.so alone.
    ~EventHandler() override;
    virtual int OnEvent(uint32_t id, std::string text, uint32_t value) = 0;

   private:
    /// The engine's form of the call, passed on with the text as a value.
    int OnEvent(uint32_t id, const std::string& text, uint32_t value) final;
  };

  class FONEXA_SDK_API CurrentEvent : public CurrentEventBase {
   public:
    std::string GetStringParam() const { return m_text; }
  };

  class FONEXA_SDK_API CallEvent : public CallEventBase {
   public:
    CallEvent(std::string text, uint32_t value) : CallEventBase(value), m_text(std::move(text)) {}
    std::string GetNumber() const { return m_text; }

   private:
    std::string m_text;
  };

  class FONEXA_SDK_API SmsEvent : public SmsEventBase {
   public:
    SmsEvent(const std::string& text, uint32_t value) : SmsEventBase(text, value) {}
    std::string GetSender() const { return m_sender; }
    std::string GetText() const { return m_text; }
    CTime GetTime() const { return m_value; }
  };

  class FONEXA_SDK_API JoinedMessageEvent : public JoinedMessageEventBase {
   public:
    JoinedMessageEvent(const std::string& text, uint32_t value) : JoinedMessageEventBase(text, value) {}
    std::string GetSender() const { return m_sender; }
    std::string GetText() const { return m_text; }
  };

  class FONEXA_SDK_API DeliveryEvent : public DeliveryEventBase {
   public:
    DeliveryEvent(const std::string& text, uint32_t value) : DeliveryEventBase(text, value) {}
  };

  static constexpr uint32_t GsmEventMessage = 0x511;

  explicit Events(Gsm* gsm);
  explicit Events(BorrowedHandle handle) : m_handle(handle.value) {}
  virtual ~Events() = default;

  /// The engine's registration id, 0 when refused.
  uint32_t Register(uint32_t id, EventHandler* handler);
  uint32_t Register(uint32_t id, MxWindow window);
  int Unregister(uint32_t registrationId);
  int EnableNetworkEvents(int on);
  int EnableClip(int on);
  int EnableClir(int on);

 private:
  MxGsmHandle m_handle;
};

}  // namespace Mebrix::Fonexa::Dynamic
