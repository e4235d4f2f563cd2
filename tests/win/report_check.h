// The drive report of the tests' prefix (drives A C D E F G Z) and its check on the screen.
#ifndef QUILLMAR_TESTS_WIN_REPORT_CHECK_H
#define QUILLMAR_TESTS_WIN_REPORT_CHECK_H

#include <windows.h>

#include <string>

// Whether the prefix has exactly those drives (a failed check when not).
bool PrefixHasTheTestDrives();
// The folder part of a Linux path, where pictures of a failed comparison are saved.
std::string Folder(const std::string& path);
// Compares the report on the outcome box's owner with a picture drawn here; on a difference both are saved in saveFolder.
void CheckReport(HWND box, const std::string& saveFolder);

#endif
