// What the parts of the program shell share: the instance handle and the entry points of each part.
#ifndef QUILLMAR_APP_APP_H
#define QUILLMAR_APP_APP_H

#include <windows.h>

// Stored by CreateMainWindow; read by the commands and the About box.
extern HINSTANCE g_instance;

bool RegisterMainClass(HINSTANCE instance);
bool CreateMainWindow(HINSTANCE instance, int showCommand);
void RunUpdateJob(HWND window);
LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The WM_COMMAND branch of the main window procedure.
LRESULT OnCommand(HWND window, WPARAM wParam, LPARAM lParam);

INT_PTR CALLBACK AboutBoxProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
void CenterOverOwner(HWND window, HWND owner);

#endif
