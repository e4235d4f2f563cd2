// Fuzz target: the streaming text reading, scan, rewrite and update against the whole-buffer reference.
//
// Input: byte 0 picks the read sizes (random per read), byte 1 how many backup
// names are taken and which fault to inject, byte 2 the file operation it hits;
// the rest is the text of system.ini.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "reference.h"
#include "sysini/text.h"
#include "sysini/update.h"
#include "tests/native/fake_fileops.h"

namespace {

const char kDir[] = "C:\\WINDOWS";
const std::string kIni = "C:\\WINDOWS\\system.ini";
const int kBackupNames = 25;

enum Fault { NO_FAULT, FAIL_ONCE, FAIL_ONWARD, POWER_LOSS };

struct Setup {
    std::string text;
    unsigned readSeed;
    size_t readMax; // 0: reads as large as asked
    int taken;      // backup names system.000 onward that exist already
    Fault fault;
    int faultByte;
};

Setup Decode(const uint8_t* data, size_t size)
{
    static const size_t kReadMax[] = { 0, 1, 2, 3, 7, 99, 1023, 4096 };
    uint8_t b0 = size > 0 ? data[0] : 0;
    uint8_t b1 = size > 1 ? data[1] : 0;
    uint8_t b2 = size > 2 ? data[2] : 0;
    Setup s;
    s.text = size > 3 ? std::string(reinterpret_cast<const char*>(data) + 3, size - 3) : std::string();
    s.readMax = kReadMax[b0 & 7];
    s.readSeed = b0 >> 3;
    int taken = b1 & 31;
    s.taken = taken > kBackupNames ? 0 : taken;
    s.fault = static_cast<Fault>((b1 >> 5) & 3);
    s.faultByte = b2;
    return s;
}

// Reads through the fake file layer, each one cut to a pseudo-random size.
unsigned gRandom;
size_t gReadMax;

bool VaryingRead(FileHandle file, void* buffer, size_t size, size_t* got)
{
    if (gReadMax != 0) {
        gRandom = gRandom * 1103515245u + 12345u;
        size_t most = 1 + (gRandom >> 16) % gReadMax;
        if (size > most)
            size = most;
    }
    return fake::Ops()->read(file, buffer, size, got);
}

const FileOps* Ops()
{
    static FileOps ops;
    ops = *fake::Ops();
    ops.read = VaryingRead;
    return &ops;
}

std::string Backup(int n)
{
    char name[16];
    std::snprintf(name, sizeof name, "\\system.%03d", n);
    return kDir + std::string(name);
}

std::string OldBackup(int n)
{
    return "old backup " + std::to_string(n);
}

void Prepare(const Setup& s)
{
    fake::Reset(kDir);
    fake::PutFile(kIni, s.text);
    for (int n = 0; n < s.taken; ++n)
        fake::PutFile(Backup(n), OldBackup(n));
    gRandom = s.readSeed;
    gReadMax = s.readMax;
}

std::string Show(const std::string& bytes)
{
    std::string shown;
    for (unsigned char c : bytes) {
        char hex[8];
        if (c >= 0x20 && c < 0x7F && c != '\\')
            shown += static_cast<char>(c);
        else {
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            shown += hex;
        }
    }
    return shown;
}

#define CHECK(condition, ...)                                                            \
    do {                                                                                 \
        if (!(condition)) {                                                              \
            std::fprintf(stderr, "CHECK failed at line %d: %s\n", __LINE__, #condition); \
            std::fprintf(stderr, __VA_ARGS__);                                           \
            std::fprintf(stderr, "\n");                                                  \
            std::abort();                                                                \
        }                                                                                \
    } while (0)

void CheckNothingLeaked()
{
    CHECK(fake::OpenHandles() == 0, "%d files left open", fake::OpenHandles());
    CHECK(fake::LiveBlocks() == 0, "%d blocks not released", fake::LiveBlocks());
}

void CheckOldBackupsUntouched(const fake::Disk& disk, const Setup& s)
{
    for (int n = 0; n < s.taken; ++n)
        CHECK(disk.count(Backup(n)) == 1 && disk.at(Backup(n)).durable == OldBackup(n), "backup %d changed", n);
}

void CheckPieces(const Setup& s)
{
    Prepare(s);
    FileHandle file = Ops()->openRead(kIni.c_str());
    TextReader reader;
    InitTextReader(&reader, Ops(), file);
    std::vector<std::string> pieces;
    char piece[kPieceLength];
    size_t length;
    while (ReadPiece(&reader, piece, &length))
        pieces.emplace_back(piece, length);
    Ops()->close(file);
    std::vector<std::string> expected = reference::Pieces(reference::Translate(s.text));
    CHECK(!reader.failed, "read failed");
    CHECK(pieces.size() == expected.size(), "%zu pieces, expected %zu", pieces.size(), expected.size());
    for (size_t i = 0; i < pieces.size(); ++i)
        CHECK(pieces[i] == expected[i], "piece %zu: %s, expected %s", i, Show(pieces[i]).c_str(), Show(expected[i]).c_str());
}

void CheckScan(const Setup& s, ScanResult expected)
{
    Prepare(s);
    ScanResult got = ScanForEntry(Ops(), kIni.c_str());
    CHECK(got == expected, "scan gave %d, expected %d", got, expected);
    CheckNothingLeaked();
}

// The rewrite on its own: a text that holds the entry already is left alone and reported as present.
void CheckRewrite(const Setup& s, ScanResult scan, const std::string& expected)
{
    Prepare(s);
    UpdateOutcome outcome = BackupAndRewrite(Ops(), kDir, kIni.c_str());
    std::string backupPath = outcome.backupPath ? outcome.backupPath : "";
    Ops()->release(outcome.backupPath);
    CheckNothingLeaked();
    CheckOldBackupsUntouched(fake::Files(), s);
    if (scan == SCAN_PRESENT || s.taken == kBackupNames) {
        CHECK(outcome.result == (scan == SCAN_PRESENT ? UPDATE_PRESENT : UPDATE_CANNOT_UPDATE),
            "rewrite gave %d with scan %d and %d names taken", outcome.result, scan, s.taken);
        CHECK(backupPath.empty(), "a backup without a rewrite: %s", backupPath.c_str());
        CHECK(fake::Read(kIni) == s.text, "system.ini changed without a backup");
        CHECK(fake::Files().size() == size_t(s.taken + 1), "a temporary file was left");
        return;
    }
    CHECK(outcome.result == UPDATE_UPDATED, "rewrite gave %d", outcome.result);
    CHECK(backupPath == Backup(s.taken), "backup %s, expected %s", backupPath.c_str(), Backup(s.taken).c_str());
    CHECK(fake::Read(backupPath) == s.text, "the backup is not the original");
    const fake::Entry& ini = fake::Files().at(kIni);
    CHECK(ini.data == expected, "rewrite\n  got      %s\n  expected %s", Show(ini.data).c_str(), Show(expected).c_str());
    CHECK(ini.durable == ini.data, "the new system.ini was not flushed");
    CHECK(fake::Files().size() == size_t(s.taken + 2), "a temporary file was left");
}

// The whole update without faults; returns how many file operations it made.
int CheckUpdate(const Setup& s, ScanResult scan, const std::string& rewritten)
{
    Prepare(s);
    UpdateOutcome outcome = UpdateSystemIni(Ops());
    std::string backupPath = outcome.backupPath ? outcome.backupPath : "";
    Ops()->release(outcome.backupPath);
    CheckNothingLeaked();
    CheckOldBackupsUntouched(fake::Files(), s);
    UpdateResult expected = scan == SCAN_PRESENT ? UPDATE_PRESENT
        : s.taken == kBackupNames                ? UPDATE_CANNOT_UPDATE
                                                 : UPDATE_UPDATED;
    CHECK(outcome.result == expected, "update gave %d, expected %d", outcome.result, expected);
    if (expected == UPDATE_UPDATED) {
        CHECK(backupPath == Backup(s.taken), "backup %s", backupPath.c_str());
        CHECK(fake::Read(kIni) == rewritten, "system.ini after the update: %s", Show(fake::Read(kIni)).c_str());
        CHECK(fake::Read(backupPath) == s.text, "the backup is not the original");
    } else {
        CHECK(backupPath.empty(), "a backup path without an update");
        CHECK(fake::Read(kIni) == s.text, "system.ini changed");
        CHECK(fake::Files().size() == size_t(s.taken + 1), "a file was added");
    }
    return fake::OperationCount();
}

// A failed operation never loses system.ini: it stays as it was, is replaced whole, or stands whole as the backup.
void CheckFailure(const Setup& s, int failAt, ScanResult scan, const std::string& rewritten)
{
    Prepare(s);
    fake::FailOperation(failAt, s.fault == FAIL_ONWARD);
    UpdateOutcome outcome = UpdateSystemIni(Ops());
    std::string backupPath = outcome.backupPath ? outcome.backupPath : "";
    Ops()->release(outcome.backupPath);
    CheckNothingLeaked();
    CheckOldBackupsUntouched(fake::Files(), s);
    CHECK(outcome.result != UPDATE_PRESENT || scan == SCAN_PRESENT, "present without the entry");
    if (outcome.result == UPDATE_UPDATED) {
        CHECK(fake::Read(kIni) == rewritten, "updated, but system.ini is %s", Show(fake::Read(kIni)).c_str());
        CHECK(fake::Files().at(kIni).durable == rewritten, "updated, but the new system.ini is not durable");
        CHECK(fake::Read(backupPath) == s.text, "updated, but the backup is not the original");
        return;
    }
    if (fake::Exists(kIni)) {
        CHECK(fake::Read(kIni) == s.text, "not updated, yet system.ini changed");
        return;
    }
    // The new text could not take its place and the rename back failed too.
    CHECK(s.fault == FAIL_ONWARD, "system.ini gone after a single failure");
    CHECK(s.taken < kBackupNames && fake::Read(Backup(s.taken)) == s.text, "system.ini gone and no whole backup");
}

// After a power loss before any operation, the durable state holds system.ini whole, old or new,
// or between the two renames the original as the backup and the new text whole in the temporary file.
void CheckPowerLoss(const Setup& s, int crashAt, const std::string& rewritten)
{
    Prepare(s);
    fake::CrashBefore(crashAt);
    UpdateOutcome outcome = UpdateSystemIni(Ops());
    Ops()->release(outcome.backupPath);
    CheckNothingLeaked();
    const fake::Disk& disk = fake::Crashed() ? fake::DiskAtCrash() : fake::Files();
    CheckOldBackupsUntouched(disk, s);
    auto ini = disk.find(kIni);
    if (ini != disk.end()) {
        CHECK(ini->second.durable == s.text || ini->second.durable == rewritten,
            "after a power loss system.ini holds %s", Show(ini->second.durable).c_str());
        return;
    }
    CHECK(s.taken < kBackupNames && disk.count(Backup(s.taken)) == 1 && disk.at(Backup(s.taken)).durable == s.text,
        "system.ini gone and no whole backup");
    int whole = 0;
    for (const auto& file : disk)
        whole += file.first.find("\\qmr") != std::string::npos && file.second.durable == rewritten;
    CHECK(whole == 1, "system.ini gone and the new text not whole in a temporary file");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Setup s = Decode(data, size);
    ScanResult scan = reference::Scan(s.text);
    std::string rewritten = reference::Rewrite(s.text);

    CheckPieces(s);
    CheckScan(s, scan);
    CheckRewrite(s, scan, rewritten);
    int operations = CheckUpdate(s, scan, rewritten);
    if (s.fault != NO_FAULT) {
        // The high bit counts back from the end, where the renames are; otherwise a share of the whole run.
        int back = s.faultByte & 0x7F;
        int at = s.faultByte & 0x80 ? std::max(1, operations + 1 - back) : 1 + back * (operations + 1) / 128;
        if (s.fault == POWER_LOSS)
            CheckPowerLoss(s, at, rewritten);
        else
            CheckFailure(s, at, scan, rewritten);
    }
    fake::Reset(kDir);
    return 0;
}
