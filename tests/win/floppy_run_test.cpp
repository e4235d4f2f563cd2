// quillmar started from drive A: as a user starts it from a floppy disk: the outcome box, system.ini, the exit.
#include <windows.h>

#include "check.h"
#include "driver.h"

namespace {

const DWORD kBoxTimeoutMs = 30000;
const DWORD kExitTimeoutMs = 15000;

const std::string kWithoutEntry = "[boot]\r\nshell=Explorer.exe\r\n[386Enh]\r\nkeyboard=*vkd\r\n";
const std::string kUpdated = "[boot]\r\nshell=Explorer.exe\r\n[386Enh]\r\nRemovableIDE = TRUE\r\nkeyboard=*vkd\r\n";

} // namespace

// tools/floppy-run.sh has made a floppy image holding quillmar.exe drive A: before this runs.
int main(int argc, char** argv)
{
    if (argc != 2) {
        std::printf("usage: floppy_run_test A:\\QUILLMAR.EXE\n");
        return 2;
    }
    const std::string exe = argv[1];
    CHECK_EQ(static_cast<long long>(GetDriveTypeA("A:\\")), static_cast<long long>(DRIVE_REMOVABLE));
    CHECK_MSG(FileExists(exe), exe + " is not there");

    std::string saved = ReadWholeFile(IniPath());
    ClearWindowsDir();
    WriteWholeFile(IniPath(), kWithoutEntry);
    Started started;
    if (CHECK_MSG(StartProgram(exe, "", -1, &started), "cannot start " + exe)) {
        HWND box = WaitForOutcomeBox(started, kBoxTimeoutMs);
        if (CHECK_MSG(box != nullptr, "no outcome box appeared")) {
            CHECK_EQ(BoxMessage(box), "Updated System.ini. The original is backed up as " + BackupPath(0) + ".");
            CHECK_EQ(ReadWholeFile(IniPath()), kUpdated);
            CHECK_EQ(ReadWholeFile(BackupPath(0)), kWithoutEntry);
            PressOk(box);
        }
        CHECK_EQ(static_cast<long long>(WaitForExit(&started, kExitTimeoutMs)), 0LL);
    }
    ClearWindowsDir();
    RestoreIni(saved);
    return CheckVerdict("floppy_run_test");
}
