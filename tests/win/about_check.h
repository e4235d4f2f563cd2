// The About box of a running quillmar.exe, looked at from the test driver.
#ifndef QUILLMAR_TESTS_WIN_ABOUT_CHECK_H
#define QUILLMAR_TESTS_WIN_ABOUT_CHECK_H

#include <windows.h>

#include "driver.h"

// The About box of the started program, or null when none appears.
HWND WaitForAbout(const Started& started);
// Owned by the main window and centred over it; the five version texts in the small font; the icon.
void CheckAboutBox(HWND about, HWND main);

#endif
