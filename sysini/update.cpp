// The backup and rewrite of system.ini, done so that no failure loses it.
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

// Copies the text, putting the entry on a line of its own after every line that contains the mark.
bool CopyWithEntry(TextReader* reader, TextWriter* writer)
{
    LineMarkFinder finder;
    finder.tail = 0;
    finder.found = false;
    char piece[kPieceLength];
    size_t length;
    while (ReadPiece(reader, piece, &length)) {
        if (!WriteText(writer, piece, length))
            return false;
        FeedPiece(&finder, piece, length);
        if (piece[length - 1] == '\n') {
            if (finder.found && !WriteText(writer, kEntryLine, sizeof kEntryLine - 1))
                return false;
            finder.tail = 0;
            finder.found = false;
        }
    }
    if (reader->failed)
        return false;
    if (finder.found && !WriteText(writer, "\n", 1))
        return false;
    if (finder.found && !WriteText(writer, kEntryLine, sizeof kEntryLine - 1))
        return false;
    return FlushTextWriter(writer);
}

// Writes the new text of iniPath into tempPath, flushed and closed.
bool WriteNewText(const FileOps* ops, const char* iniPath, const char* tempPath)
{
    FileHandle source = ops->openRead(iniPath);
    if (!source)
        return false;
    FileHandle target = ops->openWrite(tempPath);
    bool written = false;
    if (target) {
        TextReader reader;
        TextWriter writer;
        InitTextReader(&reader, ops, source);
        InitTextWriter(&writer, ops, target);
        written = CopyWithEntry(&reader, &writer) && ops->flush(target);
        written = ops->close(target) && written;
    }
    ops->close(source);
    return written;
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

char* BackupAndRewrite(const FileOps* ops, const char* windowsDir, const char* iniPath)
{
    char* tempPath = ops->createTemp(windowsDir);
    if (!tempPath)
        return 0;
    char* backup = WriteNewText(ops, iniPath, tempPath) ? MoveToBackup(ops, windowsDir, iniPath) : 0;
    if (backup && !ops->rename(tempPath, iniPath)) {
        ops->rename(backup, iniPath);
        ops->release(backup);
        backup = 0;
    }
    if (!backup)
        ops->remove(tempPath);
    ops->release(tempPath);
    return backup;
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
        if (scan == SCAN_ABSENT) {
            outcome.backupPath = BackupAndRewrite(ops, windowsDir, iniPath);
            if (outcome.backupPath)
                outcome.result = UPDATE_UPDATED;
        }
        ops->release(iniPath);
    }
    ops->release(windowsDir);
    return outcome;
}
