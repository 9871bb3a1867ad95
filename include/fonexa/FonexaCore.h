/**
 * @file
 * FonexaCore: the flat C interface of the GSM engine.
 *
 * Every function returns its failure value for bad arguments and never throws.
 * Texts are single-byte (Latin-1) strings. Output buffers belong to the caller;
 * each output names the size it needs (the FONEXA_*_SIZE constants below), and
 * no function writes more than that many bytes, the terminating NUL included.
 */
#ifndef FONEXA_FONEXACORE_H
#define FONEXA_FONEXACORE_H

#include <stdint.h>

#include "fonexa/FonexaApi.h"

#ifdef __cplusplus
extern "C" {
#endif

/* ---- Output sizes ---------------------------------------------------------
 * Each text output's capacity in bytes, its terminating NUL included. A longer
 * text is cut to fit; nothing is ever written past these sizes. */
#define FONEXA_EVENT_TEXT_SIZE 500        /**< GetEventParams */
#define FONEXA_SIM_ID_SIZE 32             /**< GetSimId (an ICCID has up to 20 digits) */
#define FONEXA_TIME_SIZE 32               /**< GetTime ("yy/MM/dd,hh:mm:ss+zz" is 20 characters) */
#define FONEXA_CALL_DURATION_SIZE 20      /**< GetLastCallDuration, GetTotalCallDuration */
#define FONEXA_SERVICE_CENTER_SIZE 32     /**< GetServiceCenter */
#define FONEXA_IDENTITY_SIZE 52           /**< GetManufacturer, GetModel, GetImei */
#define FONEXA_FORWARDING_NUMBER_SIZE 100 /**< GetCallForwarding */
#define FONEXA_CUSTOM_RESPONSE_SIZE 4096  /**< SendCustomAtCommand; SendCustomAtCommandEx takes any size */

/* ---- Instances ------------------------------------------------------------ */

/** The handle of an instance: one attached phone. */
typedef struct MxGsmInstance* MxGsmHandle;

/* Module states answered through GetState's callers. */
#define FONEXA_STATE_CREATED 1 /**< created, not initialized */
#define FONEXA_STATE_INITIALIZED 2 /**< initialized, the SIM not ready */
#define FONEXA_STATE_VERIFYING 3 /**< a code is being verified */
#define FONEXA_STATE_READY 4 /**< the SIM is ready */

/** A new instance (null when it cannot be made). One live instance per process
 * is the supported use. */
FONEXA_API MxGsmHandle CreateGsmInstance(void);
/** Ends the instance and the engine's threads. 0 when a release is already under
 * way or done (until a new instance is created), else non-zero. It waits for the
 * exports running on other threads to end. Called from an event handler, it
 * returns at once and the instance goes as soon as the handler's thread has
 * left it; the handle must not be used again either way. */
FONEXA_API int ReleaseGsm(MxGsmHandle h);
/** Brings the phone up: text is the plug-in name and the port joined by "@",
 * as "GenericPhone@/dev/ttyUSB0" or "GenericPhone@/dev/ttyUSB0@115200". It (and
 * SwitchOn, SwitchOff) waits until the exports running on other threads and the
 * background poll have ended, and keeps new ones waiting until it is done. */
FONEXA_API int Initialize(MxGsmHandle h, const char* text);
/** Does nothing: the phone stays attached until ReleaseGsm. Kept for the
 * applications that call it. */
FONEXA_API void Uninitialize(MxGsmHandle h);
/** Switches the module on through the plug-in: 1 done, 0 not. */
FONEXA_API int SwitchOn(MxGsmHandle h);
/** Switches the module off through the plug-in: 1 done, 0 not. */
FONEXA_API int SwitchOff(MxGsmHandle h);
/** 1 when the module is powered, else 0. */
FONEXA_API int IsModuleOn(MxGsmHandle h);
/** query 1 powered, 2 SIM present, 3 verifying or ready, 4 ready (and opens or
 * closes the background monitor accordingly). */
FONEXA_API int GetState(MxGsmHandle h, int query);
/** The instance lock, for a series of calls that must not be interleaved with
 * others; timeoutMs -1 waits without limit. */
FONEXA_API int Attach(MxGsmHandle h, const char* owner, int timeoutMs);
/** Releases the instance lock taken with Attach: 1, or 0 when this thread did not hold it. */
FONEXA_API int Detach(MxGsmHandle h);

/* ---- Library ------------------------------------------------------------ */

/** The engine's version text, "1.3.040726". Never fails. */
FONEXA_API const char* GetFonexaCoreVersion(void);

/** Opens the trace log at path and the traffic log "com.txt" in the same folder
 * (the current folder when path has no "/"). Returns 1 when the trace log was
 * opened by this call, 0 when it was already open or could not be created. */
FONEXA_API int OpenDebugLog(const char* path);

/** Closes the traffic log and the trace log; returns the result of closing the
 * trace log (0 when it was not open). */
FONEXA_API int CloseDebugLog(void);

/* ---- Windows ------------------------------------------------------------ */

/** A message target for event notifications. The application makes one with a
 * procedure of its own; sending a message to it calls that procedure at once,
 * on the sending thread. A GUI application forwards from there to its own event
 * loop. Event notifications arrive as message 1297 with the event identifier as
 * wParam and, as lParam, the address of the last event's text. */
typedef struct MxWindowObject* MxWindow;
/** A window's procedure: the window, the message and its parameters, and the
 * context given to MxCreateWindow. */
typedef intptr_t (*MxWindowProc)(MxWindow window, uint32_t message, uintptr_t wParam, intptr_t lParam,
                                 void* context);

/** A new window calling proc with context; null when proc is null. */
FONEXA_API MxWindow MxCreateWindow(MxWindowProc proc, void* context);
/** Destroys the window; messages sent to it afterwards go nowhere. */
FONEXA_API void MxDestroyWindow(MxWindow window);
/** Calls the window's procedure; 0 when the window does not exist (any more). */
FONEXA_API intptr_t MxSendMessage(MxWindow window, uint32_t message, uintptr_t wParam, intptr_t lParam);

/* ---- Events ------------------------------------------------------------- */

#ifdef __cplusplus
}
#include "fonexa/IMxGsmHandler.h"
extern "C" {
#else
/** Implemented by C++ applications; C applications register windows instead. */
typedef struct IMxGsmHandler IMxGsmHandler;
#endif

/* Event identifiers. */
#define FONEXA_EVENT_RING 0x1u /**< "RING"; text empty, value 0 */
#define FONEXA_EVENT_CALLING_RING 0x2u /**< "+CRING:"; text the call type, value 0 */
#define FONEXA_EVENT_CALLER_ID 0x4u /**< "+CLIP:"; text the calling number, value its number type */
#define FONEXA_EVENT_STATUS_REPORT 0x8u /**< "+CDSI:"; text the storage, value the index of the stored report */
#define FONEXA_EVENT_START_UP 0x10u /**< "^SYSSTART"; text empty, value 0 */
#define FONEXA_EVENT_ALARM_START_UP 0x20u /**< started for an alarm; text the first word of the alarm text, value 0 */
#define FONEXA_EVENT_ALARM 0x40u /**< "+CALA:"; text the alarm text, value 0 */
#define FONEXA_EVENT_SIGNAL 0x80u /**< signal quality polled; value the RSSI (99 when the module goes off) */
#define FONEXA_EVENT_NEW_MESSAGE 0x100u /**< a new message; text sender "#" text, value its time stamp in seconds since 1970 */
#define FONEXA_EVENT_REGISTRATION 0x200u /**< registration changed; value the +CREG status (0 also for an absent or locked SIM) */
#define FONEXA_EVENT_DIAL_END 0x400u /**< a dial ended; text the number, value the outcome as for Dial */
#define FONEXA_EVENT_CALL_LIST 0x800u /**< a call appeared (0x1xxxx), ended (0x2xxxx) or changed state (0x3xxxx); text its number */
#define FONEXA_EVENT_MODULE_STATE 0x1000u /**< module state; value 1 ready, 0 off */
#define FONEXA_EVENT_TROUBLE 0x2000u /**< the background monitor's polls failed repeatedly; value 0 */
#define FONEXA_EVENT_RAW 0x80000000u /**< "+CMT:" PDU line (value its length) or "NO CARRIER" (empty text) */
/** The window message events arrive as. */
#define FONEXA_EVENT_MESSAGE 1297u

/** Registration ids (0 for a null handle or event 0). A handler or window
 * registered for the module-state event is told the current state at once. */
FONEXA_API uint32_t RegisterEventHandler(MxGsmHandle h, uint32_t eventId, IMxGsmHandler* handler);
/** The same for a window: events arrive as message FONEXA_EVENT_MESSAGE with the identifier as wParam. */
FONEXA_API uint32_t RegisterEventHandlerHwnd(MxGsmHandle h, uint32_t eventId, MxWindow window);
/** Ends a registration made by RegisterEventHandler or RegisterEventHandlerHwnd: 1, or 0 for an unknown id. */
FONEXA_API int UnregisterEventHandler(MxGsmHandle h, uint32_t registrationId);

/** Copies the last event's text (at most FONEXA_EVENT_TEXT_SIZE bytes with its
 * NUL) into text and its value into value. Returns the number of bytes copied,
 * the NUL included. Either pointer may be null to skip that output. */
FONEXA_API int GetEventParams(char* text, uint32_t* value);

/* ---- Module and maintenance ------------------------------------------------ */

FONEXA_API int GetSimId(MxGsmHandle h, char* out);         /**< FONEXA_SIM_ID_SIZE */
FONEXA_API int GetTime(MxGsmHandle h, char* out);          /**< FONEXA_TIME_SIZE */
FONEXA_API int SetTime(MxGsmHandle h, const char* time);   /**< the phone's clock format */
FONEXA_API int GetManufacturer(MxGsmHandle h, char* out);  /**< FONEXA_IDENTITY_SIZE */
FONEXA_API int GetModel(MxGsmHandle h, char* out);         /**< FONEXA_IDENTITY_SIZE */
FONEXA_API int GetImei(MxGsmHandle h, char* out);          /**< FONEXA_IDENTITY_SIZE */
/** Restores the phone's factory settings ("AT&F0"). */
FONEXA_API int RestoreFactorySettings(MxGsmHandle h);
/** Records the phone's answers to its test commands in the file at path. */
FONEXA_API int RunDiagnostics(MxGsmHandle h, const char* path);
/** Sends command as given (with its "\r") and copies every answer line to
 * response, cut to FONEXA_CUSTOM_RESPONSE_SIZE. 1 once the lock was obtained. */
FONEXA_API int SendCustomAtCommand(MxGsmHandle h, const char* command, char* response);
/** The same with the caller's buffer size; the copy is cut to size bytes. */
FONEXA_API int SendCustomAtCommandEx(MxGsmHandle h, const char* command, char* response, int size);
/** Resets the phone to its stored profile ("ATZ"), then sets echo and error
 * reporting again as Initialize set them. */
FONEXA_API int Clear(MxGsmHandle h);
/** Discards what waits in the serial line's input and output buffers. */
FONEXA_API int FlushComBuffers(MxGsmHandle h);
/** Whether a SIM is in the phone: present receives 1 or 0. */
FONEXA_API int GetSimPresence(MxGsmHandle h, int* present);

/* ---- Records -------------------------------------------------------------- */
/* Flat records the enumerations and some reads fill. Texts are NUL-terminated
 * and cut to their field. */

/** 76 bytes: one +CLCC entry */
typedef struct MxCallRecord {
  int32_t index; /**< call index, 1..7 */
  int32_t direction; /**< 0 outgoing, 1 incoming */
  int32_t state; /**< 0 active, 1 held, 2 dialling, 3 alerting, 4 incoming, 5 waiting */
  int32_t mode; /**< 0 voice, 1 data, 2 fax */
  int32_t multiparty; /**< 1 when part of a conference */
  char phoneNumber[20]; /**< the other party */
  int32_t typeOfNumber; /**< 145 international, 129 otherwise */
  char name[32]; /**< the name the phone book gives the number, if the phone tells it */
} MxCallRecord;

/** 236 bytes: one short message */
typedef struct MxSmsRecord {
  int32_t index;  /**< location in the current storage */
  int32_t status; /**< 0 received unread, 1 received read, 2 stored unsent, 3 stored sent */
  int32_t year;   /**< the service-centre time stamp, local calendar time */
  int32_t month; /**< of the same time stamp */
  int32_t day; /**< of the same time stamp */
  int32_t hour; /**< of the same time stamp */
  int32_t minute; /**< of the same time stamp */
  int32_t second; /**< of the same time stamp */
  char phoneNumber[20]; /**< the sender, or the recipient of an outgoing message */
  char messageText[160]; /**< the text in Latin-1 */
  char providerNumber[20]; /**< the service centre */
  int32_t reserved; /**< the message's validity field */
} MxSmsRecord;

/** 100 bytes: one phone-book entry */
typedef struct MxPhoneBookRecord {
  int32_t index; /**< location in the storage */
  char phoneNumber[20]; /**< the number */
  int32_t typeOfNumber; /**< 145 international, 129 otherwise */
  char name[52]; /**< the name */
  int32_t year; /**< call lists with time stamps; otherwise 0 */
  int32_t month; /**< of the same time stamp */
  int32_t day; /**< of the same time stamp */
  int32_t hour; /**< of the same time stamp */
  int32_t minute; /**< of the same time stamp */
} MxPhoneBookRecord;

/** 64 bytes: one operator */
typedef struct MxOperatorRecord {
  char name[52]; /**< the operator's name */
  int32_t codeNumber; /**< MCC and MNC digits as a number, -1 when not known */
  int32_t mode;       /**< selection mode of the current operator, else -1 */
  int32_t state;      /**< 0 unknown, 1 available, 2 current, 3 forbidden; -1 when not known */
} MxOperatorRecord;

/* ---- Short messages ------------------------------------------------------- */

/** Storages: 0 "SM" (SIM), 1 "ME" (phone), 2 "MT" (all). */
FONEXA_API int GetSmsStorage(MxGsmHandle h, int* storage, int* used, int* total);
/** Switches the message storage (0 "SM", 1 "ME", 2 "MT"): 1 done, 0 not. */
FONEXA_API int SetSmsStorage(MxGsmHandle h, int storage);
FONEXA_API int GetServiceCenter(MxGsmHandle h, char* number, int* type); /**< FONEXA_SERVICE_CENTER_SIZE */
/** Sets the service centre number. */
FONEXA_API int SetServiceCenter(MxGsmHandle h, const char* number);
/** A long text goes out in concatenated parts. */
FONEXA_API int SendSms(MxGsmHandle h, const char* phone, const char* text);
/** A one-part message shown at once and not stored (class 0). */
FONEXA_API int SendFlashSms(MxGsmHandle h, const char* phone, const char* text);
/** Lists the messages of a status (0 unread .. 3 sent, 4 all): the count, or -1. */
FONEXA_API int LoadSmsEntries(MxGsmHandle h, int status);
/** The next listed message: 1, or 0 at the end of the list. */
FONEXA_API int GetNextSmsEntry(MxSmsRecord* record);
/** The message at index; the record is written only when it was read. */
FONEXA_API int ReadSmsEntry(MxGsmHandle h, int index, MxSmsRecord* record);
/** Stores an outgoing message: its index, or -1 (0 for a null handle or a refused lock). */
FONEXA_API int WriteSmsEntry(MxGsmHandle h, const char* phone, const char* text);
/** Deletes the message at index of the current storage. */
FONEXA_API int DeleteSmsEntry(MxGsmHandle h, int index);

/* ==== Messages in UTF-8, long messages joined, delivery reports =============
 * Beside the Latin-1 exports above, which stay as they are. Texts here are
 * UTF-8. A text goes out in the GSM 7-bit alphabet when every character is in
 * it or its extension table (the euro sign included), else in UCS2; nothing is
 * replaced by "?". Long texts go in parts that never cut an escape pair or a
 * surrogate pair. */

/** Events. FONEXA_EVENT_JOINED_MESSAGE: a message delivered to the terminal
 * ("+CMT:") once its last part arrived, or once the time limit passed with
 * parts missing; text sender "#" text (UTF-8, whole to a handler, cut to
 * FONEXA_EVENT_TEXT_SIZE for GetEventParams), value the number of parts
 * missing. It comes after the per-part FONEXA_EVENT_NEW_MESSAGE events.
 * FONEXA_EVENT_DELIVERY_REPORT: a status report changed what is known of a
 * message sent with SendSmsUtf8Ex; text "delivered", "pending" or "failed"
 * (the whole message, every part counted), value the message's id. */
#define FONEXA_EVENT_JOINED_MESSAGE 0x4000u
#define FONEXA_EVENT_DELIVERY_REPORT 0x8000u /**< a status report changed what is known of a sent message */

/* SendSmsUtf8Ex flags. */
#define FONEXA_SMS_FLASH 0x1         /**< one class-0 part, as SendFlashSmsUtf8 */
#define FONEXA_SMS_STATUS_REPORT 0x2 /**< ask the network for a report on every part (TP-SRR) */

/* GetDeliveryStatus answers. */
#define FONEXA_DELIVERY_UNKNOWN (-1) /**< no such message id (or forgotten: the last 256 are kept) */
#define FONEXA_DELIVERY_WAITING 0    /**< no report yet (or none asked for) */
#define FONEXA_DELIVERY_DELIVERED 1  /**< every part delivered */
#define FONEXA_DELIVERY_PENDING 2    /**< the service centre still tries a part */
#define FONEXA_DELIVERY_FAILED 3     /**< the service centre gave up on a part */

/* Record kinds: the GSM 03.40 message type. */
#define FONEXA_SMS_KIND_RECEIVED 0      /**< SMS-DELIVER */
#define FONEXA_SMS_KIND_OUTGOING 1      /**< SMS-SUBMIT stored in the phone */
#define FONEXA_SMS_KIND_STATUS_REPORT 2 /**< SMS-STATUS-REPORT */

#define FONEXA_SMS_UTF8_NUMBER_SIZE 64   /**< an alphanumeric sender in UTF-8 */
#define FONEXA_SMS_UTF8_TEXT_SIZE 640    /**< a whole part in UTF-8, with room to spare */
#define FONEXA_JOINED_TEXT_SIZE 8192     /**< a joined message; textLength tells a longer one */
#define FONEXA_MAX_PARTS 255 /**< most parts of one message */

/** One stored message, texts in UTF-8 */
typedef struct MxSmsUtf8Record {
  int32_t index;  /**< location in the current storage */
  int32_t status; /**< 0 received unread, 1 received read, 2 stored unsent, 3 stored sent */
  int32_t kind;   /**< FONEXA_SMS_KIND_* */
  int32_t year;   /**< the service-centre time stamp, local calendar time; 0 when none */
  int32_t month; /**< of the same time stamp */
  int32_t day; /**< of the same time stamp */
  int32_t hour; /**< of the same time stamp */
  int32_t minute; /**< of the same time stamp */
  int32_t second; /**< of the same time stamp */
  int32_t partReference; /**< concatenation reference, -1 for a message of one part */
  int32_t partCount;     /**< 1 for a message of one part */
  int32_t partNumber;    /**< 1-based */
  int32_t reportReference; /**< status report: the TP-MR of the message reported on; else -1 */
  int32_t reportStatus;    /**< status report: TP-ST; else -1 */
  int32_t dischargeYear;   /**< status report: when the outcome was reached (TP-DT); else 0 */
  int32_t dischargeMonth; /**< of the same time */
  int32_t dischargeDay; /**< of the same time */
  int32_t dischargeHour; /**< of the same time */
  int32_t dischargeMinute; /**< of the same time */
  int32_t dischargeSecond; /**< of the same time */
  char phoneNumber[FONEXA_SMS_UTF8_NUMBER_SIZE]; /**< sender; recipient of an outgoing message or a report */
  char providerNumber[32];                       /**< the service centre */
  char messageText[FONEXA_SMS_UTF8_TEXT_SIZE];   /**< a report's: "delivered", "pending" or "failed" */
} MxSmsUtf8Record;

/** One message, its parts joined */
typedef struct MxJoinedSmsRecord {
  int32_t status; /**< the storage status of its first part present */
  int32_t kind;   /**< FONEXA_SMS_KIND_* */
  int32_t year;   /**< time stamp of its first part present */
  int32_t month; /**< of the same time stamp */
  int32_t day; /**< of the same time stamp */
  int32_t hour; /**< of the same time stamp */
  int32_t minute; /**< of the same time stamp */
  int32_t second; /**< of the same time stamp */
  int32_t partReference; /**< -1 for a message of one part */
  int32_t partCount; /**< 1 for a message of one part */
  int32_t missingParts;  /**< parts of partCount not in the store */
  int32_t partIndices[FONEXA_MAX_PARTS]; /**< storage index of part 1.. partCount; -1 where missing */
  int32_t textLength;    /**< bytes of the whole text, more than messageText holds when it was cut */
  char phoneNumber[FONEXA_SMS_UTF8_NUMBER_SIZE]; /**< sender; recipient of an outgoing message */
  char providerNumber[32]; /**< the service centre */
  char messageText[FONEXA_JOINED_TEXT_SIZE]; /**< cut, if at all, between characters */
} MxJoinedSmsRecord;

/** Sends a UTF-8 text, in parts when long: 1 when every part was accepted. */
FONEXA_API int SendSmsUtf8(MxGsmHandle h, const char* phone, const char* text);
/** One class-0 part; 0 without a command when the text needs more. */
FONEXA_API int SendFlashSmsUtf8(MxGsmHandle h, const char* phone, const char* text);
/** SendSmsUtf8 with FONEXA_SMS_* flags. Returns the message's id (positive)
 * when every part was accepted, else 0. partCount (may be null) receives the
 * number of parts the phone accepted, and references (may be null) their
 * message references (TP-MR, -1 where the phone gave none), at most capacity
 * of them. FONEXA_EVENT_DELIVERY_REPORT and GetDeliveryStatus name the
 * message by the id. */
FONEXA_API int SendSmsUtf8Ex(MxGsmHandle h, const char* phone, const char* text, int flags, int* partCount,
                             int* references, int capacity);
/** How many parts SendSmsUtf8 makes of a UTF-8 text, without a phone: 1 to
 * 255, or 0 when the text is null or needs more than 255 parts (a byte that
 * is not UTF-8 counts as U+FFFD, as it is sent).
 * alphabet (may be null) receives 0 when the text goes as GSM 7-bit (the
 * default alphabet and its extension table), 2 when it goes as UCS2. */
FONEXA_API int CountSmsPartsUtf8(const char* text, int* alphabet);
/** What the status reports say of a message sent with SendSmsUtf8Ex: one of
 * FONEXA_DELIVERY_*. Takes no handle and no lock. Reports delivered to the
 * terminal ("+CDS:", +CNMI ds=1) count at once, stored ones ("+CDSI:") when a
 * listing or a read meets them (the background monitor lists new messages
 * every few seconds). */
FONEXA_API int GetDeliveryStatus(int messageId);

/** LoadSmsEntries fills this reader too, with a cursor of its own. */
FONEXA_API int GetNextSmsEntryUtf8(MxSmsUtf8Record* record);
/** The message at index in UTF-8; the record is written only when it was read. */
FONEXA_API int ReadSmsEntryUtf8(MxGsmHandle h, int index, MxSmsUtf8Record* record);

/** Lists the messages of a status as LoadSmsEntries does, with the parts of
 * each long message joined into one at the place of its first part, in any
 * order they are stored: the number of messages, or -1. */
FONEXA_API int LoadJoinedSmsEntries(MxGsmHandle h, int status);
/** The next joined message of LoadJoinedSmsEntries: 1, or 0 at the end of the list. */
FONEXA_API int GetNextJoinedSmsEntry(MxJoinedSmsRecord* record);

/** How long parts delivered to the terminal wait for the rest of their
 * message before FONEXA_EVENT_JOINED_MESSAGE tells it with parts missing
 * (initially 60000 ms, for the whole process). 1, or 0 for a negative time. */
FONEXA_API int SetJoinTimeLimit(int milliseconds);
/* ==== end of messages in UTF-8 ============================================= */

/* ---- Phone book ----------------------------------------------------------- */

/** Storages 0 "SM" 1 "FD" 2 "LD" 3 "MC" 4 "RC" 5 "ON" 6 "ME", named as the
 * plug-in's phones name them. Returns the current storage, -1 when the phone
 * did not answer (0 also for a null handle or a refused lock). */
FONEXA_API int GetPhoneBookStorage(MxGsmHandle h, int* used, int* total);
/** Switches the phone book (storages as GetPhoneBookStorage numbers them). */
FONEXA_API int SetPhoneBookStorage(MxGsmHandle h, int storage);
/** Reads locations first..last (-1, -1: the whole storage): the count, or -1. */
FONEXA_API int LoadPhoneBookEntries(MxGsmHandle h, int first, int last);
/** The next entry of LoadPhoneBookEntries: 1, or 0 at the end of the list. */
FONEXA_API int GetNextPhoneBookEntry(MxPhoneBookRecord* record);
/** The entry at index; the record is written only when it was read. */
FONEXA_API int ReadPhoneBookEntry(MxGsmHandle h, int index, MxPhoneBookRecord* record);
/** position -1 writes at the first free location. A name with a double quote is
 * refused: it cannot be carried inside the command's quoted field. */
FONEXA_API int WritePhoneBookEntry(MxGsmHandle h, int position, const char* number, const char* name);
/** Empties the location position. */
FONEXA_API int DeletePhoneBookEntry(MxGsmHandle h, int position);
/** The current phone book's first and last location and the longest number and name it takes. */
FONEXA_API int GetRangeInfo(MxGsmHandle h, int* first, int* last, int* numberLength, int* textLength);

/* ---- Network -------------------------------------------------------------- */

/** The signal: rssi 0..31 (99 unknown) and the bit error rate ber 0..7 (99 unknown). */
FONEXA_API int GetSignalQuality(MxGsmHandle h, int* rssi, int* ber);
/** The +CREG setting n and the registration stat: 0 not registered, 1 home, 2 searching, 3 denied, 4 unknown, 5 roaming. */
FONEXA_API int GetRegistrationStatus(MxGsmHandle h, int* n, int* stat);
/** Asks the phone to report registration changes (+CREG=1) with on non-zero, or not (+CREG=0). */
FONEXA_API int EnableNetworkEvents(MxGsmHandle h, int on);
/** Reads the phone's table of operator names: the count, or -1. */
FONEXA_API int LoadWorldWideOperatorEntries(MxGsmHandle h);
/** The next operator of LoadWorldWideOperatorEntries: 1, or 0 at the end of the list. */
FONEXA_API int GetNextWorldWideOperatorEntry(MxOperatorRecord* record);
/** Searches the networks in reach (up to a minute): the count, or -1. */
FONEXA_API int LoadLocalOperatorEntries(MxGsmHandle h);
/** The next operator of LoadLocalOperatorEntries: 1, or 0 at the end of the list. */
FONEXA_API int GetNextLocalOperatorEntry(MxOperatorRecord* record);
/** The operator the phone is registered with. */
FONEXA_API int GetCurrentOperator(MxGsmHandle h, MxOperatorRecord* record);
/** Goes back to automatic operator selection. */
FONEXA_API int SetAutomaticOperator(MxGsmHandle h);
/** Registers with the operator of the numeric code (MCC and MNC digits, as 23001). */
FONEXA_API int SetManualOperator(MxGsmHandle h, int code);

/* ---- Calls ---------------------------------------------------------------- */

/** The +CPAS activity: 0 ready, 2 unknown, 3 ringing, 4 call in progress; -1 on failure. */
FONEXA_API int GetActivity(MxGsmHandle h);
/** Answers the ringing call. */
FONEXA_API int Answer(MxGsmHandle h);
/** Starts dialling a voice call on a thread of its own and returns at once: 1
 * started, 0 refused (another dial runs, or number holds more than the GSM
 * 07.07 dial characters 0-9 * # + A-D and the modifiers , T P W ! @ I i G g).
 * The outcome arrives as FONEXA_EVENT_DIAL_END with the number as text and the
 * value 0 connected, 1 busy, 2 no dial tone, 3 no carrier, -1 failed. */
FONEXA_API int Dial(MxGsmHandle h, const char* number);
/** Dials a phone-book location the same way: storage as GetPhoneBookStorage
 * numbers them, and location in it. With location -1 the first argument is a
 * location of the current storage. */
FONEXA_API int DialFromPhoneBook(MxGsmHandle h, int storage, int location);
/** Ends a dial under way (it ends with "no carrier"); takes no lock. */
FONEXA_API void InterruptDialing(MxGsmHandle h);
/** Ends the calls in progress. */
FONEXA_API int Hangup(MxGsmHandle h);
/** mode 0 release held calls (or busy for a waiting one), 1 release active calls
 * and accept the other, 2 release call index (0..7), 3 hold active calls and
 * accept the other, 4 hold all but call index, 5 join the held call. */
FONEXA_API int ManageMultiparty(MxGsmHandle h, int mode, int index);
/** Shows the caller's number (+CLIP) with on non-zero. */
FONEXA_API int EnableClip(MxGsmHandle h, int on);
/** Hides this phone's number from the called party (+CLIR=1) with on non-zero;
 * with 0 the subscription decides (+CLIR=0). */
FONEXA_API int EnableClir(MxGsmHandle h, int on);
/** Lists the calls in progress: the count, or -1. */
FONEXA_API int LoadCurrentCalls(MxGsmHandle h);
/** The next call of LoadCurrentCalls: 1, or 0 at the end of the list. */
FONEXA_API int GetNextCurrentCall(MxCallRecord* record);
FONEXA_API int GetLastCallDuration(MxGsmHandle h, char* out);  /**< FONEXA_CALL_DURATION_SIZE */
FONEXA_API int GetTotalCallDuration(MxGsmHandle h, char* out); /**< FONEXA_CALL_DURATION_SIZE */
/** Sets up the audio path through the plug-in. */
FONEXA_API int SetupGsmAudio(MxGsmHandle h);
FONEXA_API int VoiceOn(MxGsmHandle h);  /**< takes no lock */
FONEXA_API int VoiceOff(MxGsmHandle h); /**< takes no lock */

/* ---- Call forwarding and barring ---------------------------------------------
 * reason 0 unconditional, 1 busy, 2 no reply, 3 not reachable, 4 all, 5 all
 * conditional; class a GSM 07.07 class mask (1 voice, 2 data, 4 fax, 8 SMS),
 * one bit for the queries. Barring types 0 all outgoing, 1 outgoing
 * international, 2 outgoing international but home, 3 all incoming, 4 incoming
 * when roaming, 5 all, 6 all outgoing, 7 all incoming. Passwords are digits. */
/** Forwarding on reason for callClass: status 1 active, 0 not, with the number
 * calls go to (FONEXA_FORWARDING_NUMBER_SIZE) and, for no reply, the time. */
FONEXA_API int GetCallForwarding(MxGsmHandle h, int reason, int callClass, int* status, char* number,
                                 int* time);
/** time: seconds before a call is forwarded on no reply (reason 2). */
FONEXA_API int SetCallForwarding(MxGsmHandle h, int reason, int callClass, int enable, const char* number, int time);
/** Whether barring type is active for callClass: status receives 1 or 0. */
FONEXA_API int GetCallBarring(MxGsmHandle h, int type, int callClass, const char* password, int* status);
/** Switches barring type on (lock non-zero) or off for callClass. */
FONEXA_API int SetCallBarring(MxGsmHandle h, int type, int callClass, const char* password, int lock);

/* ---- SIM status ----------------------------------------------------------- */

/** 1 ready, 2 SIM PIN, 3 SIM PUK, 4 PIN2, 5 PUK2, 6..17 phone and network
 * personalisation codes, 0 not recognised; -1 when the phone did not answer,
 * 0 also for a null handle or a refused lock. */
FONEXA_API int GetVerifyStatus(MxGsmHandle h);

/** Attempts left for the code the phone waits for, as the plug-in reads them;
 * -1 when not known. */
FONEXA_API int GetPinCounter(MxGsmHandle h);
/** Lock types 1 SIM PIN at power-up ("SC"), 2 fixed dialling ("FD"); status 1
 * locked, 0 unlocked. Passwords are digits. */
FONEXA_API int GetLock(MxGsmHandle h, int type, const char* password, int* status);
/** Switches lock type on (on non-zero) or off; password is the PIN (type 1) or PIN2 (type 2). */
FONEXA_API int SetLock(MxGsmHandle h, int type, const char* password, int on);
/** Enters code (secondCode: the new PIN after a PUK, else ""). Waits up to three
 * seconds: 0 when the phone refused the code in that time, else 1; the
 * acceptance arrives as FONEXA_EVENT_MODULE_STATE and the instance comes up.
 * Codes are digits. */
FONEXA_API int Verify(MxGsmHandle h, const char* code, const char* secondCode);
/** kind 2 SIM PIN, 4 PIN2, 6 phone-to-SIM, 8 phone-to-first-SIM, 10 network,
 * 12 network subset, 14 service provider, 16 corporate personalisation. */
FONEXA_API int ChangePin(MxGsmHandle h, int kind, const char* oldCode, const char* newCode);

/** Supplies a code for the PIN entry flow: caption names the code ("Enter PIN
 * code", "Enter PUK code", "Enter new PIN", "Confirm new PIN"), message says why
 * it is asked again and how many attempts are left. Returns the code, or NULL or
 * "" to cancel. The engine copies the text at once, so it may live in a static
 * buffer of the application's. */
typedef const char* (*CodeRetrievalFunc)(const char* caption, const char* message);
/** Asks for the PIN (or the PUK and a new PIN) until the SIM is ready or the user
 * cancels: 1 when the SIM is ready or a code was accepted, else 0. Without a
 * retrieval function the built-in prompt asks: the keypad dialog when a display
 * is available, else the controlling terminal; without either it cancels. */
FONEXA_API int AutoVerify(MxGsmHandle h);
/** Installs f for AutoVerify: 1, or 0 for a null handle or a null f (which keeps
 * the function installed before). */
FONEXA_API int SetCodeRetrievalFunc(MxGsmHandle h, CodeRetrievalFunc f);

/* ---- Phone numbers ------------------------------------------------------ */

/** Writes number without spaces, "-", "/" and the first pair of parentheses
 * (with a trunk "0" written inside them) to out. The result is never longer than
 * number, so a buffer of strlen(number) + 1 bytes always suffices. Returns 1,
 * or 0 when either pointer is null. */
FONEXA_API int CleanFormat(const char* number, char* out);

/** 1 when a and b are the same phone number (international prefix and leading
 * zeros aside; otherwise the last digits of the shorter, when it has more than
 * five, must match), else 0. */
FONEXA_API int CompareNumbers(const char* a, const char* b);

/* ==== GPRS dial-up connection ===============================================
 * A data connection through pppd, made and ended from here. It needs no
 * instance and takes no device lock: pppd owns the modem's port while the
 * link is up. An entry is a pppd peer name (/etc/ppp/peers/<entry>); user and
 * password override the entry's own, and a domain is joined to the user as
 * "DOMAIN\user". The password reaches pppd through a file only the user can
 * read, never through a command line. */

/** The handle of a connection object. */
typedef struct MxGprsConnection* MxConnectionHandle;

#ifdef __cplusplus
}
/** Implemented by C++ applications to follow an asynchronous dial; C
 * applications pass a window instead. */
class FONEXA_API IMxConnectionHandler {
 public:
  /** Never called by the engine: the application owns its handler. */
  virtual ~IMxConnectionHandler() {}
  /** One progress code (FONEXA_GPRS_*) with the error pppd reported with it.
   * Called on the connection's watcher thread, not on the thread that dialled. */
  virtual void OnConnectionProgress(uint32_t code, uint32_t error) = 0;
};
extern "C" {
#else
typedef struct IMxConnectionHandler IMxConnectionHandler;
#endif

/** Progress codes, in the order a dial reaches them. A window receives them as
 * message FONEXA_EVENT_MESSAGE with the code as wParam and the error as lParam. */
#define FONEXA_GPRS_OPEN_PORT 0 /**< opening the port */
#define FONEXA_GPRS_PORT_OPENED 1 /**< the port is open */
#define FONEXA_GPRS_CONNECT_DEVICE 2 /**< dialling the access point */
#define FONEXA_GPRS_DEVICE_CONNECTED 3 /**< the modem connected */
#define FONEXA_GPRS_LINK_ESTABLISHED 4 /**< the ppp link is up */
#define FONEXA_GPRS_AUTHENTICATE 5 /**< authenticating */
#define FONEXA_GPRS_AUTHENTICATED 6 /**< authenticated */
#define FONEXA_GPRS_CONNECTED 7 /**< connected: the interface has its address */
#define FONEXA_GPRS_ENDED 8 /**< the dial failed or the link went down */

/* GprsGetStatus answers. */
#define FONEXA_GPRS_STATUS_IDLE (-1) /**< never dialled */
#define FONEXA_GPRS_STATUS_CONNECTED 7 /**< the link is up */
#define FONEXA_GPRS_STATUS_DISCONNECTED 8 /**< the link ended or the dial failed */
#define FONEXA_GPRS_STATUS_DIALLING 99 /**< a dial is under way */

/** A new connection object (null when it cannot be made). */
FONEXA_API MxConnectionHandle GprsCreate(void);
/** Hangs up (see GprsCloseConnection) and destroys the object. */
FONEXA_API void GprsRelease(MxConnectionHandle c);
/** Dials entry. With a handler (or, below, a window) the dial runs in the
 * background and returns 1 once pppd has started; progress codes 0..7 follow,
 * and 8 when the dial fails or the link ends. With neither it returns when the
 * link is up (1) or the dial has failed (0). While a link is up or being dialled
 * it returns 1 and dials nothing. */
FONEXA_API int GprsOpenConnection(MxConnectionHandle c, const char* entry, IMxConnectionHandler* handler,
                                  const char* user, const char* password, const char* domain);
/** GprsOpenConnection with a window that receives the progress codes. */
FONEXA_API int GprsOpenConnectionHwnd(MxConnectionHandle c, const char* entry, MxWindow window, const char* user,
                                      const char* password, const char* domain);
/** Ends pppd and waits until it is gone: a second signal after 3 s, a forced end
 * after 6 s, and no wait longer than 8 s in all. 1 (0 for a null c). */
FONEXA_API int GprsCloseConnection(MxConnectionHandle c);
/** The sound files played when the link comes up and after it was hung up
 * (initially "connect.wav" and "disconnect.wav"). */
FONEXA_API int GprsSetConnectionTones(MxConnectionHandle c, const char* connectFile, const char* disconnectFile);
/** One of FONEXA_GPRS_STATUS_*; -1 also for a null c. */
FONEXA_API int GprsGetStatus(MxConnectionHandle c);
/** The link's figures while it is up, 0 otherwise: the line speed pppd was
 * started with (bits per second), the seconds since the link came up, and the
 * bytes the ppp interface has sent and received (capped at INT32_MAX). */
FONEXA_API int GprsGetSpeed(MxConnectionHandle c);
/** Seconds since the link came up; 0 while it is not up. */
FONEXA_API int GprsGetDuration(MxConnectionHandle c);
/** Bytes the ppp interface has sent; 0 while the link is not up. */
FONEXA_API int GprsGetSentBytes(MxConnectionHandle c);
/** Bytes the ppp interface has received; 0 while the link is not up. */
FONEXA_API int GprsGetReceivedBytes(MxConnectionHandle c);
/* ==== end of GPRS dial-up connection ======================================= */

#ifdef __cplusplus
}
#endif

#endif /**< FONEXA_FONEXACORE_H */
