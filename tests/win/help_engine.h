// A stand-in Windows Help engine in the test driver, and the requests quillmar's Help commands must hand it.
#ifndef QUILLMAR_TESTS_WIN_HELP_ENGINE_H
#define QUILLMAR_TESTS_WIN_HELP_ENGINE_H

#include <windows.h>

#include <cstddef>
#include <functional>

// A window of the class Wine's WinHelpA looks for; it records every request it receives.
HWND CreateHelpEngine();
// Posts each Help command to the main window and checks the file, command and keyword that reach the engine.
void CheckHelpRequests(HWND main);
// Requests received since the last check.
std::size_t HelpRequestsReceived();
// Serves this thread's messages (the engine's among them) until done() holds or the time is up.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs);

#endif
