// The update on the real Win32 file operations, in a scratch Windows directory under Wine.
#include <windows.h>

#include <cstring>
#include <vector>

#include "check.h"
#include "driver.h"
#include "sysini/update.h"
#include "sysini/win32_fileops.h"

namespace {

std::string g_dir;

char* ScratchWindowsDirectory()
{
    char* dir = static_cast<char*>(Win32FileOps()->allocate(g_dir.size() + 1));
    std::memcpy(dir, g_dir.c_str(), g_dir.size() + 1);
    return dir;
}

// The Win32 operations, with the Windows directory moved to the scratch folder.
FileOps g_ops;

std::string Ini() { return g_dir + "\\system.ini"; }

std::string Backup(int n)
{
    char name[16];
    std::snprintf(name, sizeof name, "\\system.%03d", n);
    return g_dir + name;
}

const std::string kOriginal = "[boot]\nshell=Explorer.exe\r\n[386Enh]\nkeyboard=*vkd\n";
const std::string kNewText = "[boot]\r\nshell=Explorer.exe\r\n[386Enh]\r\nRemovableIDE = TRUE\r\nkeyboard=*vkd\r\n";

void FreshDir()
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((g_dir + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::string path = g_dir + "\\" + found.cFileName;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                if (std::strcmp(found.cFileName, ".") != 0 && std::strcmp(found.cFileName, "..") != 0)
                    RemoveDirectoryA(path.c_str());
            } else {
                SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(path.c_str());
            }
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    CreateDirectoryA(g_dir.c_str(), nullptr);
}

int CountFiles()
{
    int count = 0;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((g_dir + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    do
        count += std::strcmp(found.cFileName, ".") != 0 && std::strcmp(found.cFileName, "..") != 0;
    while (FindNextFileA(search, &found));
    FindClose(search);
    return count;
}

struct Outcome {
    UpdateResult result;
    std::string backup;
};

Outcome Update()
{
    UpdateOutcome outcome = UpdateSystemIni(&g_ops);
    Outcome o = { outcome.result, outcome.backupPath ? outcome.backupPath : "" };
    g_ops.release(outcome.backupPath);
    return o;
}

void BackupNumbering()
{
    struct Case {
        const char* name;
        std::vector<int> taken;
        bool asFolder;
        int expected; // -1: cannot update
    } cases[] = {
        { "none yet", {}, false, 0 },
        { "000 and 001 taken", { 0, 1 }, false, 2 },
        { "a gap", { 0, 2 }, false, 1 },
        { "a folder named system.000", { 0 }, true, 1 },
        { "all 25 taken", { 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24 }, false, -1 },
    };
    for (const Case& c : cases) {
        std::printf("backup numbering: %s\n", c.name);
        FreshDir();
        WriteWholeFile(Ini(), kOriginal);
        for (int n : c.taken) {
            if (c.asFolder)
                CreateDirectoryA(Backup(n).c_str(), nullptr);
            else
                WriteWholeFile(Backup(n), "old " + std::to_string(n));
        }
        Outcome o = Update();
        if (c.expected < 0) {
            CHECK_EQ(static_cast<long long>(o.result), static_cast<long long>(UPDATE_CANNOT_UPDATE));
            CHECK_EQ(ReadWholeFile(Ini()), kOriginal);
            CHECK_EQ(static_cast<long long>(CountFiles()), static_cast<long long>(c.taken.size() + 1));
        } else {
            CHECK_EQ(static_cast<long long>(o.result), static_cast<long long>(UPDATE_UPDATED));
            CHECK_EQ(o.backup, Backup(c.expected));
            CHECK_EQ(ReadWholeFile(Backup(c.expected)), kOriginal);
            CHECK_EQ(ReadWholeFile(Ini()), kNewText);
            CHECK_EQ(static_cast<long long>(CountFiles()), static_cast<long long>(c.taken.size() + 2));
        }
        for (int n : c.taken) {
            if (!c.asFolder)
                CHECK_EQ(ReadWholeFile(Backup(n)), "old " + std::to_string(n));
        }
    }
}

// The backup is the original file itself: bytes, attributes and time stamps.
void BackupKeepsTheOriginal()
{
    std::printf("backup keeps bytes, attributes and time stamp\n");
    FreshDir();
    WriteWholeFile(Ini(), kOriginal);
    FILETIME stamp = StampAsOld(Ini());
    SetFileAttributesA(Ini().c_str(), FILE_ATTRIBUTE_HIDDEN);

    Outcome o = Update();
    CHECK_EQ(o.backup, Backup(0));
    CHECK_EQ(ReadWholeFile(Backup(0)), kOriginal);
    WIN32_FILE_ATTRIBUTE_DATA data;
    CHECK(GetFileAttributesExA(Backup(0).c_str(), GetFileExInfoStandard, &data));
    CHECK(CompareFileTime(&data.ftLastWriteTime, &stamp) == 0);
    CHECK(data.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN);
    CHECK_EQ(ReadWholeFile(Ini()), kNewText);
    CHECK_EQ(static_cast<long long>(CountFiles()), 2LL);
}

void MissingIni()
{
    std::printf("system.ini missing\n");
    FreshDir();
    Outcome o = Update();
    CHECK_EQ(static_cast<long long>(o.result), static_cast<long long>(UPDATE_CANNOT_UPDATE));
    CHECK_EQ(static_cast<long long>(CountFiles()), 0LL);
}

// Another process holds system.ini open and shares it with nobody.
void HeldOpenElsewhere(const char* self)
{
    std::printf("system.ini held open by another process\n");
    FreshDir();
    WriteWholeFile(Ini(), kOriginal);
    HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, "quillmar-test-held");
    std::string commandLine = std::string("\"") + self + "\" --hold \"" + Ini() + "\"";
    STARTUPINFOA startup = { sizeof startup };
    PROCESS_INFORMATION holder;
    CHECK(CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &holder));
    CHECK(WaitForSingleObject(ready, 20000) == WAIT_OBJECT_0);

    Outcome o = Update();
    CHECK_EQ(static_cast<long long>(o.result), static_cast<long long>(UPDATE_CANNOT_UPDATE));
    TerminateProcess(holder.hProcess, 0);
    WaitForSingleObject(holder.hProcess, 10000);
    CloseHandle(holder.hProcess);
    CloseHandle(holder.hThread);
    CloseHandle(ready);
    CHECK_EQ(ReadWholeFile(Ini()), kOriginal);
    CHECK_EQ(static_cast<long long>(CountFiles()), 1LL);
}

int Hold(const char* path)
{
    HANDLE file = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 2;
    HANDLE ready = OpenEventA(EVENT_MODIFY_STATE, FALSE, "quillmar-test-held");
    SetEvent(ready);
    Sleep(INFINITE);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], "--hold") == 0)
        return Hold(argv[2]);
    g_dir = "C:\\quillmar-update-test";
    g_ops = *Win32FileOps();
    g_ops.windowsDirectory = ScratchWindowsDirectory;
    BackupNumbering();
    BackupKeepsTheOriginal();
    MissingIni();
    HeldOpenElsewhere(argv[0]);
    return CheckVerdict("update_win_test");
}
