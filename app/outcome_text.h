// The message text that reports the outcome of the update.
#ifndef QUILLMAR_APP_OUTCOME_TEXT_H
#define QUILLMAR_APP_OUTCOME_TEXT_H

#include "sysini/update.h"

// Returns the bytes the text needs, its zero included, and writes it into
// text only when capacity is at least that: ask with 0 first, then allocate.
size_t FormatOutcomeMessage(const UpdateOutcome* outcome, char* text, size_t capacity);

#endif
