/*
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

/* Size of the last event's text, its terminating NUL included. */
#define FONEXA_EVENT_TEXT_SIZE 500

/* ---- Library ------------------------------------------------------------ */

/* The engine's version text, "1.3.040726". Never fails. */
FONEXA_API const char* GetFonexaCoreVersion(void);

/* Opens the trace log at path and the traffic log "com.txt" in the same folder
 * (the current folder when path has no "/"). Returns 1 when the trace log was
 * opened by this call, 0 when it was already open or could not be created. */
FONEXA_API int OpenDebugLog(const char* path);

/* Closes the traffic log and the trace log; returns the result of closing the
 * trace log (0 when it was not open). */
FONEXA_API int CloseDebugLog(void);

/* ---- Windows ------------------------------------------------------------ */

/* A message target for event notifications. The application makes one with a
 * procedure of its own; sending a message to it calls that procedure at once,
 * on the sending thread. A GUI application forwards from there to its own event
 * loop. Event notifications arrive as message 1297 with the event identifier as
 * wParam and, as lParam, the address of the last event's text. */
typedef struct MxWindowObject* MxWindow;
typedef intptr_t (*MxWindowProc)(MxWindow window, uint32_t message, uintptr_t wParam, intptr_t lParam,
                                 void* context);

/* A new window calling proc with context; null when proc is null. */
FONEXA_API MxWindow MxCreateWindow(MxWindowProc proc, void* context);
/* Destroys the window; messages sent to it afterwards go nowhere. */
FONEXA_API void MxDestroyWindow(MxWindow window);
/* Calls the window's procedure; 0 when the window does not exist (any more). */
FONEXA_API intptr_t MxSendMessage(MxWindow window, uint32_t message, uintptr_t wParam, intptr_t lParam);

/* ---- Events ------------------------------------------------------------- */

/* Copies the last event's text (at most FONEXA_EVENT_TEXT_SIZE bytes with its
 * NUL) into text and its value into value. Returns the number of bytes copied,
 * the NUL included. Either pointer may be null to skip that output. */
FONEXA_API int GetEventParams(char* text, uint32_t* value);

/* ---- Phone numbers ------------------------------------------------------ */

/* Writes number without spaces, "-", "/" and the first pair of parentheses
 * (with a trunk "0" written inside them) to out. The result is never longer than
 * number, so a buffer of strlen(number) + 1 bytes always suffices. Returns 1,
 * or 0 when either pointer is null. */
FONEXA_API int CleanFormat(const char* number, char* out);

/* 1 when a and b are the same phone number (international prefix and leading
 * zeros aside; otherwise the last digits of the shorter, when it has more than
 * five, must match), else 0. */
FONEXA_API int CompareNumbers(const char* a, const char* b);

#ifdef __cplusplus
}
#endif

#endif /* FONEXA_FONEXACORE_H */
