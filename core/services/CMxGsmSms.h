// CMxGsmSms: the short-message service over one modem session, in GSM 07.05
// PDU mode. Sends texts (cut into concatenated parts when long, or as one
// class-0 "flash" part), stores a text in the phone's memory, lists, reads and
// deletes stored messages, selects and queries the message storage, reads and
// sets the service centre, and acknowledges a message the phone delivered
// straight to the terminal ("+CMT:").
//
// Every operation needs a session that is already open, and its caller holds
// the session lock for the whole operation. Results are 1 for success and 0
// for failure unless said otherwise.
#pragma once

#include <string>
#include <vector>

#include "codec/MessageJoining.h"
#include "codec/SmsEntry.h"

class CMxGsmBasics;

class CMxGsmSms {
 public:
  explicit CMxGsmSms(CMxGsmBasics* session) : m_session(session) {}
  virtual ~CMxGsmSms() = default;

  // "AT+CMGF=0": PDU mode, selected before every send and store.
  int _SelectPduFormat();
  // Acknowledges a message the phone delivered straight to the terminal.
  int SetMessageAknowledge(int n);

  // The service-centre address: type 145 for a number that begins with "+",
  // else 129. An empty number, or one that could break the command line, is
  // refused without a command.
  int SetServiceCenter(const std::string& number);
  // The number exactly as the phone writes it (quotes included) and its type.
  int GetServiceCenter(std::string& number, int& type);

  // Deletes the message at index; an index below 0 is refused without a command.
  int DeleteMessage(int index);
  // Lists the messages of the current storage with the GSM 07.05 <stat>
  // (0 received unread, 1 received read, 2 stored unsent, 3 stored sent,
  // 4 all). 1 when the listing ended with "OK"; a listing cut short returns 0
  // and keeps the entries read so far, as does one of more than 1000
  // messages or longer than 509 s. An entry whose PDU does not decode is
  // left out.
  int ReadSmsEntries(int stat, std::vector<fonexa::SmsEntry>& list);
  // Reads the message at index into entry: 1 when a message was read;
  // otherwise 0 and entry as it was (an empty location, an error answer, a
  // PDU that does not decode, an index below 0).
  int ReadSmsEntry(int index, fonexa::SmsEntry& entry);

  // Numbers of the sends and the store are cleaned as phone numbers are
  // (blanks, "-", "/", a trunk "(0)") and must then be an optional "+" and
  // at most 20 digits, "*" or "#"; any other number is refused unsent.

  // Sends the text: one message, or concatenated parts in order sharing one
  // reference, stopping at the first part the phone does not accept. 1 when
  // every part was accepted.
  int SendTextMessage(const std::string& phoneNumber, const std::string& text);
  // Sends the text as one class-0 message; 0 without a command when it needs
  // more than one part.
  int SendFlashMessage(const std::string& phoneNumber, const std::string& text);
  // Sends one part: "AT+CMGS=<length>", the PDU after the "> " prompt, Ctrl-Z.
  int _SendPartialMessage(const std::string& phoneNumber, const std::string& text, int partIndex, int partCount,
                          int alphabet, int flash);
  // Sends a UTF-8 text: in the 7-bit alphabet when every character is in it
  // or its extension table, else in UCS2, cut into parts that never split an
  // escape pair or a surrogate pair. flash sends one class-0 part (0 without
  // a command when the text needs more); statusReport asks the network for a
  // report on every part (TP-SRR). references receives the TP-MR of each part
  // sent (-1 where the phone did not say). 1 when every part was accepted;
  // the message is then recorded for its delivery reports under messageId
  // (see DeliveryTracker).
  int SendUtf8Message(const std::string& phoneNumber, const std::string& text, bool flash, bool statusReport,
                      std::vector<int>& references, int& messageId);

  // The listing of ReadSmsEntries with the parts of each long message joined
  // into one (see JoinMessageParts); the same result.
  int ReadJoinedMessages(int stat, std::vector<fonexa::JoinedMessage>& list);

  // Stores a one-part text in the phone's memory; the new message's index, or -1.
  int WriteSmsEntry(const std::string& phoneNumber, const std::string& text);

  // Selects storage 0 "SM", 1 "ME" or 2 "MT" for reading and writing; any
  // other number is refused without a command.
  int SetSmsStorage(int storage);
  // The reading storage with its used and total locations.
  int GetSmsStorage(int& storage, int& used, int& total);

 private:
  // Writes a built PDU with "AT+CMGS" and reads the network's answer; the
  // TP-MR of "+CMGS:" into reference (-1 when none came).
  int SendBuiltPdu(const std::string& pdu, int length, int& reference);
  // Status reports found in a listing or a read, matched to the messages
  // sent and told to the application (kEventDeliveryReport); and delivered
  // parts whose time limit passed, told as they stand (kEventJoinedMessage).
  void TakeStatusReports(const std::vector<fonexa::SmsEntry>& entries);

  CMxGsmBasics* m_session;
};
