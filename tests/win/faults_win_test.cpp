// Faults of the real file system and of a busy user, through the real quillmar.exe and the Win32 file layer.
// Usage: faults_win_test full-disk|read-only|attributes|several-starts|large-file quillmar.exe
// full-disk and read-only need the Windows directory on a mount of its own (tests/win/mounted.sh).
// Exits 77 (skipped) with the reason where the file system cannot show what a mode tests.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstring>
#include <set>
#include <vector>

#include "app/outcome_text.h"
#include "check.h"
#include "driver.h"
#include "sysini/win32_fileops.h"

namespace {

const int kSkipped = 77;
const char kCannotText[] = "Can not updated System.ini file.";
const char kPresentText[] = "The System.ini already has RemovableIDE = TRUE";
const std::string kEntryLine = "RemovableIDE = TRUE\r\n";
// A full-disk test fills the whole file system, so it refuses one with more room than this.
const unsigned long long kMostRoomToFill = 64ull << 20;

std::string UpdatedText(int backup)
{
    return "Updated System.ini. The original is backed up as " + BackupPath(backup) + ".";
}

// A system.ini of CR LF lines and, beside it, what the update makes of it.
struct Texts {
    std::string original;
    std::string rewritten;

    void Line(const std::string& line)
    {
        original += line + "\r\n";
        rewritten += line + "\r\n";
        if (line.find("386Enh") != std::string::npos)
            rewritten += kEntryLine;
    }
};

Texts Beginning()
{
    Texts texts;
    texts.Line("[boot]");
    texts.Line("shell=Explorer.exe");
    texts.Line("");
    texts.Line("[386Enh]");
    texts.Line("woafont=dosapp.fon");
    return texts;
}

// Device lines until the original is this long, the last one padded to the byte.
Texts TextOfLength(size_t length)
{
    Texts texts = Beginning();
    for (int i = 0; texts.original.size() + 40 < length; ++i)
        texts.Line("device" + std::to_string(i) + "=*vxd");
    texts.Line("; " + std::string(length - texts.original.size() - 4, '-'));
    return texts;
}

// Where the program is the shipped 32-bit file, a start may go through qemu and take a minute.
DWORD StartTimeoutMs(const std::string& exe)
{
    DWORD type = SCS_64BIT_BINARY;
    GetBinaryTypeA(DosPath(exe).c_str(), &type);
    return type == SCS_32BIT_BINARY ? 600000 : 60000;
}

struct Run {
    bool boxShown = false;
    std::string message;
    long exitCode = -1;
    SIZE_T peakBytes = 0;
    DWORD boxMs = 0; // from the start
};

// The peak working set of a running program as Wine reports it, which is the VmHWM of
// its Linux process (/proc/<pid>/status, read by the wineserver).
SIZE_T PeakWorkingSet(HANDLE process)
{
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    return GetProcessMemoryInfo(process, &counters, sizeof counters) ? counters.PeakWorkingSetSize : 0;
}

// Waits for the outcome boxes of programs started together; reads each one (with the peak memory so
// far, the update being done) and presses OK as soon as it is up; then waits for their ends.
std::vector<Run> FinishAll(Started* started, int count, DWORD timeoutMs)
{
    std::vector<Run> runs(count);
    std::vector<bool> over(count, false);
    DWORD begin = GetTickCount();
    for (int pending = count; pending > 0 && GetTickCount() - begin < timeoutMs; Sleep(20)) {
        for (int i = 0; i < count; ++i) {
            if (over[i])
                continue;
            HWND box = WaitForOutcomeBox(started[i], 0);
            if (box) {
                runs[i].boxShown = true;
                runs[i].message = BoxMessage(box);
                runs[i].peakBytes = PeakWorkingSet(started[i].process.hProcess);
                runs[i].boxMs = GetTickCount() - begin;
                PressOk(box);
            }
            if (box || WaitForSingleObject(started[i].process.hProcess, 0) == WAIT_OBJECT_0) {
                over[i] = true;
                --pending;
            }
        }
    }
    for (int i = 0; i < count; ++i)
        runs[i].exitCode = WaitForExit(&started[i], timeoutMs);
    return runs;
}

Run RunProgram(const std::string& exe)
{
    Started started;
    if (!CHECK_MSG(StartProgram(exe, "", -1, &started), "cannot start " + exe))
        return Run();
    return FinishAll(&started, 1, StartTimeoutMs(exe))[0];
}

void CheckEnded(const Run& run)
{
    CHECK_MSG(run.boxShown, "no outcome box");
    CHECK_EQ(static_cast<long long>(run.exitCode), 0LL);
}

void CheckEnded(const Run& run, const std::string& expectedMessage)
{
    CheckEnded(run);
    CHECK_EQ(run.message, expectedMessage);
}

// Compares a file with the bytes expected, saying where they first differ rather than printing both.
void CheckFileHolds(const std::string& path, const std::string& expected, const std::string& what)
{
    std::string actual = ReadWholeFile(path);
    size_t common = std::min(actual.size(), expected.size());
    size_t at = std::mismatch(actual.begin(), actual.begin() + common, expected.begin()).first - actual.begin();
    CHECK_MSG(actual == expected, path + " does not hold " + what + ": " + std::to_string(actual.size()) + " bytes, "
        + std::to_string(expected.size()) + " expected, the first difference at byte " + std::to_string(at));
}

std::vector<std::string> NamesIn(const std::string& pattern)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((WindowsDir() + "\\" + pattern).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names.push_back(found.cFileName);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

// Every file of the Windows directory with its size, one a line.
std::string Listing()
{
    std::string listing;
    for (const std::string& name : NamesIn("*")) {
        WIN32_FILE_ATTRIBUTE_DATA data;
        GetFileAttributesExA((WindowsDir() + "\\" + name).c_str(), GetFileExInfoStandard, &data);
        listing += name + " " + std::to_string(data.nFileSizeLow) + "\n";
    }
    return listing;
}

int TemporaryFiles()
{
    return static_cast<int>(NamesIn("qmr*.tmp").size());
}

unsigned long long FreeBytes()
{
    ULARGE_INTEGER available, total, free;
    if (!GetDiskFreeSpaceExA((WindowsDir() + "\\").c_str(), &available, &total, &free))
        return 0;
    return available.QuadPart;
}

const char kFillerPattern[] = "qmfill*";

std::string FillerPath(const std::string& name)
{
    return WindowsDir() + "\\qmfill" + name;
}

void RemoveFillers()
{
    for (const std::string& name : NamesIn(kFillerPattern))
        DeleteFileA((WindowsDir() + "\\" + name).c_str());
}

// How much free space one byte takes: the file system's unit of allocation.
unsigned long long AllocationUnit()
{
    unsigned long long before = FreeBytes();
    WriteWholeFile(FillerPath("-unit"), "x");
    unsigned long long unit = before - FreeBytes();
    RemoveFillers();
    return unit;
}

// Fills the file system until room bytes are left; with noFileRoom, also creates empty
// files until no further file can be made.
bool Fill(unsigned long long room, bool noFileRoom)
{
    unsigned long long free = FreeBytes();
    if (!CHECK_MSG(free >= room, "only " + std::to_string(free) + " bytes free"))
        return false;
    if (free > room && !CHECK(WriteWholeFile(FillerPath(".bin"), std::string(free - room, 'f'))))
        return false;
    if (!CHECK_EQ(FreeBytes(), room))
        return false;
    if (!noFileRoom)
        return true;
    for (int n = 0; n < 100000; ++n) {
        HANDLE file = CreateFileA(FillerPath(std::to_string(n)).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return CHECK_EQ(static_cast<long long>(GetLastError()), static_cast<long long>(ERROR_DISK_FULL));
        CloseHandle(file);
    }
    return CHECK_MSG(false, "the file system takes any number of files");
}

// The Win32 file layer on its own: no temporary file where none can be made.
void CheckNoTemporaryFile(const char* why)
{
    const FileOps* ops = Win32FileOps();
    char* dir = ops->windowsDirectory();
    char* temp = ops->createTemp(dir);
    CHECK_MSG(temp == nullptr, std::string("the Win32 file layer reports a temporary file on ") + why);
    if (temp)
        ops->remove(temp);
    ops->release(temp);
    ops->release(dir);
}

// A full disk: the Windows directory on a small file system, filled so that room runs out at
// each step of writing the new text, whose last byte starts an allocation unit of its own.
int FullDisk(const std::string& exe)
{
    unsigned long long free = FreeBytes();
    if (free == 0 || free > kMostRoomToFill) {
        std::printf("the Windows directory has %llu bytes free: it must be on a small file system of its own "
                    "(tests/win/mounted.sh full-disk)\n", free);
        return 1;
    }
    unsigned long long unit = AllocationUnit();
    std::printf("full disk: %llu bytes free, allocated in units of %llu\n", free, unit);
    Texts texts = TextOfLength(4 * unit + 1 - kEntryLine.size());
    CHECK_EQ(static_cast<long long>(texts.rewritten.size()), static_cast<long long>(4 * unit + 1));
    struct Case {
        const char* name;
        unsigned long long room;
        bool noFileRoom;
        bool updated;
    } cases[] = {
        { "no room for the temporary file", 0, true, false },
        { "no room for a byte of the new text", 0, false, false },
        { "room runs out in the middle of the new text", 2 * unit, false, false },
        { "room for all but the last byte of the new text", 4 * unit, false, false },
        { "just enough room", 5 * unit, false, true },
    };
    for (const Case& c : cases) {
        std::printf("full disk: %s\n", c.name);
        ClearWindowsDir();
        RemoveFillers();
        CHECK(WriteWholeFile(IniPath(), texts.original));
        if (Fill(c.room, c.noFileRoom)) {
            std::string before = Listing();
            if (c.noFileRoom) {
                CheckNoTemporaryFile("a full disk");
                CHECK_EQ(Listing(), before);
            }
            Run run = RunProgram(exe);
            if (c.updated) {
                CheckEnded(run, UpdatedText(0));
                CheckFileHolds(IniPath(), texts.rewritten, "the new text");
                CheckFileHolds(BackupPath(0), texts.original, "the original");
                CHECK(!FileExists(BackupPath(1)));
                CHECK_EQ(static_cast<long long>(TemporaryFiles()), 0LL);
            } else {
                CheckEnded(run, kCannotText);
                CheckFileHolds(IniPath(), texts.original, "the original");
                CHECK_EQ(Listing(), before);
            }
        }
        RemoveFillers();
    }
    ClearWindowsDir();
    return CheckVerdict("faults_win_test full-disk");
}

// A read-only medium: mounted.sh put a system.ini without the entry there before making it read-only.
int ReadOnly(const std::string& exe)
{
    std::string original = ReadWholeFile(IniPath());
    if (WriteWholeFile(FillerPath(".probe"), "x") || original.find("[386Enh]") == std::string::npos
        || original.find("RemovableIDE") != std::string::npos) {
        DeleteFileA(FillerPath(".probe").c_str());
        std::printf("the Windows directory must be read-only and hold a system.ini without the entry "
                    "(tests/win/mounted.sh read-only)\n");
        return 1;
    }
    std::string before = Listing();
    CheckNoTemporaryFile("a read-only medium");
    CHECK_MSG(!Win32FileOps()->rename(IniPath().c_str(), BackupPath(0).c_str()), "a rename on a read-only medium succeeded");
    CHECK_EQ(Listing(), before);
    std::printf("read-only medium: the program\n");
    CheckEnded(RunProgram(exe), kCannotText);
    CheckFileHolds(IniPath(), original, "the original");
    CHECK_EQ(Listing(), before);
    return CheckVerdict("faults_win_test read-only");
}

const DWORD kProtected = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

// A system.ini marked read-only, hidden and system, as setup programs leave it.
int Attributes(const std::string& exe)
{
    std::string saved = ReadWholeFile(IniPath());
    ClearWindowsDir();
    Texts texts = Beginning();
    WriteWholeFile(IniPath(), texts.original);
    FILETIME stamp = StampAsOld(IniPath());
    SetFileAttributesA(IniPath().c_str(), kProtected);
    DWORD attributes = GetFileAttributesA(IniPath().c_str());
    int verdict = kSkipped;
    if ((attributes & kProtected) != kProtected) {
        std::printf("skipped: Wine keeps only attributes 0x%lX of 0x%lX here (hidden and system need user "
                    "extended attributes on the prefix's file system)\n", attributes, kProtected);
    } else {
        CheckEnded(RunProgram(exe), UpdatedText(0));
        WIN32_FILE_ATTRIBUTE_DATA backup = {};
        CHECK(GetFileAttributesExA(BackupPath(0).c_str(), GetFileExInfoStandard, &backup));
        CHECK_EQ(static_cast<long long>(backup.dwFileAttributes & kProtected), static_cast<long long>(kProtected));
        CHECK_MSG(CompareFileTime(&backup.ftLastWriteTime, &stamp) == 0, "the backup's time stamp changed");
        CheckFileHolds(BackupPath(0), texts.original, "the original");
        CHECK_EQ(static_cast<long long>(GetFileAttributesA(IniPath().c_str()) & kProtected), 0LL);
        CheckFileHolds(IniPath(), texts.rewritten, "the new text");
        CHECK_EQ(static_cast<long long>(TemporaryFiles()), 0LL);
        verdict = CheckVerdict("faults_win_test attributes");
    }
    ClearWindowsDir();
    RestoreIni(saved);
    return verdict;
}

// What starts on one system.ini without the entry may leave, given the texts they showed: one of the
// three each, system.ini with the new text (the entry once after each 386Enh line), a whole earlier
// system.ini in each backup reported and no other backup, and no temporary file.
void CheckStartsLeft(const Texts& texts, const std::vector<std::string>& messages)
{
    std::set<int> backups;
    int counts[3] = {};
    for (const std::string& message : messages) {
        int n = 0;
        while (n < 25 && message != UpdatedText(n))
            ++n;
        if (n < 25) {
            CHECK_MSG(backups.insert(n).second, "two starts name one backup: " + message);
            ++counts[0];
        } else {
            CHECK_MSG(message == kPresentText || message == kCannotText, "not one of the three texts: " + message);
            ++counts[message == kPresentText ? 1 : 2];
        }
    }
    std::printf("  %d updated, %d found the entry, %d could not\n", counts[0], counts[1], counts[2]);
    CHECK_MSG(!backups.empty(), "no start updated system.ini");
    CheckFileHolds(IniPath(), texts.rewritten, "the new text");
    for (int n : backups) {
        std::string backup = ReadWholeFile(BackupPath(n));
        CHECK_MSG(backup == texts.original || backup == texts.rewritten, BackupPath(n) + " is not a whole earlier system.ini");
    }
    CHECK_EQ(static_cast<long long>(NamesIn("system.0*").size()), static_cast<long long>(backups.size()));
    CHECK_EQ(static_cast<long long>(TemporaryFiles()), 0LL);
}

// Another start of the real program at a chosen moment of an update that this process runs on the
// Win32 file layer: the moments between two starts that a race hits only now and then, made certain.
enum Moment { AFTER_THE_SCAN, WHILE_COPYING, BETWEEN_THE_RENAMES };

struct Interleaving {
    std::string exe;
    Moment moment;
    int renames;
    bool started;
    Run other;
} g_interleaving;

void StartTheOtherOnce()
{
    if (g_interleaving.started)
        return;
    g_interleaving.started = true;
    g_interleaving.other = RunProgram(g_interleaving.exe);
}

char* CreateTempThenStart(const char* dir)
{
    char* temp = Win32FileOps()->createTemp(dir);
    if (g_interleaving.moment == AFTER_THE_SCAN)
        StartTheOtherOnce();
    return temp;
}

bool StartThenWrite(FileHandle file, const void* buffer, size_t size)
{
    if (g_interleaving.moment == WHILE_COPYING)
        StartTheOtherOnce();
    return Win32FileOps()->write(file, buffer, size);
}

bool StartThenRename(const char* from, const char* to)
{
    if (g_interleaving.moment == BETWEEN_THE_RENAMES && ++g_interleaving.renames == 2)
        StartTheOtherOnce();
    return Win32FileOps()->rename(from, to);
}

std::string MessageOf(UpdateOutcome* outcome)
{
    std::string text(FormatOutcomeMessage(outcome, nullptr, 0), '\0');
    FormatOutcomeMessage(outcome, &text[0], text.size());
    text.resize(text.size() - 1);
    Win32FileOps()->release(outcome->backupPath);
    return text;
}

void AnotherStartAtEachMoment(const std::string& exe, const Texts& texts)
{
    struct Case {
        const char* name;
        Moment moment;
    } cases[] = {
        { "after the scan", AFTER_THE_SCAN },
        { "while the new text is written", WHILE_COPYING },
        { "between the two renames", BETWEEN_THE_RENAMES },
    };
    FileOps ops = *Win32FileOps();
    ops.createTemp = CreateTempThenStart;
    ops.write = StartThenWrite;
    ops.rename = StartThenRename;
    for (const Case& c : cases) {
        std::printf("another start %s:\n", c.name);
        ClearWindowsDir();
        WriteWholeFile(IniPath(), texts.original);
        g_interleaving = Interleaving{ exe, c.moment, 0, false, Run() };
        UpdateOutcome outcome = UpdateSystemIni(&ops);
        CHECK_MSG(g_interleaving.started, "the other start never ran");
        CheckEnded(g_interleaving.other);
        std::printf("  the other start: %s\n  this one: ", g_interleaving.other.message.c_str());
        std::string message = MessageOf(&outcome);
        std::printf("%s\n", message.c_str());
        CheckStartsLeft(texts, { g_interleaving.other.message, message });
    }
}

// Several starts on one system.ini without the entry: one started at each moment that matters
// between two updates, then rounds of five started at once.
int SeveralStarts(const std::string& exe)
{
    const int kStarts = 5;
    const int kRounds = 3;
    std::string saved = ReadWholeFile(IniPath());
    AnotherStartAtEachMoment(exe, Beginning());
    // About 1 MB, for the starts' scans and rewrites to overlap.
    Texts texts = Beginning();
    for (int i = 0; texts.original.size() < (1 << 20); ++i)
        texts.Line(i == 20000 ? "; 386Enh again" : "device" + std::to_string(i) + "=*vxd");
    for (int round = 1; round <= kRounds; ++round) {
        std::printf("five starts at once, round %d:\n", round);
        ClearWindowsDir();
        WriteWholeFile(IniPath(), texts.original);
        Started started[kStarts];
        for (Started& start : started)
            CHECK(StartProgram(exe, "", -1, &start));
        std::vector<std::string> messages;
        for (const Run& run : FinishAll(started, kStarts, StartTimeoutMs(exe))) {
            std::printf("  box after %.2f s: %s\n", run.boxMs / 1000.0, run.message.c_str());
            CheckEnded(run);
            messages.push_back(run.message);
        }
        CheckStartsLeft(texts, messages);
    }
    ClearWindowsDir();
    RestoreIni(saved);
    return CheckVerdict("faults_win_test several-starts");
}

// A 50 MB system.ini: updated with the right bytes, in about the memory a 1 KB one needs.
int LargeFile(const std::string& exe)
{
    const SIZE_T kMostExtraBytes = 1 << 20;
    std::string saved = ReadWholeFile(IniPath());
    SIZE_T peaks[2] = {};
    const size_t sizes[2] = { 1 << 10, 50 << 20 };
    for (int i = 0; i < 2; ++i) {
        ClearWindowsDir();
        Texts texts = TextOfLength(sizes[i]);
        texts.Line("; 386Enh at the end");
        CHECK(WriteWholeFile(IniPath(), texts.original));
        DWORD begin = GetTickCount();
        Run run = RunProgram(exe);
        peaks[i] = run.peakBytes;
        std::printf("system.ini of %zu bytes: start to outcome box and exit in %.1f s, peak working set %zu KB\n",
            texts.original.size(), (GetTickCount() - begin) / 1000.0, run.peakBytes / 1024);
        CheckEnded(run, UpdatedText(0));
        CheckFileHolds(IniPath(), texts.rewritten, "the new text");
        CheckFileHolds(BackupPath(0), texts.original, "the original");
        CHECK_EQ(static_cast<long long>(TemporaryFiles()), 0LL);
    }
    CHECK_MSG(peaks[0] != 0 && peaks[1] <= peaks[0] + kMostExtraBytes,
        "peak working set " + std::to_string(peaks[1] / 1024) + " KB with 50 MB, " + std::to_string(peaks[0] / 1024) + " KB with 1 KB");
    ClearWindowsDir();
    RestoreIni(saved);
    return CheckVerdict("faults_win_test large-file");
}

} // namespace

int main(int argc, char** argv)
{
    struct Mode {
        const char* name;
        int (*run)(const std::string& exe);
    } modes[] = {
        { "full-disk", FullDisk },
        { "read-only", ReadOnly },
        { "attributes", Attributes },
        { "several-starts", SeveralStarts },
        { "large-file", LargeFile },
    };
    for (const Mode& mode : modes) {
        if (argc == 3 && std::strcmp(argv[1], mode.name) == 0)
            return mode.run(argv[2]);
    }
    std::printf("usage: faults_win_test full-disk|read-only|attributes|several-starts|large-file quillmar.exe\n");
    return 2;
}
