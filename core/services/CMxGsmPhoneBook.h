// CMxGsmPhoneBook: the phone books of the phone over one modem session:
// which storage is current (+CPBS), its location range and lengths, reading,
// writing and deleting entries (+CPBR, +CPBW). Storage numbers and the names
// sent for them are the device profile's, so each plug-in offers its own set.
#pragma once

#include <string>
#include <vector>

#include "codec/PhoneBookEntry.h"

class CMxGsmBasics;

class CMxGsmPhoneBook {
 public:
  explicit CMxGsmPhoneBook(CMxGsmBasics* session) : m_session(session) {}
  virtual ~CMxGsmPhoneBook() = default;

  // Every operation opens the session for its dialogue (so it also works on a
  // session whose port is closed) and leaves the open count as it found it.

  // The current storage's number as the device profile maps its name, with
  // its used and total locations; -1 on any failure.
  int GetCurrentPhoneBookStorageInfo(int& used, int& total);
  // Selects the storage the profile names for number: 1 on OK, 0 when the
  // phone refuses or the profile has no name for it (nothing is sent), -1
  // when the port cannot be opened.
  int SetCurrentPhoneBookStorage(int number);
  // The valid locations and the longest number and text of the current storage.
  int GetPhoneBookInfo(int& first, int& last, int& numberLength, int& textLength);
  // Reads the locations first..last (-1 for either: the whole range the phone
  // reports). 1 when the listing ended with OK; entries read before a failure
  // stay in the list. A phone that lists more entries than locations asked
  // for, or takes longer than 30 s plus 0.5 s per location, fails the read.
  int ReadPhoneBookEntries(int first, int last, std::vector<fonexa::PhoneBookEntry>& list);
  // Writes number and name at position, or at the first free location when
  // position is below 0. With both empty, deletes the position. A number or
  // name with a quotation mark, a control byte or DEL is refused unsent.
  int WritePhoneBookEntry(int position, const std::string& number, const std::string& name);
  int DeletePhoneBookEntry(int position);

 private:
  CMxGsmBasics* m_session;
};
