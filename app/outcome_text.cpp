// The message text that reports the outcome of the update, sized from the backup path.
#include "outcome_text.h"

#include "sysini/text.h"

size_t FormatOutcomeMessage(const UpdateOutcome* outcome, char* text, size_t capacity)
{
    static const char kCannotUpdate[] = "Can not updated System.ini file.";
    static const char kPresent[] = "The System.ini already has RemovableIDE = TRUE";
    static const char kUpdatedStart[] = "Updated System.ini. The original is backed up as ";
    static const char kUpdatedEnd[] = ".";

    const char* parts[3] = { kCannotUpdate, "", "" };
    if (outcome->result == UPDATE_PRESENT)
        parts[0] = kPresent;
    if (outcome->result == UPDATE_UPDATED) {
        parts[0] = kUpdatedStart;
        parts[1] = outcome->backupPath;
        parts[2] = kUpdatedEnd;
    }
    size_t lengths[3];
    size_t needed = 1;
    for (int i = 0; i < 3; ++i) {
        lengths[i] = TextLength(parts[i]);
        needed += lengths[i];
    }
    if (capacity >= needed) {
        char* end = text;
        for (int i = 0; i < 3; ++i)
            end = AppendText(end, parts[i], lengths[i]);
        *end = '\0';
    }
    return needed;
}
