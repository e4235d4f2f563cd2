// An in-memory file system behind the update's file operations.
#include "fake_fileops.h"

#include <cstdlib>
#include <cstring>
#include <set>

namespace fake {
namespace {

struct OpenFile {
    std::string path;
    size_t position = 0;
    bool writing = false;
};

struct State {
    Disk files;
    std::string windowsDir;
    bool windowsDirFails = false;
    size_t readLimit = 0;
    int failAt = 0;
    bool failOnward = false;
    int crashAt = 0;
    bool crashed = false;
    Disk atCrash;
    int interruptAt = 0;
    std::function<void()> interrupt;
    int operations = 0;
    int tempCounter = 0;
    std::vector<std::string> log;
    std::map<FileObject*, OpenFile> handles;
    std::set<void*> blocks;
    int nextHandle = 1;
};

State& S()
{
    static State state;
    return state;
}

// Counts a file operation and says whether it is to fail.
bool Fails(const std::string& what)
{
    State& s = S();
    int n = ++s.operations;
    s.log.push_back(what);
    if (s.interruptAt != 0 && n == s.interruptAt) {
        s.interruptAt = 0;
        std::function<void()> action = std::move(s.interrupt);
        action();
    }
    if (s.crashAt != 0 && n == s.crashAt) {
        s.crashed = true;
        s.atCrash = s.files;
    }
    if (s.crashed)
        return true;
    if (s.failAt == 0)
        return false;
    return n == s.failAt || (s.failOnward && n > s.failAt);
}

char* NewString(const std::string& text)
{
    char* copy = static_cast<char*>(Ops()->allocate(text.size() + 1));
    std::memcpy(copy, text.c_str(), text.size() + 1);
    return copy;
}

char* WindowsDirectory()
{
    if (Fails("windowsDirectory") || S().windowsDirFails)
        return nullptr;
    return NewString(S().windowsDir);
}

FileHandle Open(const char* path, bool writing)
{
    State& s = S();
    if (Fails(std::string(writing ? "openWrite " : "openRead ") + path))
        return nullptr;
    auto found = s.files.find(path);
    if (found != s.files.end() && found->second.isDirectory)
        return nullptr;
    if (!writing && found == s.files.end())
        return nullptr;
    if (writing)
        s.files[path] = Entry{}; // emptied at once, as the directory entry changes at once
    FileHandle handle = reinterpret_cast<FileHandle>(static_cast<intptr_t>(s.nextHandle++));
    s.handles[handle] = OpenFile{ path, 0, writing };
    return handle;
}

FileHandle OpenRead(const char* path)
{
    return Open(path, false);
}

FileHandle OpenWrite(const char* path)
{
    return Open(path, true);
}

bool ReadFrom(FileHandle file, void* buffer, size_t size, size_t* got)
{
    *got = 0;
    State& s = S();
    if (Fails("read"))
        return false;
    OpenFile& open = s.handles.at(file);
    const std::string& data = s.files.at(open.path).data;
    size_t n = std::min(size, data.size() - std::min(data.size(), open.position));
    if (s.readLimit != 0)
        n = std::min(n, s.readLimit);
    std::memcpy(buffer, data.data() + open.position, n);
    open.position += n;
    *got = n;
    return true;
}

bool Write(FileHandle file, const void* buffer, size_t size)
{
    State& s = S();
    if (Fails("write"))
        return false;
    OpenFile& open = s.handles.at(file);
    s.files.at(open.path).data.append(static_cast<const char*>(buffer), size);
    return true;
}

bool Flush(FileHandle file)
{
    State& s = S();
    if (Fails("flush"))
        return false;
    Entry& entry = s.files.at(s.handles.at(file).path);
    entry.durable = entry.data;
    return true;
}

// The handle is gone whether or not the close reports success, as with CloseHandle.
bool Close(FileHandle file)
{
    bool failed = Fails("close");
    S().handles.erase(file);
    return !failed;
}

bool Rename(const char* from, const char* to)
{
    State& s = S();
    if (Fails(std::string("rename ") + from + " -> " + to))
        return false;
    auto source = s.files.find(from);
    if (source == s.files.end() || s.files.count(to) != 0)
        return false;
    s.files[to] = source->second;
    s.files.erase(from);
    for (auto& handle : s.handles) {
        if (handle.second.path == from)
            handle.second.path = to;
    }
    return true;
}

bool Remove(const char* path)
{
    State& s = S();
    if (Fails(std::string("remove ") + path))
        return false;
    auto found = s.files.find(path);
    if (found == s.files.end() || found->second.isDirectory)
        return false;
    s.files.erase(found);
    return true;
}

char* CreateTemp(const char* dir)
{
    State& s = S();
    if (Fails("createTemp"))
        return nullptr;
    std::string path;
    do
        path = std::string(dir) + "\\qmr" + std::to_string(++s.tempCounter) + ".tmp";
    while (s.files.count(path) != 0);
    s.files[path] = Entry{};
    return NewString(path);
}

void* Allocate(size_t size)
{
    void* block = std::malloc(size);
    S().blocks.insert(block);
    return block;
}

void Release(void* block)
{
    if (block == nullptr)
        return;
    S().blocks.erase(block);
    std::free(block);
}

const FileOps kOps = {
    WindowsDirectory, OpenRead, OpenWrite, ReadFrom, Write, Flush, Close,
    Rename, Remove, CreateTemp, Allocate, Release,
};

} // namespace

void Reset(const std::string& windowsDir)
{
    for (void* block : S().blocks)
        std::free(block);
    S() = State{};
    S().windowsDir = windowsDir;
}

const FileOps* Ops()
{
    return &kOps;
}

Disk& Files()
{
    return S().files;
}

void PutFile(const std::string& path, const std::string& data)
{
    S().files[path] = Entry{ data, data, false };
}

void PutDirectory(const std::string& path)
{
    S().files[path] = Entry{ "", "", true };
}

bool Exists(const std::string& path)
{
    return S().files.count(path) != 0;
}

std::string Read(const std::string& path)
{
    return S().files.at(path).data;
}

void FailWindowsDirectory()
{
    S().windowsDirFails = true;
}

void LimitReads(size_t bytes)
{
    S().readLimit = bytes;
}

void FailOperation(int n, bool onward)
{
    S().failAt = n;
    S().failOnward = onward;
}

void CrashBefore(int n)
{
    S().crashAt = n;
}

bool Crashed()
{
    return S().crashed;
}

void InterruptBefore(int n, std::function<void()> action)
{
    S().interruptAt = n;
    S().interrupt = std::move(action);
}

const Disk& DiskAtCrash()
{
    return S().atCrash;
}

int OperationCount()
{
    return S().operations;
}

const std::vector<std::string>& Log()
{
    return S().log;
}

int OpenHandles()
{
    return static_cast<int>(S().handles.size());
}

int LiveBlocks()
{
    return static_cast<int>(S().blocks.size());
}

} // namespace fake
