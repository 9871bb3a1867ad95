// The keypad dialog's module, as the core and the module both see it.
//
// The dialog needs a GUI toolkit, which the core library must not link: a
// program on a server or in a container has no display and should not carry
// one. So the dialog lives in a module of its own beside the device plug-ins,
// loaded by name only when a display is there, and it exports one C function.
// Texts cross the boundary as the core's byte strings (Latin-1).
#pragma once

extern "C" {

// Receives the entered code; the text is valid only during the call.
typedef void (*FonexaKeypadAcceptFunc)(void* context, const char* code);

// Shows the keypad modally with the caption as its title and the message above
// the keys. Returns kKeypadEntered after calling accept once with the code,
// kKeypadCancelled, or kKeypadUnavailable when no dialog could be shown here
// (so that the caller tries its next prompt).
typedef int (*FonexaKeypadPromptFunc)(const char* caption, const char* message, FonexaKeypadAcceptFunc accept,
                                      void* context);
}

namespace fonexa::platform {

// Named like a plug-in, so that the shared-library layer searches the plug-in
// folders for it.
inline constexpr const char* kKeypadModuleName = "FonexaKeypad.dll";
inline constexpr const char* kKeypadPromptSymbol = "FonexaKeypadPrompt";

inline constexpr int kKeypadEntered = 1;
inline constexpr int kKeypadCancelled = 0;
inline constexpr int kKeypadUnavailable = -1;

}  // namespace fonexa::platform
