// File operations in memory for the benchmarks.
#include "mem_fileops.h"

#include <cstdlib>
#include <cstring>

namespace mem {
namespace {

const char kHeader[] = "[386Enh]\r\n";
const size_t kHeaderLength = sizeof kHeader - 1;
// One 32-byte line, repeated after the header.
const char kLine[] = "device=*vxd ; keyboard=*vkd ok\r\n";
const size_t kLineLength = sizeof kLine - 1;

struct Handle {
    size_t position;
    bool open;
};

const char* gBuffer;
size_t gSize;
size_t gWritten;
Handle gHandles[4];

FileObject* ToFile(Handle* handle)
{
    return reinterpret_cast<FileObject*>(handle);
}

char* NewString(const char* text)
{
    size_t length = std::strlen(text) + 1;
    char* copy = static_cast<char*>(std::malloc(length));
    std::memcpy(copy, text, length);
    return copy;
}

char* WindowsDirectory()
{
    return NewString("C:\\WINDOWS");
}

FileHandle Open(const char*)
{
    for (Handle& handle : gHandles) {
        if (!handle.open) {
            handle = Handle{ 0, true };
            return ToFile(&handle);
        }
    }
    return nullptr;
}

bool Read(FileHandle file, void* buffer, size_t size, size_t* got)
{
    Handle* handle = reinterpret_cast<Handle*>(file);
    size_t n = gSize - handle->position < size ? gSize - handle->position : size;
    if (gBuffer)
        std::memcpy(buffer, gBuffer + handle->position, n);
    else
        MakeText(handle->position, static_cast<char*>(buffer), n);
    handle->position += n;
    *got = n;
    return true;
}

bool Write(FileHandle, const void*, size_t size)
{
    gWritten += size;
    return true;
}

bool Succeed(FileHandle)
{
    return true;
}

bool Close(FileHandle file)
{
    reinterpret_cast<Handle*>(file)->open = false;
    return true;
}

bool Rename(const char*, const char*)
{
    return true;
}

bool Remove(const char*)
{
    return true;
}

char* CreateTemp(const char*)
{
    return NewString("C:\\WINDOWS\\qmr1.tmp");
}

void* Allocate(size_t size)
{
    return std::malloc(size);
}

void Release(void* block)
{
    std::free(block);
}

const FileOps kOps = {
    WindowsDirectory, Open, Open, Read, Write, Succeed, Close,
    Rename, Remove, CreateTemp, Allocate, Release,
};

} // namespace

void MakeText(size_t offset, char* to, size_t size)
{
    for (size_t i = 0; i < size; ++i) {
        size_t at = offset + i;
        to[i] = at < kHeaderLength ? kHeader[at] : kLine[(at - kHeaderLength) % kLineLength];
    }
}

void UseBuffer(const char* data, size_t size)
{
    gBuffer = data;
    gSize = size;
    gWritten = 0;
}

void UseGenerated(size_t size)
{
    gBuffer = nullptr;
    gSize = size;
    gWritten = 0;
}

const FileOps* Ops()
{
    return &kOps;
}

size_t BytesWritten()
{
    return gWritten;
}

} // namespace mem
