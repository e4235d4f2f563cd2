// The text of one line of the drive report.
#include "drive_line.h"

#include "sysini/text.h"

namespace {

const char* const kTypeWords[] = {
    "removeable. ", // DRIVE_REMOVABLE
    "fixed.      ", // DRIVE_FIXED
    "remote.     ", // DRIVE_REMOTE
    "CD-ROM.     ", // DRIVE_CDROM
    "RAM disk.   ", // DRIVE_RAMDISK
};
const unsigned kFirstTypeWithWord = 2;

const char* TypeWord(unsigned driveType)
{
    unsigned slot = driveType - kFirstTypeWithWord;
    if (driveType < kFirstTypeWithWord || slot >= sizeof kTypeWords / sizeof kTypeWords[0])
        return "  ";
    return kTypeWords[slot];
}

} // namespace

size_t FormatDriveLine(int index, unsigned driveType, char* line)
{
    static const char kStart[] = "The drive ";
    static const char kMiddle[] = ": is ";
    char* end = AppendText(line, kStart, sizeof kStart - 1);
    *end++ = static_cast<char>('A' + index);
    end = AppendText(end, kMiddle, sizeof kMiddle - 1);
    const char* word = TypeWord(driveType);
    end = AppendText(end, word, TextLength(word));
    return static_cast<size_t>(end - line);
}
