// The backup and rewrite of system.ini, done so that no failure loses it.
#include "entry.h"
#include "text.h"
#include "update.h"

namespace {

const char kIniName[] = "\\system.ini";
const char kEntryLine[] = "RemovableIDE = TRUE\n";
const char kSectionMark[] = "386Enh";
const size_t kMarkTail = sizeof kSectionMark - 2; // bytes of a line kept to find a mark split over two pieces
const int kBackupCount = 25;

char* JoinPath(const FileOps* ops, const char* dir, const char* suffix, size_t suffixLength)
{
    size_t dirLength = TextLength(dir);
    char* path = static_cast<char*>(ops->allocate(dirLength + suffixLength + 1));
    if (path)
        *AppendText(AppendText(path, dir, dirLength), suffix, suffixLength) = '\0';
    return path;
}

// Keeps the last kMarkTail bytes of the current line so that a mark split
// between two pieces is still found.
struct LineMarkFinder {
    char seen[kMarkTail + kPieceLength];
    size_t tail;
    bool found;
};

void FeedPiece(LineMarkFinder* finder, const char* piece, size_t length)
{
    char* end = AppendText(finder->seen + finder->tail, piece, length);
    size_t seenLength = static_cast<size_t>(end - finder->seen);
    if (Contains(finder->seen, seenLength, kSectionMark))
        finder->found = true;
    finder->tail = seenLength < kMarkTail ? seenLength : kMarkTail;
    const char* keep = end - finder->tail;
    for (size_t i = 0; i < finder->tail; ++i)
        finder->seen[i] = keep[i];
}

enum CopyResult {
    COPY_FAILED,
    COPY_HAS_ENTRY, // the text holds the entry already: another start may have put it there since the scan
    COPY_DONE
};

// Copies the text, putting the entry on a line of its own after every line that contains the mark.
// Judges the text it copies by the scan's rules, so that the entry never goes in twice.
CopyResult CopyWithEntry(TextReader* reader, TextWriter* writer)
{
    LineMarkFinder finder;
    finder.tail = 0;
    finder.found = false;
    EntrySearch entry = ENTRY_BEFORE_SECTION;
    char piece[kPieceLength];
    size_t length;
    while (ReadPiece(reader, piece, &length)) {
        entry = JudgePiece(entry, piece, length);
        if (entry == ENTRY_FOUND)
            return COPY_HAS_ENTRY;
        if (!WriteText(writer, piece, length))
            return COPY_FAILED;
        FeedPiece(&finder, piece, length);
        if (piece[length - 1] == '\n') {
            if (finder.found && !WriteText(writer, kEntryLine, sizeof kEntryLine - 1))
                return COPY_FAILED;
            finder.tail = 0;
            finder.found = false;
        }
    }
    if (reader->failed)
        return COPY_FAILED;
    if (finder.found && !WriteText(writer, "\n", 1))
        return COPY_FAILED;
    if (finder.found && !WriteText(writer, kEntryLine, sizeof kEntryLine - 1))
        return COPY_FAILED;
    return FlushTextWriter(writer) ? COPY_DONE : COPY_FAILED;
}

// Writes the new text of iniPath into tempPath, flushed and closed.
CopyResult WriteNewText(const FileOps* ops, const char* iniPath, const char* tempPath)
{
    FileHandle source = ops->openRead(iniPath);
    if (!source)
        return COPY_FAILED;
    FileHandle target = ops->openWrite(tempPath);
    CopyResult copy = COPY_FAILED;
    if (target) {
        TextReader reader;
        TextWriter writer;
        InitTextReader(&reader, ops, source);
        InitTextWriter(&writer, ops, target);
        copy = CopyWithEntry(&reader, &writer);
        if (copy == COPY_DONE && !ops->flush(target))
            copy = COPY_FAILED;
        if (!ops->close(target) && copy == COPY_DONE)
            copy = COPY_FAILED;
    }
    ops->close(source);
    return copy;
}

// Renames iniPath to the first free name system.000 to system.024; returns that name.
char* MoveToBackup(const FileOps* ops, const char* windowsDir, const char* iniPath)
{
    char suffix[] = "\\system.000";
    const size_t suffixLength = sizeof suffix - 1;
    char* backup = JoinPath(ops, windowsDir, suffix, suffixLength);
    if (!backup)
        return 0;
    char* digits = backup + TextLength(backup) - 3;
    for (int n = 0; n < kBackupCount; ++n) {
        digits[0] = static_cast<char>('0' + n / 100);
        digits[1] = static_cast<char>('0' + n / 10 % 10);
        digits[2] = static_cast<char>('0' + n % 10);
        if (ops->rename(iniPath, backup))
            return backup;
    }
    ops->release(backup);
    return 0;
}

} // namespace

UpdateOutcome BackupAndRewrite(const FileOps* ops, const char* windowsDir, const char* iniPath)
{
    UpdateOutcome outcome = { UPDATE_CANNOT_UPDATE, 0 };
    char* tempPath = ops->createTemp(windowsDir);
    if (!tempPath)
        return outcome;
    CopyResult copy = WriteNewText(ops, iniPath, tempPath);
    if (copy == COPY_HAS_ENTRY)
        outcome.result = UPDATE_PRESENT;
    char* backup = copy == COPY_DONE ? MoveToBackup(ops, windowsDir, iniPath) : 0;
    if (backup && !ops->rename(tempPath, iniPath)) {
        ops->rename(backup, iniPath);
        ops->release(backup);
        backup = 0;
    }
    if (backup) {
        outcome.result = UPDATE_UPDATED;
        outcome.backupPath = backup;
    } else {
        ops->remove(tempPath);
    }
    ops->release(tempPath);
    return outcome;
}

UpdateOutcome UpdateSystemIni(const FileOps* ops)
{
    UpdateOutcome outcome = { UPDATE_CANNOT_UPDATE, 0 };
    char* windowsDir = ops->windowsDirectory();
    if (!windowsDir)
        return outcome;
    char* iniPath = JoinPath(ops, windowsDir, kIniName, sizeof kIniName - 1);
    if (iniPath) {
        ScanResult scan = ScanForEntry(ops, iniPath);
        if (scan == SCAN_PRESENT)
            outcome.result = UPDATE_PRESENT;
        if (scan == SCAN_ABSENT)
            outcome = BackupAndRewrite(ops, windowsDir, iniPath);
        ops->release(iniPath);
    }
    ops->release(windowsDir);
    return outcome;
}
