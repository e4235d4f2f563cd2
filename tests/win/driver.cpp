// Driving the real quillmar.exe from another Windows process.
#include "driver.h"

#include <cstdio>

std::string DosPath(const std::string& path)
{
    if (path.empty() || path[0] != '/')
        return path;
    std::string dos = "Z:" + path;
    for (char& c : dos) {
        if (c == '/')
            c = '\\';
    }
    return dos;
}

std::string WindowsDir()
{
    char dir[MAX_PATH];
    GetWindowsDirectoryA(dir, sizeof dir);
    return dir;
}

std::string IniPath()
{
    return WindowsDir() + "\\system.ini";
}

std::string BackupPath(int n)
{
    char name[16];
    std::snprintf(name, sizeof name, "\\system.%03d", n);
    return WindowsDir() + name;
}

bool FileExists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

FILETIME StampAsOld(const std::string& path)
{
    SYSTEMTIME old = { 1998, 6, 0, 25, 12, 0, 0, 0 };
    FILETIME stamp;
    SystemTimeToFileTime(&old, &stamp);
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    SetFileTime(file, nullptr, nullptr, &stamp);
    CloseHandle(file);
    return stamp;
}

std::string ReadWholeFile(const std::string& path)
{
    std::string data;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return "<missing>";
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got != 0)
        data.append(buffer, got);
    CloseHandle(file);
    return data;
}

bool WriteWholeFile(const std::string& path, const std::string& data)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD done = 0;
    bool ok = WriteFile(file, data.data(), static_cast<DWORD>(data.size()), &done, nullptr) && done == data.size();
    return CloseHandle(file) && ok;
}

namespace {

// Deletes a file even where it is marked read-only.
bool ForceDelete(const std::string& path)
{
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    return DeleteFileA(path.c_str()) != FALSE;
}

} // namespace

void ClearWindowsDir()
{
    ForceDelete(IniPath());
    for (int n = 0; n < 25; ++n) {
        std::string path = BackupPath(n);
        if (!ForceDelete(path))
            RemoveDirectoryA(path.c_str());
    }
    WIN32_FIND_DATAA found;
    std::string pattern = WindowsDir() + "\\qmr*.tmp";
    HANDLE search = FindFirstFileA(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do
        DeleteFileA((WindowsDir() + "\\" + found.cFileName).c_str());
    while (FindNextFileA(search, &found));
    FindClose(search);
}

bool StartProgram(const std::string& exe, const std::string& arguments, int show, Started* started)
{
    std::string commandLine = "\"" + DosPath(exe) + "\"";
    if (!arguments.empty())
        commandLine += " " + arguments;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    if (show >= 0) {
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = static_cast<WORD>(show);
    }
    started->startTick = GetTickCount();
    return CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started->process) != FALSE;
}

namespace {

struct Search {
    DWORD processId;
    const char* className;
    const char* caption;
    HWND found;
    int count;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM lParam)
{
    Search* search = reinterpret_cast<Search*>(lParam);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (processId != search->processId)
        return TRUE;
    if (search->className && ClassOf(window) != search->className)
        return TRUE;
    if (search->caption && WindowText(window) != search->caption)
        return TRUE;
    search->found = window;
    ++search->count;
    return TRUE;
}

Search FindWindows(const Started& started, const char* className, const char* caption)
{
    Search search = { started.process.dwProcessId, className, caption, nullptr, 0 };
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search;
}

} // namespace

HWND WaitForWindow(const Started& started, const char* className, const char* caption, DWORD timeoutMs)
{
    DWORD begin = GetTickCount();
    for (;;) {
        HWND window = FindWindows(started, className, caption).found;
        if (window && IsWindowVisible(window))
            return window;
        if (GetTickCount() - begin > timeoutMs || WaitForSingleObject(started.process.hProcess, 0) == WAIT_OBJECT_0)
            return nullptr;
        Sleep(50);
    }
}

HWND WaitForOutcomeBox(const Started& started, DWORD timeoutMs)
{
    return WaitForWindow(started, "#32770", "Update file", timeoutMs);
}

HWND FindMainWindow(const Started& started)
{
    return FindWindows(started, "quillmar", nullptr).found;
}

int CountWindows(const Started& started, const char* className, const char* caption)
{
    return FindWindows(started, className, caption).count;
}

std::string WindowText(HWND window)
{
    char text[1024] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

std::string ClassOf(HWND window)
{
    char name[256] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

std::string BoxMessage(HWND box)
{
    char text[4096] = "";
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
    return text;
}

void PressOk(HWND box)
{
    PostMessageA(box, WM_COMMAND, IDOK, 0);
}

long WaitForExit(Started* started, DWORD timeoutMs)
{
    long result = -1;
    if (WaitForSingleObject(started->process.hProcess, timeoutMs) == WAIT_OBJECT_0) {
        DWORD code = 0;
        GetExitCodeProcess(started->process.hProcess, &code);
        result = static_cast<long>(code);
    } else {
        TerminateProcess(started->process.hProcess, 99);
        WaitForSingleObject(started->process.hProcess, 5000);
    }
    CloseHandle(started->process.hProcess);
    CloseHandle(started->process.hThread);
    return result;
}

std::string ReplaceIni(const std::string& text)
{
    std::string saved = ReadWholeFile(IniPath());
    WriteWholeFile(IniPath(), text);
    return saved;
}

void RestoreIni(const std::string& saved)
{
    if (saved == "<missing>")
        DeleteFileA(IniPath().c_str());
    else
        WriteWholeFile(IniPath(), saved);
}

bool WaitUntilGone(HWND window, DWORD timeoutMs)
{
    DWORD begin = GetTickCount();
    while (IsWindow(window)) {
        if (GetTickCount() - begin > timeoutMs)
            return false;
        Sleep(20);
    }
    return true;
}

HWND FocusOfThread(HWND anyWindowOfThread)
{
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(anyWindowOfThread, nullptr), &info))
        return nullptr;
    return info.hwndFocus;
}

bool LaunchToOutcomeBox(const std::string& exe, Launched* run, DWORD timeoutMs)
{
    run->box = nullptr;
    run->main = nullptr;
    if (!StartProgram(exe, "", -1, &run->started))
        return false;
    run->box = WaitForOutcomeBox(run->started, timeoutMs);
    run->main = FindMainWindow(run->started);
    return run->box != nullptr && run->main != nullptr;
}
