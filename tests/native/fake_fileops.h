// An in-memory file system behind the update's file operations, able to fail
// the Nth operation and to show what a power loss at any step would leave.
#ifndef QUILLMAR_TESTS_FAKE_FILEOPS_H
#define QUILLMAR_TESTS_FAKE_FILEOPS_H

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "sysini/fileops.h"

namespace fake {

struct Entry {
    std::string data;
    std::string durable; // what survives a power loss: data as of the last flush
    bool isDirectory = false;
};

using Disk = std::map<std::string, Entry>;

void Reset(const std::string& windowsDir = "C:\\WINDOWS");
const FileOps* Ops();
Disk& Files();

void PutFile(const std::string& path, const std::string& data);
void PutDirectory(const std::string& path);
bool Exists(const std::string& path);
std::string Read(const std::string& path);

// The windowsDirectory call fails.
void FailWindowsDirectory();
// Reads hand out at most this many bytes at a time.
void LimitReads(size_t bytes);
// The Nth file operation (1-based) fails; with onward, every one after it too.
void FailOperation(int n, bool onward);
// Before the Nth operation runs, keep what the disk durably holds, then fail it and all after.
void CrashBefore(int n);
bool Crashed();
// Before the Nth operation runs, action runs once: another program taking its turn at the disk.
void InterruptBefore(int n, std::function<void()> action);
const Disk& DiskAtCrash();

int OperationCount();
const std::vector<std::string>& Log();
int OpenHandles();
int LiveBlocks();

} // namespace fake

#endif
