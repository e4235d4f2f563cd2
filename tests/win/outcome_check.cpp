// The three outcomes of a run: the system.ini each starts from, the text the box must show, the files it must leave.
#include "outcome_check.h"

#include "check.h"
#include "driver.h"

namespace {

const char kCannotText[] = "Can not updated System.ini file.";
const char kPresentText[] = "The System.ini already has RemovableIDE = TRUE";
const char kUpdatedText[] = "Updated System.ini. The original is backed up as C:\\windows\\system.000.";

// A Windows 98 system.ini without the entry; two lines end in a bare LF.
const std::string kWithoutEntry =
    "[boot]\r\n"
    "shell=Explorer.exe\r\n"
    "system.drv=system.drv\r\n"
    "\r\n"
    "[386Enh]\n"
    "ebios=*ebios\r\n"
    "woafont=dosapp.fon\n"
    "\r\n"
    "[drivers]\r\n"
    "wave=mmsystem.dll\r\n";
const std::string kUpdated =
    "[boot]\r\n"
    "shell=Explorer.exe\r\n"
    "system.drv=system.drv\r\n"
    "\r\n"
    "[386Enh]\r\n"
    "RemovableIDE = TRUE\r\n"
    "ebios=*ebios\r\n"
    "woafont=dosapp.fon\r\n"
    "\r\n"
    "[drivers]\r\n"
    "wave=mmsystem.dll\r\n";
const std::string kWithEntry =
    "[boot]\r\n"
    "shell=Explorer.exe\r\n"
    "\r\n"
    "[386Enh]\r\n"
    "ebios=*ebios\r\n"
    "RemovableIDE = TRUE\r\n"
    "woafont=dosapp.fon\r\n";

} // namespace

void Prepare(IniState state)
{
    ClearWindowsDir();
    if (state == INI_WITH_ENTRY)
        WriteWholeFile(IniPath(), kWithEntry);
    if (state == INI_WITHOUT_ENTRY)
        WriteWholeFile(IniPath(), kWithoutEntry);
}

std::string ExpectedMessage(IniState state)
{
    if (state == NO_INI)
        return kCannotText;
    return state == INI_WITH_ENTRY ? kPresentText : kUpdatedText;
}

void CheckFilesAfter(IniState state)
{
    switch (state) {
    case NO_INI:
        CHECK(!FileExists(IniPath()));
        break;
    case INI_WITH_ENTRY:
        CHECK_EQ(ReadWholeFile(IniPath()), kWithEntry);
        break;
    case INI_WITHOUT_ENTRY:
        CHECK_EQ(ReadWholeFile(BackupPath(0)), kWithoutEntry);
        CHECK_EQ(ReadWholeFile(IniPath()), kUpdated);
        CHECK(!FileExists(BackupPath(1)));
        return;
    }
    CHECK(!FileExists(BackupPath(0)));
}
