// The text of one line of the drive report.
#ifndef QUILLMAR_REPORT_DRIVE_LINE_H
#define QUILLMAR_REPORT_DRIVE_LINE_H

#include <stddef.h>

// "The drive X: is " and a 12-character type word: never longer than this.
const size_t kDriveLineLength = 28;

// Writes the line for drive letter A + index (0 to 25) with the type the
// platform reported (DRIVE_REMOVABLE 2 to DRIVE_RAMDISK 6) and returns its length.
size_t FormatDriveLine(int index, unsigned driveType, char* line);

#endif
