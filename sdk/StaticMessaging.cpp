// The static facade's message and phone-book members.
#include "RecordReads.h"
#include "StaticFacade.h"

namespace Mebrix::Fonexa {
namespace {

MxGsmHandle Instance() { return sdk::StaticFacade::Get().Instance(); }
Dynamic::Sms BoundSms() { return Dynamic::Sms(Dynamic::BorrowedHandle{Instance()}); }
Dynamic::PhoneBook BoundPhoneBook() { return Dynamic::PhoneBook(Dynamic::BorrowedHandle{Instance()}); }

}  // namespace

int Sms::GetStorage(int& storage, int& used, int& total) { return BoundSms().GetStorage(storage, used, total); }
int Sms::SetStorage(int storage) { return BoundSms().SetStorage(storage); }
int Sms::GetServiceCenter(char* number, int& type) { return ::GetServiceCenter(Instance(), number, &type); }
int Sms::SetServiceCenter(const char* number) { return ::SetServiceCenter(Instance(), number); }
int Sms::SendMessageA(const char* phone, const char* text) { return SendSms(Instance(), phone, text); }
int Sms::SendMessage(const char* phone, const char* text) { return SendMessageA(phone, text); }
int Sms::SendFlashMessage(const char* phone, const char* text) { return SendFlashSms(Instance(), phone, text); }
int Sms::WriteMessage(const char* phone, const char* text) { return WriteSmsEntry(Instance(), phone, text); }
int Sms::DeleteMessage(int index) { return BoundSms().DeleteMessage(index); }

int Sms::ReadMessage(int index, SmsEntry& entry) {
  return sdk::ReadRecord<SmsEntry, MxSmsRecord>([index](MxSmsRecord* r) { return ReadSmsEntry(Instance(), index, r); },
                                                entry);
}
int Sms::ListMessages(int status, std::vector<SmsEntry>& messages) {
  return sdk::FillList(LoadSmsEntries(Instance(), status), GetNextSmsEntry, messages);
}
std::optional<std::vector<Sms::SmsEntry>> Sms::ListMessages(int status) {
  return sdk::ListOf<SmsEntry>(LoadSmsEntries(Instance(), status), GetNextSmsEntry);
}

int PhoneBook::GetStorage(int& used, int& total) { return BoundPhoneBook().GetStorage(used, total); }
int PhoneBook::SetStorage(int storage) { return BoundPhoneBook().SetStorage(storage); }
int PhoneBook::WriteEntry(int position, const char* number, const char* name) {
  return WritePhoneBookEntry(Instance(), position, number, name);
}
int PhoneBook::DeleteEntry(int position) { return BoundPhoneBook().DeleteEntry(position); }
int PhoneBook::GetRangeInfo(int& first, int& last, int& numberLength, int& textLength) {
  return BoundPhoneBook().GetRangeInfo(first, last, numberLength, textLength);
}

int PhoneBook::ReadEntry(int index, PhoneBookEntry& entry) {
  return sdk::ReadRecord<PhoneBookEntry, MxPhoneBookRecord>(
      [index](MxPhoneBookRecord* r) { return ReadPhoneBookEntry(Instance(), index, r); }, entry);
}
int PhoneBook::ListEntries(int first, int last, std::vector<PhoneBookEntry>& entries) {
  return sdk::FillList(LoadPhoneBookEntries(Instance(), first, last), GetNextPhoneBookEntry, entries);
}
std::optional<std::vector<PhoneBook::PhoneBookEntry>> PhoneBook::ListEntries(int first, int last) {
  return sdk::ListOf<PhoneBookEntry>(LoadPhoneBookEntries(Instance(), first, last), GetNextPhoneBookEntry);
}

}  // namespace Mebrix::Fonexa
