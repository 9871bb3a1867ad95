// The value types of the Fonexa SDK: times as applications receive them, and
// the fields of the records that the SDK's record classes carry.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "fonexa/FonexaCore.h"

// Marks what the Fonexa library exports; everything else in it stays hidden.
#define FONEXA_SDK_API __attribute__((visibility("default")))

namespace Mebrix::Fonexa {

/// A calendar time in eight 16-bit fields, all zero for "no time".
struct SYSTEMTIME {
  uint16_t wYear;
  uint16_t wMonth;
  uint16_t wDayOfWeek;  ///< 0 Sunday .. 6 Saturday
  uint16_t wDay;
  uint16_t wHour;
  uint16_t wMinute;
  uint16_t wSecond;
  uint16_t wMilliseconds;
};

/// A point in time as seconds since 1970-01-01 00:00 UTC; -1 for "no time".
using CTime = int64_t;

/// A date as days since 1899-12-30, the fraction being the time of day; 0 for
/// "no date".
using OleDate = double;

/// The fields behind the record classes. The static and the per-instance
/// classes of one kind hold the same fields and differ only in their getters.
struct CallFields {
  int index = 0;
  int direction = 0;
  int state = 0;
  int mode = 0;
  int multiparty = 0;
  std::string phoneNumber;
  int type = 0;
  std::string name;
};

struct SmsFields {
  int index = 0;
  int state = 0;
  int year = 0;
  int month = 0;
  int day = 0;
  int hour = 0;
  int minute = 0;
  int second = 0;
  std::string phoneNumber;
  std::string messageText;
  std::string providerPhone;
  int validity = 0;
};

/// A calendar time as the phone gave it, all zero for none.
struct CalendarFields {
  int year = 0;
  int month = 0;
  int day = 0;
  int hour = 0;
  int minute = 0;
  int second = 0;
};

/// What a stored part and a joined message share, texts in UTF-8.
struct MessageFields {
  int state = 0;
  int kind = FONEXA_SMS_KIND_RECEIVED;
  CalendarFields time;
  int partReference = -1;
  int partCount = 1;
  std::string phoneNumber;
  std::string messageText;
  std::string providerPhone;
};

/// A stored message read in UTF-8: one part, or a status report.
struct SmsUtf8Fields : MessageFields {
  int index = 0;
  int partNumber = 1;
  int reportReference = -1;
  int reportStatus = -1;
  CalendarFields discharge;
};

/// A stored message with the parts of a long one joined.
struct JoinedSmsFields : MessageFields {
  int missingParts = 0;
  /// The storage index of each part in order, -1 where a part is missing.
  std::vector<int> partIndices;
  int textLength = 0;
};

/// How a UTF-8 text is sent: as a flash message (one part only), and with a
/// delivery report asked for on every part.
struct SmsSendOptions {
  bool flash = false;
  bool deliveryReport = false;
};

/// What a send gave: the message's id for GetDeliveryStatus and the delivery
/// event (0 when a part was refused), and the message reference (TP-MR) of
/// each part the phone accepted, -1 where it gave none.
struct SmsSendResult {
  int messageId = 0;
  std::vector<int> references;
};

/// "waiting", "delivered", "pending" or "failed" for a FONEXA_DELIVERY_*
/// value; "unknown" for any other.
FONEXA_SDK_API const char* DeliveryStatusName(int status);

struct PhoneBookFields {
  int position = 0;
  std::string phoneNumber;
  int type = 0;
  std::string name;
  /// The record's time as the phone sent it: a year below 100 is two-digit.
  int year = 0;
  int month = 0;
  int day = 0;
  int hour = 0;
  int minute = 0;
};

struct NetworkFields {
  std::string name;
  int codeNumber = 0;
  int mode = 0;
  int state = 0;
};

/// What the record classes of both facades share: the fields and the getters
/// of numbers. Each facade adds the text getters in its own text type.
class FONEXA_SDK_API CallEntryBase {
 public:
  int GetIndex() const { return m_fields.index; }
  int GetDirection() const { return m_fields.direction; }
  int GetState() const { return m_fields.state; }
  int GetMode() const { return m_fields.mode; }
  int GetMultiparty() const { return m_fields.multiparty; }
  int GetType() const { return m_fields.type; }

 protected:
  CallEntryBase() = default;
  explicit CallEntryBase(const MxCallRecord& record);
  CallFields m_fields;
};

class FONEXA_SDK_API SmsEntryBase {
 public:
  int GetIndex() const { return m_fields.index; }
  int GetState() const { return m_fields.state; }
  int GetValidity() const { return m_fields.validity; }

 protected:
  SmsEntryBase() = default;
  explicit SmsEntryBase(const MxSmsRecord& record);
  /// The time stamp as local calendar time, -1 when there is none.
  CTime Seconds() const;
  SmsFields m_fields;
};

class FONEXA_SDK_API SmsUtf8EntryBase {
 public:
  int GetIndex() const { return m_fields.index; }
  int GetState() const { return m_fields.state; }
  /// FONEXA_SMS_KIND_*: received, outgoing or status report.
  int GetKind() const { return m_fields.kind; }
  /// The concatenation of a long message: -1, 1, 1 for a message of one part.
  int GetPartReference() const { return m_fields.partReference; }
  int GetPartCount() const { return m_fields.partCount; }
  int GetPartNumber() const { return m_fields.partNumber; }
  /// A status report's: the TP-MR of the message reported on and its TP-ST;
  /// -1 for other messages.
  int GetReportReference() const { return m_fields.reportReference; }
  int GetReportStatus() const { return m_fields.reportStatus; }

 protected:
  SmsUtf8EntryBase() = default;
  explicit SmsUtf8EntryBase(const MxSmsUtf8Record& record);
  /// The time stamp and a report's discharge time as local calendar time, -1
  /// when there is none.
  CTime Seconds() const;
  CTime DischargeSeconds() const;
  SmsUtf8Fields m_fields;
};

class FONEXA_SDK_API JoinedSmsEntryBase {
 public:
  int GetState() const { return m_fields.state; }
  int GetKind() const { return m_fields.kind; }
  int GetPartReference() const { return m_fields.partReference; }
  int GetPartCount() const { return m_fields.partCount; }
  int GetMissingParts() const { return m_fields.missingParts; }
  bool IsComplete() const { return m_fields.missingParts == 0; }
  /// Storage index of part 1..GetPartCount(), -1 for a missing part. To delete
  /// the message, delete each index that is not -1.
  const std::vector<int>& GetPartIndices() const { return m_fields.partIndices; }
  /// The whole text's length in bytes: more than the text holds when the
  /// engine had to cut it (FONEXA_JOINED_TEXT_SIZE).
  int GetTextLength() const { return m_fields.textLength; }

 protected:
  JoinedSmsEntryBase() = default;
  explicit JoinedSmsEntryBase(const MxJoinedSmsRecord& record);
  CTime Seconds() const;
  JoinedSmsFields m_fields;
};

class FONEXA_SDK_API PhoneBookEntryBase {
 public:
  int GetPosition() const { return m_fields.position; }
  int GetType() const { return m_fields.type; }

 protected:
  PhoneBookEntryBase() = default;
  explicit PhoneBookEntryBase(const MxPhoneBookRecord& record);
  PhoneBookFields m_fields;
};

class FONEXA_SDK_API NetworkEntryBase {
 public:
  int GetCodeNumber() const { return m_fields.codeNumber; }
  int GetMode() const { return m_fields.mode; }
  int GetState() const { return m_fields.state; }

 protected:
  NetworkEntryBase() = default;
  explicit NetworkEntryBase(const MxOperatorRecord& record);
  NetworkFields m_fields;
};

/// The last event the engine raised, read when the object is made; for
/// applications that receive events as window messages.
class FONEXA_SDK_API CurrentEventBase {
 public:
  uint32_t GetUintParam() const { return m_value; }

 protected:
  CurrentEventBase();
  std::string m_text;
  uint32_t m_value = 0;
};

/// A new message (event 0x100): the text is the sender, "#" and the message,
/// divided at the first "#" (both parts empty without one); the value is the
/// time stamp in seconds since 1970.
class FONEXA_SDK_API SmsEventBase {
 protected:
  SmsEventBase(const std::string& text, uint32_t value);
  std::string m_sender;
  std::string m_text;
  uint32_t m_value;
};

/// A long message delivered to the terminal (event 0x4000): the text is the
/// sender, "#" and the whole message in UTF-8; the value the number of parts
/// that never came (0 for a whole message).
class FONEXA_SDK_API JoinedMessageEventBase : public SmsEventBase {
 public:
  int GetMissingParts() const { return static_cast<int>(m_value); }
  bool IsComplete() const { return m_value == 0; }

 protected:
  JoinedMessageEventBase(const std::string& text, uint32_t value) : SmsEventBase(text, value) {}
};

/// A status report changed what is known of a sent message (event 0x8000):
/// the text "delivered", "pending" or "failed" for the whole message, the
/// value its id as the send returned it.
class FONEXA_SDK_API DeliveryEventBase {
 public:
  int GetMessageId() const { return static_cast<int>(m_value); }
  /// FONEXA_DELIVERY_DELIVERED, _PENDING or _FAILED; FONEXA_DELIVERY_UNKNOWN
  /// for a text the engine does not raise.
  int GetStatus() const { return m_status; }
  const char* GetStatusName() const { return DeliveryStatusName(m_status); }

 protected:
  DeliveryEventBase(const std::string& text, uint32_t value);
  int m_status;
  uint32_t m_value;
};

/// A change in the current calls (event 0x800). Its value holds the extended
/// event (1 call appeared, 2 call ended, 3 state changed) in bits 16 and up,
/// the old state or mode in bits 8-15, the new state or direction in bits 0-7.
class FONEXA_SDK_API CallEventBase {
 public:
  int GetExtendedEvent() const { return static_cast<int>(m_value >> 16); }
  int GetMode() const { return static_cast<int>((m_value >> 8) & 0xFF); }
  int GetOldState() const { return GetMode(); }
  int GetDirection() const { return static_cast<int>(m_value & 0xFF); }
  int GetNewState() const { return GetDirection(); }
  int GetState() const { return GetDirection(); }

 protected:
  explicit CallEventBase(uint32_t value) : m_value(value) {}
  uint32_t m_value;
};

}  // namespace Mebrix::Fonexa
