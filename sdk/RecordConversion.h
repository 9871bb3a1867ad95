// From the engine's flat records and time values to what the SDK hands out:
// the one place where record fields and times are converted.
#pragma once

#include "fonexa/FonexaCore.h"
#include "fonexa/FonexaTypes.h"

namespace Mebrix::Fonexa::sdk {

CallFields FieldsOf(const MxCallRecord& record);
SmsFields FieldsOf(const MxSmsRecord& record);
SmsUtf8Fields FieldsOf(const MxSmsUtf8Record& record);
JoinedSmsFields FieldsOf(const MxJoinedSmsRecord& record);
PhoneBookFields FieldsOf(const MxPhoneBookRecord& record);
NetworkFields FieldsOf(const MxOperatorRecord& record);

// A local calendar time as seconds since 1970, daylight saving decided by the
// system; -1 when the fields are no valid time.
CTime LocalTimeToSeconds(int year, int month, int day, int hour, int minute, int second);

CTime LocalTimeToSeconds(const CalendarFields& time);

// Seconds since 1970 as local calendar time; all zero for -1 or a value the
// calendar cannot hold.
SYSTEMTIME SystemTimeOf(CTime seconds);

// The date value (days since 1899-12-30) of a calendar time; 0 when the fields
// are no valid date.
OleDate OleDateOf(int year, int month, int day, int hour, int minute, int second);

// A phone-book time's date value. Phones write two-digit years, so a year
// below 100 counts from 2000.
OleDate PhoneBookDateOf(const PhoneBookFields& fields);

}  // namespace Mebrix::Fonexa::sdk
