// The drive report as the real quillmar.exe draws it, read back from the screen while its outcome box is up.
#include <windows.h>

#include <cstdio>

#include "check.h"
#include "driver.h"
#include "report_check.h"

namespace {

const DWORD kBoxTimeoutMs = 120000;
const DWORD kExitTimeoutMs = 60000;

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::printf("usage: report_test quillmar.exe\n");
        return 2;
    }
    if (!PrefixHasTheTestDrives())
        return CheckVerdict("report_test");

    // An ini that already has the entry: the run then changes no file.
    std::string saved = ReplaceIni("[386Enh]\r\nRemovableIDE = TRUE\r\n");
    Started started;
    if (CHECK(StartProgram(argv[1], "", -1, &started))) {
        HWND box = WaitForOutcomeBox(started, kBoxTimeoutMs);
        if (CHECK_MSG(box != nullptr, "no outcome box appeared")) {
            CheckReport(box, Folder(argv[1]));
            PressOk(box);
        }
        CHECK_EQ(static_cast<long long>(WaitForExit(&started, kExitTimeoutMs)), 0LL);
    }
    RestoreIni(saved);
    return CheckVerdict("report_test");
}
