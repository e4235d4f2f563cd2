// The file operations of the update on the Win32 API.
#ifndef QUILLMAR_SYSINI_WIN32_FILEOPS_H
#define QUILLMAR_SYSINI_WIN32_FILEOPS_H

#include "fileops.h"

const FileOps* Win32FileOps();

#endif
