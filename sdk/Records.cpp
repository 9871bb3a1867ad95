// The record classes of both facades: built from the engine's flat records.
#include "RecordConversion.h"
#include "fonexa/Fonexa.h"

namespace Mebrix::Fonexa {

CallEntryBase::CallEntryBase(const MxCallRecord& record) : m_fields(sdk::FieldsOf(record)) {}
SmsEntryBase::SmsEntryBase(const MxSmsRecord& record) : m_fields(sdk::FieldsOf(record)) {}
SmsUtf8EntryBase::SmsUtf8EntryBase(const MxSmsUtf8Record& record) : m_fields(sdk::FieldsOf(record)) {}
JoinedSmsEntryBase::JoinedSmsEntryBase(const MxJoinedSmsRecord& record) : m_fields(sdk::FieldsOf(record)) {}
PhoneBookEntryBase::PhoneBookEntryBase(const MxPhoneBookRecord& record) : m_fields(sdk::FieldsOf(record)) {}
NetworkEntryBase::NetworkEntryBase(const MxOperatorRecord& record) : m_fields(sdk::FieldsOf(record)) {}

CTime SmsEntryBase::Seconds() const {
  return sdk::LocalTimeToSeconds(m_fields.year, m_fields.month, m_fields.day, m_fields.hour, m_fields.minute,
                                 m_fields.second);
}

CTime SmsUtf8EntryBase::Seconds() const { return sdk::LocalTimeToSeconds(m_fields.time); }
CTime SmsUtf8EntryBase::DischargeSeconds() const { return sdk::LocalTimeToSeconds(m_fields.discharge); }
CTime JoinedSmsEntryBase::Seconds() const { return sdk::LocalTimeToSeconds(m_fields.time); }

SYSTEMTIME Sms::SmsEntry::GetTime() const { return sdk::SystemTimeOf(Seconds()); }
SYSTEMTIME Sms::SmsUtf8Entry::GetTime() const { return sdk::SystemTimeOf(Seconds()); }
SYSTEMTIME Sms::SmsUtf8Entry::GetDischargeTime() const { return sdk::SystemTimeOf(DischargeSeconds()); }
SYSTEMTIME Sms::JoinedSmsEntry::GetTime() const { return sdk::SystemTimeOf(Seconds()); }

OleDate PhoneBook::PhoneBookEntry::GetTime() const { return sdk::PhoneBookDateOf(m_fields); }

}  // namespace Mebrix::Fonexa
