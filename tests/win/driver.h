// Driving the real quillmar.exe from another Windows process: files, start, the outcome box, exit.
#ifndef QUILLMAR_TESTS_WIN_DRIVER_H
#define QUILLMAR_TESTS_WIN_DRIVER_H

#include <windows.h>

#include <string>

// A Linux path as Wine sees it through drive Z:, or a Windows path unchanged.
std::string DosPath(const std::string& path);
std::string WindowsDir();
std::string IniPath();
std::string BackupPath(int n);

bool FileExists(const std::string& path);
// Gives the file the last-write time of noon, 25 June 1998, as an old system.ini has, and returns it.
FILETIME StampAsOld(const std::string& path);
std::string ReadWholeFile(const std::string& path);
bool WriteWholeFile(const std::string& path, const std::string& data);
// Removes system.ini, every backup name system.000 to system.024 (folders too, files marked read-only
// too) and stray temporary files.
void ClearWindowsDir();

struct Started {
    PROCESS_INFORMATION process = {};
    DWORD startTick = 0;
};

// Starts the program with arguments after its name; show < 0 leaves STARTUPINFO without a show command.
bool StartProgram(const std::string& exe, const std::string& arguments, int show, Started* started);
// The top-level window of the started process with this class and caption, or null after the timeout.
HWND WaitForWindow(const Started& started, const char* className, const char* caption, DWORD timeoutMs);
HWND WaitForOutcomeBox(const Started& started, DWORD timeoutMs);
HWND FindMainWindow(const Started& started);
std::string WindowText(HWND window);
std::string ClassOf(HWND window);
// The message text of a message box.
std::string BoxMessage(HWND box);
void PressOk(HWND box);
// The exit code, or -1 when the process had to be killed after the timeout.
long WaitForExit(Started* started, DWORD timeoutMs);
// How many windows of this class and caption the process has at this moment.
int CountWindows(const Started& started, const char* className, const char* caption);

// The current system.ini ("<missing>" when there is none), replaced by this text.
std::string ReplaceIni(const std::string& text);
// Puts back what ReplaceIni returned.
void RestoreIni(const std::string& saved);
// True once the window no longer exists, false when it is still there after the timeout.
bool WaitUntilGone(HWND window, DWORD timeoutMs);
// The window of this thread that has the keyboard focus, or null.
HWND FocusOfThread(HWND anyWindowOfThread);

// A start of the program that got as far as its outcome box.
struct Launched {
    Started started;
    HWND box;
    HWND main;
};

// Starts the program without arguments and waits for its outcome box and main window; false when either is missing.
bool LaunchToOutcomeBox(const std::string& exe, Launched* run, DWORD timeoutMs = 120000);

#endif
