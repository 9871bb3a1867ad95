// The static facade's message and phone-book members.
#include "MessageSending.h"
#include "RecordReads.h"
#include "StaticFacade.h"

namespace Mebrix::Fonexa {

int Sms::GetStorage(int& storage, int& used, int& total) {
  return sdk::Bound<Dynamic::Sms>().GetStorage(storage, used, total);
}
int Sms::SetStorage(int storage) { return sdk::Bound<Dynamic::Sms>().SetStorage(storage); }
int Sms::GetServiceCenter(char* number, int& type) { return ::GetServiceCenter(sdk::FacadeInstance(), number, &type); }
int Sms::SetServiceCenter(const char* number) { return ::SetServiceCenter(sdk::FacadeInstance(), number); }
int Sms::SendMessageA(const char* phone, const char* text) { return SendSms(sdk::FacadeInstance(), phone, text); }
int Sms::SendMessage(const char* phone, const char* text) { return SendMessageA(phone, text); }
int Sms::SendFlashMessage(const char* phone, const char* text) {
  return SendFlashSms(sdk::FacadeInstance(), phone, text);
}
int Sms::WriteMessage(const char* phone, const char* text) { return WriteSmsEntry(sdk::FacadeInstance(), phone, text); }
int Sms::DeleteMessage(int index) { return sdk::Bound<Dynamic::Sms>().DeleteMessage(index); }

int Sms::ReadMessage(int index, SmsEntry& entry) {
  return sdk::ReadRecord<SmsEntry, MxSmsRecord>(
      [index](MxSmsRecord* r) { return ReadSmsEntry(sdk::FacadeInstance(), index, r); }, entry);
}
int Sms::ListMessages(int status, std::vector<SmsEntry>& messages) {
  return sdk::FillList(LoadSmsEntries(sdk::FacadeInstance(), status), GetNextSmsEntry, messages);
}
std::optional<std::vector<Sms::SmsEntry>> Sms::ListMessages(int status) {
  return sdk::ListOf<SmsEntry>(LoadSmsEntries(sdk::FacadeInstance(), status), GetNextSmsEntry);
}

int Sms::SendMessageUtf8(const char* phone, const char* text) {
  return SendSmsUtf8(sdk::FacadeInstance(), phone, text);
}
int Sms::SendFlashMessageUtf8(const char* phone, const char* text) {
  return SendFlashSmsUtf8(sdk::FacadeInstance(), phone, text);
}
int Sms::SendMessageUtf8(const char* phone, const char* text, const SmsSendOptions& options, SmsSendResult& result) {
  return sdk::SendUtf8Message(sdk::FacadeInstance(), phone, text, options, result);
}
int Sms::GetDeliveryStatus(int messageId) { return Dynamic::Sms::GetDeliveryStatus(messageId); }
int Sms::SetJoinTimeLimit(int milliseconds) { return Dynamic::Sms::SetJoinTimeLimit(milliseconds); }

int Sms::ReadMessageUtf8(int index, SmsUtf8Entry& entry) {
  return sdk::ReadRecord<SmsUtf8Entry, MxSmsUtf8Record>(
      [index](MxSmsUtf8Record* r) { return ReadSmsEntryUtf8(sdk::FacadeInstance(), index, r); }, entry);
}
int Sms::ListMessagesUtf8(int status, std::vector<SmsUtf8Entry>& messages) {
  return sdk::FillList(LoadSmsEntries(sdk::FacadeInstance(), status), GetNextSmsEntryUtf8, messages);
}
std::optional<std::vector<Sms::SmsUtf8Entry>> Sms::ListMessagesUtf8(int status) {
  return sdk::ListOf<SmsUtf8Entry>(LoadSmsEntries(sdk::FacadeInstance(), status), GetNextSmsEntryUtf8);
}
int Sms::ListJoinedMessages(int status, std::vector<JoinedSmsEntry>& messages) {
  return sdk::FillList(LoadJoinedSmsEntries(sdk::FacadeInstance(), status), GetNextJoinedSmsEntry, messages);
}
std::optional<std::vector<Sms::JoinedSmsEntry>> Sms::ListJoinedMessages(int status) {
  return sdk::ListOf<JoinedSmsEntry>(LoadJoinedSmsEntries(sdk::FacadeInstance(), status), GetNextJoinedSmsEntry);
}

int PhoneBook::GetStorage(int& used, int& total) { return sdk::Bound<Dynamic::PhoneBook>().GetStorage(used, total); }
int PhoneBook::SetStorage(int storage) { return sdk::Bound<Dynamic::PhoneBook>().SetStorage(storage); }
int PhoneBook::WriteEntry(int position, const char* number, const char* name) {
  return WritePhoneBookEntry(sdk::FacadeInstance(), position, number, name);
}
int PhoneBook::DeleteEntry(int position) { return sdk::Bound<Dynamic::PhoneBook>().DeleteEntry(position); }
int PhoneBook::GetRangeInfo(int& first, int& last, int& numberLength, int& textLength) {
  return sdk::Bound<Dynamic::PhoneBook>().GetRangeInfo(first, last, numberLength, textLength);
}

int PhoneBook::ReadEntry(int index, PhoneBookEntry& entry) {
  return sdk::ReadRecord<PhoneBookEntry, MxPhoneBookRecord>(
      [index](MxPhoneBookRecord* r) { return ReadPhoneBookEntry(sdk::FacadeInstance(), index, r); }, entry);
}
int PhoneBook::ListEntries(int first, int last, std::vector<PhoneBookEntry>& entries) {
  return sdk::FillList(LoadPhoneBookEntries(sdk::FacadeInstance(), first, last), GetNextPhoneBookEntry, entries);
}
std::optional<std::vector<PhoneBook::PhoneBookEntry>> PhoneBook::ListEntries(int first, int last) {
  return sdk::ListOf<PhoneBookEntry>(LoadPhoneBookEntries(sdk::FacadeInstance(), first, last), GetNextPhoneBookEntry);
}

}  // namespace Mebrix::Fonexa
