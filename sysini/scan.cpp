// The scan of system.ini's [386Enh] section for an active RemovableIDE entry.
#include "text.h"
#include "update.h"

namespace {

// A section header among the first four characters ends the section.
bool EndsSection(const char* line, size_t length)
{
    for (size_t i = 0; i < length && i < 4; ++i) {
        if (line[i] == '[')
            return true;
    }
    return false;
}

// The line is upper-cased already.
bool IsActiveEntry(const char* line, size_t length)
{
    return Contains(line, length, "REMOVABLEIDE") && Contains(line, length, "TRUE")
        && !Contains(line, length, "REM ") && line[0] != ';';
}

} // namespace

ScanResult ScanForEntry(const FileOps* ops, const char* iniPath)
{
    FileHandle file = ops->openRead(iniPath);
    if (!file)
        return SCAN_CANNOT_OPEN;

    TextReader reader;
    InitTextReader(&reader, ops, file);
    ScanResult result = SCAN_ABSENT;
    bool inSection = false;
    char line[kPieceLength];
    size_t length;
    while (ReadPiece(&reader, line, &length)) {
        if (inSection) {
            if (EndsSection(line, length))
                break;
            UpperCaseAscii(line, length);
            if (IsActiveEntry(line, length)) {
                result = SCAN_PRESENT;
                break;
            }
        }
        if (Contains(line, length, "386Enh"))
            inSection = true;
    }
    if (reader.failed)
        result = SCAN_CANNOT_OPEN;
    ops->close(file);
    return result;
}
