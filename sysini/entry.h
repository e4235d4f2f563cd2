// The scan's rules for an active RemovableIDE entry in [386Enh], applied one line piece at a time.
#ifndef QUILLMAR_SYSINI_ENTRY_H
#define QUILLMAR_SYSINI_ENTRY_H

#include <stddef.h>

enum EntrySearch {
    ENTRY_BEFORE_SECTION,
    ENTRY_IN_SECTION,
    ENTRY_SECTION_ENDED, // the section ended without the entry; later lines no longer count
    ENTRY_FOUND
};

// Judges the next line piece (left unchanged) and returns the new state; once the
// section has ended or the entry is found, further pieces change nothing.
EntrySearch JudgePiece(EntrySearch state, const char* piece, size_t length);

#endif
