// Fonexa: the C++ interface to the GSM engine.
//
// Mebrix::Fonexa holds the static facade: classes whose members all work on
// one process-wide engine instance, created by Module::Initialize, so that an
// application writes Module::Initialize("GenericPhone@/dev/ttyUSB0") and then
// Call::Dial("+420606111222") without ever seeing a handle. Any number of
// application handlers share one engine registration per event identifier.
//
// Mebrix::Fonexa::Dynamic (FonexaDynamic.h, included below) holds the
// per-instance facade: a Gsm object owns its own engine instance, and service
// objects made from it forward with that instance.
//
// Nothing here throws. Results follow the engine: 1 (or another non-zero
// value) for success, 0 for failure, unless a member says otherwise. Text
// outputs into char buffers need the sizes FonexaCore.h names (FONEXA_*_SIZE).
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "fonexa/FonexaCore.h"
#include "fonexa/FonexaTypes.h"

namespace Mebrix::Fonexa {

class FONEXA_SDK_API Module {
 public:
  /// Creates the process-wide instance and GPRS object on first use, drops the
  /// facade's event registrations, and brings the phone up: text is the plug-in
  /// name and the port joined by "@" ("GenericPhone@/dev/ttyUSB0"). May be
  /// called again for another port or device.
  static int Initialize(const char* text);
  /// Releases the GPRS object and the instance, tells the module-state handlers
  /// state 0, and drops the facade's event registrations.
  static void Uninitialize();
  static int SwitchOn();
  static int SwitchOff();
  /// query 0: 1 when the facade holds an instance; 1..4 as the engine answers.
  static int GetState(int query);
  static int GetActivity();
  static int GetSimId(char* out);         ///< FONEXA_SIM_ID_SIZE
  static int GetTime(char* out);          ///< FONEXA_TIME_SIZE
  static int GetManufacturer(char* out);  ///< FONEXA_IDENTITY_SIZE
  static int GetModel(char* out);         ///< FONEXA_IDENTITY_SIZE
  static int GetImei(char* out);          ///< FONEXA_IDENTITY_SIZE
  static int SetTime(const char* time);
  static int RunDiagnostics(const char* path);
  static int RestoreFactorySettings();
  static int SendCustomAtCommand(const char* command, char* response);  ///< FONEXA_CUSTOM_RESPONSE_SIZE
  /// The instance lock; an empty owner is named "CModule::Attach".
  static int Attach(const char* owner, int timeout);
  static int Attach(int timeout);
  static int Detach();
  static int OpenDebugLog(const char* path);
  static int CloseDebugLog();
};

class FONEXA_SDK_API Call {
 public:
  class FONEXA_SDK_API CallEntry : public CallEntryBase {
   public:
    CallEntry() = default;
    explicit CallEntry(const MxCallRecord& record) : CallEntryBase(record) {}
    const char* GetPhoneNumber() const { return m_fields.phoneNumber.c_str(); }
    const char* GetName() const { return m_fields.name.c_str(); }
  };

  static int Answer();
  static int Hangup();
  static int SetupGsmAudio();
  static int VoiceOn();
  static int VoiceOff();
  static int Dial(const char* number);
  static int DialFromPhoneBook(int location);
  static int DialFromPhoneBook(int storage, int location);
  static void InterruptDialing();
  static int ManageMultiparty(int mode);
  static int ManageMultiparty(int mode, int index);
  static int GetCallForwarding(int reason, int callClass, int& status);
  static int GetCallForwarding(int reason, int callClass, int& status, char* number);  ///< FONEXA_FORWARDING_NUMBER_SIZE
  static int GetCallForwarding(int reason, int callClass, int& status, char* number, int& time);
  static int SetCallForwarding(int reason, int callClass, int enable);
  static int SetCallForwarding(int reason, int callClass, int enable, const char* number);
  static int SetCallForwarding(int reason, int callClass, int enable, const char* number, int time);
  static int GetCallBarring(int type, int callClass, int& status);
  static int GetCallBarring(int type, int callClass, const char* password, int& status);
  static int SetCallBarring(int type, int callClass, int lock);
  static int SetCallBarring(int type, int callClass, const char* password, int lock);
  static int GetLastCallDuration(char* out);   ///< FONEXA_CALL_DURATION_SIZE
  static int GetTotalCallDuration(char* out);  ///< FONEXA_CALL_DURATION_SIZE
  /// The calls in progress. 0 leaves calls as it was.
  static int ListCurrentCalls(std::vector<CallEntry>& calls);
  static std::optional<std::vector<CallEntry>> ListCurrentCalls();
};

class FONEXA_SDK_API Sms {
 public:
  class FONEXA_SDK_API SmsEntry : public SmsEntryBase {
   public:
    SmsEntry() = default;
    explicit SmsEntry(const MxSmsRecord& record) : SmsEntryBase(record) {}
    const char* GetPhoneNumber() const { return m_fields.phoneNumber.c_str(); }
    const char* GetMessageText() const { return m_fields.messageText.c_str(); }
    const char* GetProviderPhone() const { return m_fields.providerPhone.c_str(); }
    /// The time stamp in local time; all zero when the message has none.
    SYSTEMTIME GetTime() const;
  };

  /// A stored message in UTF-8: one part of a long message, or a status report.
  class FONEXA_SDK_API SmsUtf8Entry : public SmsUtf8EntryBase {
   public:
    SmsUtf8Entry() = default;
    explicit SmsUtf8Entry(const MxSmsUtf8Record& record) : SmsUtf8EntryBase(record) {}
    /// The sender; the recipient of an outgoing message or of a report.
    const char* GetPhoneNumber() const { return m_fields.phoneNumber.c_str(); }
    /// A report's: "delivered", "pending" or "failed".
    const char* GetMessageText() const { return m_fields.messageText.c_str(); }
    const char* GetProviderPhone() const { return m_fields.providerPhone.c_str(); }
    SYSTEMTIME GetTime() const;
    /// A report's: when the outcome was reached; all zero for other messages.
    SYSTEMTIME GetDischargeTime() const;
  };

  /// A stored message with the parts of a long one joined, in UTF-8.
  class FONEXA_SDK_API JoinedSmsEntry : public JoinedSmsEntryBase {
   public:
    JoinedSmsEntry() = default;
    explicit JoinedSmsEntry(const MxJoinedSmsRecord& record) : JoinedSmsEntryBase(record) {}
    const char* GetPhoneNumber() const { return m_fields.phoneNumber.c_str(); }
    /// The parts present, in order; a missing part adds nothing.
    const char* GetMessageText() const { return m_fields.messageText.c_str(); }
    const char* GetProviderPhone() const { return m_fields.providerPhone.c_str(); }
    /// The time stamp of the first part present.
    SYSTEMTIME GetTime() const;
  };

  static int GetStorage(int& storage, int& used, int& total);
  static int SetStorage(int storage);
  static int GetServiceCenter(char* number, int& type);  ///< FONEXA_SERVICE_CENTER_SIZE
  static int SetServiceCenter(const char* number);
  static int SendMessageA(const char* phone, const char* text);
  /// SendMessageA under its plain name.
  static int SendMessage(const char* phone, const char* text);
  static int SendFlashMessage(const char* phone, const char* text);
  static int WriteMessage(const char* phone, const char* text);
  static int DeleteMessage(int index);
  /// The message at index; entry is left as it was when it cannot be read.
  static int ReadMessage(int index, SmsEntry& entry);
  /// The messages of a status (0 unread .. 3 sent, 4 all). 0 leaves messages as it was.
  static int ListMessages(int status, std::vector<SmsEntry>& messages);
  static std::optional<std::vector<SmsEntry>> ListMessages(int status);

  /// Texts in UTF-8, in any language: 7-bit when the GSM alphabet holds every
  /// character, else UCS2; long texts in parts. 1 when every part was accepted.
  static int SendMessageUtf8(const char* phone, const char* text);
  static int SendFlashMessageUtf8(const char* phone, const char* text);
  /// The message's id (positive) when every part was accepted, else 0;
  /// result holds the references of the parts accepted either way.
  static int SendMessageUtf8(const char* phone, const char* text, const SmsSendOptions& options,
                             SmsSendResult& result);
  /// What the reports say of a message sent with a delivery report asked for:
  /// FONEXA_DELIVERY_* (DeliveryStatusName names it).
  static int GetDeliveryStatus(int messageId);
  static int ReadMessageUtf8(int index, SmsUtf8Entry& entry);
  /// One entry per stored part, as ListMessages, in UTF-8.
  static int ListMessagesUtf8(int status, std::vector<SmsUtf8Entry>& messages);
  static std::optional<std::vector<SmsUtf8Entry>> ListMessagesUtf8(int status);
  /// One entry per message: the parts of a long one joined, in whatever order
  /// the phone stores them, at the place of its first part.
  static int ListJoinedMessages(int status, std::vector<JoinedSmsEntry>& messages);
  static std::optional<std::vector<JoinedSmsEntry>> ListJoinedMessages(int status);
  /// How long parts delivered to the terminal wait for the rest of their
  /// message before the joined-message event tells it with parts missing.
  static int SetJoinTimeLimit(int milliseconds);
};

class FONEXA_SDK_API PhoneBook {
 public:
  class FONEXA_SDK_API PhoneBookEntry : public PhoneBookEntryBase {
   public:
    PhoneBookEntry() = default;
    explicit PhoneBookEntry(const MxPhoneBookRecord& record) : PhoneBookEntryBase(record) {}
    const char* GetPhoneNumber() const { return m_fields.phoneNumber.c_str(); }
    const char* GetName() const { return m_fields.name.c_str(); }
    /// The entry's time as a date value, 0 when it has none. Phones write
    /// two-digit years: a year below 100 counts from 2000.
    OleDate GetTime() const;
  };

  /// The current storage (0 "SM" .. 6 "ME"), or 0 / -1 on failure.
  static int GetStorage(int& used, int& total);
  static int SetStorage(int storage);
  static int WriteEntry(int position, const char* number, const char* name);
  static int DeleteEntry(int position);
  static int GetRangeInfo(int& first, int& last, int& numberLength, int& textLength);
  /// The entry at index; entry is left as it was when it cannot be read.
  static int ReadEntry(int index, PhoneBookEntry& entry);
  /// Locations first..last (-1, -1: the whole storage). 0 leaves entries as it was.
  static int ListEntries(int first, int last, std::vector<PhoneBookEntry>& entries);
  static std::optional<std::vector<PhoneBookEntry>> ListEntries(int first, int last);
};

class FONEXA_SDK_API Network {
 public:
  class FONEXA_SDK_API NetworkEntry : public NetworkEntryBase {
   public:
    NetworkEntry() = default;
    explicit NetworkEntry(const MxOperatorRecord& record) : NetworkEntryBase(record) {}
    const char* GetName() const { return m_fields.name.c_str(); }
  };

  static int GetSignalQuality(int& rssi);
  static int GetSignalQuality(int& rssi, int& ber);
  static int GetRegistrationStatus(int& stat);
  /// entry is left as it was when the operator cannot be read.
  static int GetCurrentOperator(NetworkEntry& entry);
  static int SetAutomaticOperator();
  static int SetManualOperator(int code);
  /// 0 leaves operators as it was.
  static int ListWorldOperators(std::vector<NetworkEntry>& operators);
  static std::optional<std::vector<NetworkEntry>> ListWorldOperators();
  static int ListLocalOperators(std::vector<NetworkEntry>& operators);
  static std::optional<std::vector<NetworkEntry>> ListLocalOperators();
};

class FONEXA_SDK_API Protection {
 public:
  static int GetVerifyStatus();
  static int GetPinCounter();
  static int GetLock(int type, const char* password, int& status);
  static int SetLock(int type, const char* password, int on);
  static int ChangePin(int kind, const char* oldCode, const char* newCode);
  static int AutoVerify();
  static int Verify(const char* code);
  static int Verify(const char* code, const char* secondCode);
};

class FONEXA_SDK_API Other {
 public:
  /// Asked for a code with a caption and a message; returns the code, "" to cancel.
  using GetPinFunction = std::string (*)(std::string caption, std::string message);

  static const char* GetFonexaCoreVersion();
  /// The code supplier of AutoVerify for the process-wide instance.
  static int SetGetPinFunction(GetPinFunction function);
  static int CompareNumbers(const char* a, const char* b);
  /// out needs strlen(number) + 1 bytes.
  static int CleanNumberFormat(const char* number, char* out);
};

class FONEXA_SDK_API Events {
 public:
  /// What an application derives to receive events. Called on the thread that
  /// raised the event, possibly while the device lock is held; the result is
  /// not used.
  class FONEXA_SDK_API EventHandler {
   public:
    EventHandler() = default;
    virtual int OnEvent(uint32_t id, const char* text, uint32_t value) = 0;

   protected:
    /// Handlers are never deleted through this class.
    ~EventHandler() = default;
  };

  using EventFunction = std::function<void(uint32_t id, const std::string& text, uint32_t value)>;

  class FONEXA_SDK_API CurrentEvent : public CurrentEventBase {
   public:
    const char* GetStringParam() const { return m_text.c_str(); }
  };

  /// A change in the current calls (event 0x800): the number and the value.
  class FONEXA_SDK_API CallEvent : public CallEventBase {
   public:
    CallEvent(const char* text, uint32_t value) : CallEventBase(value), m_text(text ? text : "") {}
    const char* GetNumber() const { return m_text.c_str(); }

   private:
    std::string m_text;
  };

  class FONEXA_SDK_API SmsEvent : public SmsEventBase {
   public:
    SmsEvent(const char* text, uint32_t value) : SmsEventBase(text ? text : "", value) {}
    const char* GetSender() const { return m_sender.c_str(); }
    const char* GetText() const { return m_text.c_str(); }
    /// The time stamp in local time.
    SYSTEMTIME GetTime() const;
  };

  /// A long message delivered to the terminal, joined (event 0x4000).
  class FONEXA_SDK_API JoinedMessageEvent : public JoinedMessageEventBase {
   public:
    JoinedMessageEvent(const char* text, uint32_t value) : JoinedMessageEventBase(text ? text : "", value) {}
    const char* GetSender() const { return m_sender.c_str(); }
    const char* GetText() const { return m_text.c_str(); }
  };

  /// What the reports say of a sent message (event 0x8000).
  class FONEXA_SDK_API DeliveryEvent : public DeliveryEventBase {
   public:
    DeliveryEvent(const char* text, uint32_t value) : DeliveryEventBase(text ? text : "", value) {}
  };

  /// The window message events arrive as.
  static constexpr uint32_t GsmEventMessage = 0x511;

  /// Adds handler for event id and returns its cookie for Unregister. The first
  /// handler of an id registers the facade with the engine; a module-state
  /// (0x1000) handler is told the current state at once.
  static uint32_t Register(uint32_t id, EventHandler* handler);
  static uint32_t Register(uint32_t id, EventFunction function);
  /// Removes the handler with that cookie: 1 when it was the last one of its
  /// id and the engine registration went with it, else 0.
  static int Unregister(uint32_t cookie);
  static int EnableNetworkEvents(int on);
  static int EnableClip(int on);
  static int EnableClir(int on);
};

}  // namespace Mebrix::Fonexa

#include "fonexa/FonexaDynamic.h"
