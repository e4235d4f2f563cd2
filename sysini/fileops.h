// The platform services the system.ini update needs, as one table of functions.
#ifndef QUILLMAR_SYSINI_FILEOPS_H
#define QUILLMAR_SYSINI_FILEOPS_H

#include <stddef.h>

typedef struct FileObject* FileHandle;

// Every function reports failure through its result (false or null) and
// never stops the program. Strings it hands out come from allocate and go
// back through release.
struct FileOps {
    // The Windows directory, however long, as a new string; null on failure.
    char* (*windowsDirectory)();
    // Opens an existing file for reading, sharing it with other readers and writers.
    FileHandle (*openRead)(const char* path);
    // Opens a file for writing, emptied, creating it where it does not exist.
    FileHandle (*openWrite)(const char* path);
    // Reads up to size bytes; *got is 0 at the end of the file.
    bool (*read)(FileHandle file, void* buffer, size_t size, size_t* got);
    // Writes all size bytes or fails.
    bool (*write)(FileHandle file, const void* buffer, size_t size);
    bool (*flush)(FileHandle file);
    bool (*close)(FileHandle file);
    // Gives a file a new name; fails where the new name exists already.
    bool (*rename)(const char* from, const char* to);
    bool (*remove)(const char* path);
    // Creates a new, empty file with a unique name in dir; returns its path as a new string.
    char* (*createTemp)(const char* dir);
    void* (*allocate)(size_t size);
    void (*release)(void* block);
};

#endif
