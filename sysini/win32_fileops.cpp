// The file operations of the update on the Win32 API, as Windows 95 has it.
#include "win32_fileops.h"

#include <windows.h>

namespace {

void* Allocate(size_t size)
{
    return HeapAlloc(GetProcessHeap(), 0, size);
}

void Release(void* block)
{
    if (block)
        HeapFree(GetProcessHeap(), 0, block);
}

// Asks again with a buffer of the size reported, as the directory may be longer than MAX_PATH.
char* WindowsDirectory()
{
    UINT capacity = MAX_PATH;
    for (int attempt = 0; attempt < 3; ++attempt) {
        char* dir = static_cast<char*>(Allocate(capacity));
        if (!dir)
            return 0;
        UINT length = GetWindowsDirectoryA(dir, capacity);
        if (length != 0 && length < capacity)
            return dir;
        Release(dir);
        if (length == 0)
            return 0;
        capacity = length + 1;
    }
    return 0;
}

FileHandle FromWin32(HANDLE handle)
{
    return handle == INVALID_HANDLE_VALUE ? 0 : reinterpret_cast<FileHandle>(handle);
}

HANDLE ToWin32(FileHandle file)
{
    return reinterpret_cast<HANDLE>(file);
}

FileHandle OpenRead(const char* path)
{
    return FromWin32(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, 0,
        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, 0));
}

FileHandle OpenWrite(const char* path)
{
    return FromWin32(CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, 0,
        CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, 0));
}

bool Read(FileHandle file, void* buffer, size_t size, size_t* got)
{
    DWORD done = 0;
    BOOL ok = ReadFile(ToWin32(file), buffer, static_cast<DWORD>(size), &done, 0);
    *got = ok ? done : 0;
    return ok != FALSE;
}

bool Write(FileHandle file, const void* buffer, size_t size)
{
    DWORD done = 0;
    return WriteFile(ToWin32(file), buffer, static_cast<DWORD>(size), &done, 0) && done == size;
}

bool Flush(FileHandle file)
{
    return FlushFileBuffers(ToWin32(file)) != FALSE;
}

bool Close(FileHandle file)
{
    return CloseHandle(ToWin32(file)) != FALSE;
}

bool Rename(const char* from, const char* to)
{
    return MoveFileA(from, to) != FALSE;
}

bool Remove(const char* path)
{
    return DeleteFileA(path) != FALSE;
}

// GetTempFileNameA wants room for MAX_PATH characters whatever the directory's length.
// Wine's reports a name also where it could not create the file (no room for one more
// file, a read-only medium), so the file must be there as well.
char* CreateTemp(const char* dir)
{
    size_t capacity = static_cast<size_t>(lstrlenA(dir)) + 16;
    if (capacity < MAX_PATH)
        capacity = MAX_PATH;
    char* path = static_cast<char*>(Allocate(capacity));
    if (path && (GetTempFileNameA(dir, "qmr", 0, path) == 0 || GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES)) {
        Release(path);
        path = 0;
    }
    return path;
}

const FileOps kWin32FileOps = {
    WindowsDirectory, OpenRead, OpenWrite, Read, Write, Flush, Close,
    Rename, Remove, CreateTemp, Allocate, Release,
};

} // namespace

const FileOps* Win32FileOps()
{
    return &kWin32FileOps;
}
