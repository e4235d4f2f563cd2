// The scan of system.ini's [386Enh] section for an active RemovableIDE entry.
#include "entry.h"
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

EntrySearch JudgePiece(EntrySearch state, const char* piece, size_t length)
{
    if (state == ENTRY_BEFORE_SECTION)
        return Contains(piece, length, "386Enh") ? ENTRY_IN_SECTION : ENTRY_BEFORE_SECTION;
    if (state != ENTRY_IN_SECTION)
        return state;
    if (EndsSection(piece, length))
        return ENTRY_SECTION_ENDED;
    char line[kPieceLength];
    AppendText(line, piece, length);
    UpperCaseAscii(line, length);
    return IsActiveEntry(line, length) ? ENTRY_FOUND : ENTRY_IN_SECTION;
}

ScanResult ScanForEntry(const FileOps* ops, const char* iniPath)
{
    FileHandle file = ops->openRead(iniPath);
    if (!file)
        return SCAN_CANNOT_OPEN;

    TextReader reader;
    InitTextReader(&reader, ops, file);
    EntrySearch state = ENTRY_BEFORE_SECTION;
    char line[kPieceLength];
    size_t length;
    while (state <= ENTRY_IN_SECTION && ReadPiece(&reader, line, &length))
        state = JudgePiece(state, line, length);
    ops->close(file);
    if (reader.failed)
        return SCAN_CANNOT_OPEN;
    return state == ENTRY_FOUND ? SCAN_PRESENT : SCAN_ABSENT;
}
