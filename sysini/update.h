// Making sure system.ini's [386Enh] section holds an active "RemovableIDE = TRUE".
#ifndef QUILLMAR_SYSINI_UPDATE_H
#define QUILLMAR_SYSINI_UPDATE_H

#include "fileops.h"

enum ScanResult {
    SCAN_CANNOT_OPEN, // missing, unreadable, or a read error part way
    SCAN_PRESENT,
    SCAN_ABSENT
};

enum UpdateResult {
    UPDATE_CANNOT_UPDATE, // nothing was changed
    UPDATE_PRESENT,
    UPDATE_UPDATED
};

struct UpdateOutcome {
    UpdateResult result;
    char* backupPath; // with UPDATE_UPDATED only; goes back through FileOps::release
};

ScanResult ScanForEntry(const FileOps* ops, const char* iniPath);

// Writes the new text to a temporary file, moves system.ini to the first free
// backup name and puts the new text in its place: updated, with the backup path.
// Present when the text it copies holds the entry after all (another start put it
// there since the scan); cannot update when it could not. Either way system.ini
// stays as it was and the temporary file is removed.
UpdateOutcome BackupAndRewrite(const FileOps* ops, const char* windowsDir, const char* iniPath);

UpdateOutcome UpdateSystemIni(const FileOps* ops);

#endif
