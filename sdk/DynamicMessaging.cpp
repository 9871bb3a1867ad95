// The per-instance facade's message and phone-book services.
#include "MessageSending.h"
#include "RecordReads.h"
#include "fonexa/Fonexa.h"

namespace Mebrix::Fonexa::Dynamic {

int Sms::GetStorage(int& storage, int& used, int& total) { return GetSmsStorage(m_handle, &storage, &used, &total); }
int Sms::SetStorage(int storage) { return SetSmsStorage(m_handle, storage); }

int Sms::GetServiceCenter(std::string& number, int& type) {
  char buffer[FONEXA_SERVICE_CENTER_SIZE] = {};
  const int result = ::GetServiceCenter(m_handle, buffer, &type);
  if (result) number = buffer;
  return result;
}

int Sms::SetServiceCenter(const std::string& number) { return ::SetServiceCenter(m_handle, number.c_str()); }
int Sms::SendMessageA(const std::string& phone, const std::string& text) {
  return SendSms(m_handle, phone.c_str(), text.c_str());
}
int Sms::SendMessage(const std::string& phone, const std::string& text) { return SendMessageA(phone, text); }
int Sms::SendFlashMessage(const std::string& phone, const std::string& text) {
  return SendFlashSms(m_handle, phone.c_str(), text.c_str());
}
int Sms::WriteMessage(const std::string& phone, const std::string& text) {
  return WriteSmsEntry(m_handle, phone.c_str(), text.c_str());
}
int Sms::DeleteMessage(int index) { return DeleteSmsEntry(m_handle, index); }

int Sms::ReadMessage(int index, SmsEntry& entry) {
  return sdk::ReadRecord<SmsEntry, MxSmsRecord>([&](MxSmsRecord* r) { return ReadSmsEntry(m_handle, index, r); },
                                                entry);
}

int Sms::ListMessages(int status, std::vector<SmsEntry>& messages) {
  return sdk::FillList(LoadSmsEntries(m_handle, status), GetNextSmsEntry, messages);
}
std::optional<std::vector<Sms::SmsEntry>> Sms::ListMessages(int status) {
  return sdk::ListOf<SmsEntry>(LoadSmsEntries(m_handle, status), GetNextSmsEntry);
}

int Sms::SendMessageUtf8(const std::string& phone, const std::string& text) {
  return SendSmsUtf8(m_handle, phone.c_str(), text.c_str());
}
int Sms::SendFlashMessageUtf8(const std::string& phone, const std::string& text) {
  return SendFlashSmsUtf8(m_handle, phone.c_str(), text.c_str());
}
int Sms::SendMessageUtf8(const std::string& phone, const std::string& text, const SmsSendOptions& options,
                         SmsSendResult& result) {
  return sdk::SendUtf8Message(m_handle, phone.c_str(), text.c_str(), options, result);
}
int Sms::GetDeliveryStatus(int messageId) { return ::GetDeliveryStatus(messageId); }
int Sms::SetJoinTimeLimit(int milliseconds) { return ::SetJoinTimeLimit(milliseconds); }

int Sms::ReadMessageUtf8(int index, SmsUtf8Entry& entry) {
  return sdk::ReadRecord<SmsUtf8Entry, MxSmsUtf8Record>(
      [&](MxSmsUtf8Record* r) { return ReadSmsEntryUtf8(m_handle, index, r); }, entry);
}
int Sms::ListMessagesUtf8(int status, std::vector<SmsUtf8Entry>& messages) {
  return sdk::FillList(LoadSmsEntries(m_handle, status), GetNextSmsEntryUtf8, messages);
}
std::optional<std::vector<Sms::SmsUtf8Entry>> Sms::ListMessagesUtf8(int status) {
  return sdk::ListOf<SmsUtf8Entry>(LoadSmsEntries(m_handle, status), GetNextSmsEntryUtf8);
}
int Sms::ListJoinedMessages(int status, std::vector<JoinedSmsEntry>& messages) {
  return sdk::FillList(LoadJoinedSmsEntries(m_handle, status), GetNextJoinedSmsEntry, messages);
}
std::optional<std::vector<Sms::JoinedSmsEntry>> Sms::ListJoinedMessages(int status) {
  return sdk::ListOf<JoinedSmsEntry>(LoadJoinedSmsEntries(m_handle, status), GetNextJoinedSmsEntry);
}

int PhoneBook::GetStorage(int& used, int& total) { return GetPhoneBookStorage(m_handle, &used, &total); }
int PhoneBook::SetStorage(int storage) { return SetPhoneBookStorage(m_handle, storage); }
int PhoneBook::WriteEntry(int position, const std::string& number, const std::string& name) {
  return WritePhoneBookEntry(m_handle, position, number.c_str(), name.c_str());
}
int PhoneBook::DeleteEntry(int position) { return DeletePhoneBookEntry(m_handle, position); }
int PhoneBook::GetRangeInfo(int& first, int& last, int& numberLength, int& textLength) {
  return ::GetRangeInfo(m_handle, &first, &last, &numberLength, &textLength);
}

int PhoneBook::ReadEntry(int index, PhoneBookEntry& entry) {
  return sdk::ReadRecord<PhoneBookEntry, MxPhoneBookRecord>(
      [&](MxPhoneBookRecord* r) { return ReadPhoneBookEntry(m_handle, index, r); }, entry);
}

int PhoneBook::ListEntries(int first, int last, std::vector<PhoneBookEntry>& entries) {
  return sdk::FillList(LoadPhoneBookEntries(m_handle, first, last), GetNextPhoneBookEntry, entries);
}
std::optional<std::vector<PhoneBook::PhoneBookEntry>> PhoneBook::ListEntries(int first, int last) {
  return sdk::ListOf<PhoneBookEntry>(LoadPhoneBookEntries(m_handle, first, last), GetNextPhoneBookEntry);
}

}  // namespace Mebrix::Fonexa::Dynamic
