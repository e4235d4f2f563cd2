// The whole update against the in-memory disk: backup names, outcomes, and
// that no failed operation or power loss loses system.ini.
#include <gtest/gtest.h>

#include <set>

#include "fake_fileops.h"
#include "sysini/update.h"

namespace {

const char kDir[] = "C:\\WINDOWS";
const std::string kIni = "C:\\WINDOWS\\system.ini";
const std::string kOriginal = "[boot]\nshell=Explorer.exe\n[386Enh]\nkeyboard=*vkd\n";
const std::string kNewText = "[boot]\r\nshell=Explorer.exe\r\n[386Enh]\r\nRemovableIDE = TRUE\r\nkeyboard=*vkd\r\n";

std::string Backup(int n)
{
    char name[16];
    std::snprintf(name, sizeof name, "\\system.%03d", n);
    return kDir + std::string(name);
}

struct Result {
    UpdateResult result;
    std::string backup;
};

Result Update()
{
    UpdateOutcome outcome = UpdateSystemIni(fake::Ops());
    Result r{ outcome.result, outcome.backupPath ? outcome.backupPath : "" };
    fake::Ops()->release(outcome.backupPath);
    EXPECT_EQ(fake::OpenHandles(), 0);
    EXPECT_EQ(fake::LiveBlocks(), 0);
    return r;
}

TEST(Update, UsesTheFirstFreeBackupName)
{
    struct Case {
        const char* name;
        std::vector<int> taken;
        bool takenAsFolder;
        int expected;
    } cases[] = {
        { "none yet", {}, false, 0 },
        { "000 and 001 taken", { 0, 1 }, false, 2 },
        { "a gap", { 0, 2 }, false, 1 },
        { "a folder named system.000", { 0 }, true, 1 },
        { "only the last free", { 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23 }, false, 24 },
    };
    for (const Case& c : cases) {
        fake::Reset(kDir);
        fake::PutFile(kIni, kOriginal);
        for (int n : c.taken) {
            if (c.takenAsFolder)
                fake::PutDirectory(Backup(n));
            else
                fake::PutFile(Backup(n), "old " + std::to_string(n));
        }
        Result r = Update();
        EXPECT_EQ(r.result, UPDATE_UPDATED) << c.name;
        EXPECT_EQ(r.backup, Backup(c.expected)) << c.name;
        EXPECT_EQ(fake::Read(Backup(c.expected)), kOriginal) << c.name;
        EXPECT_EQ(fake::Read(kIni), kNewText) << c.name;
        for (int n : c.taken)
            EXPECT_EQ(fake::Files().at(Backup(n)).data, c.takenAsFolder ? "" : "old " + std::to_string(n)) << c.name;
        EXPECT_EQ(fake::Files().size(), c.taken.size() + 2) << c.name;
    }
}

TEST(Update, ChangesNothingWhenItCannotOrNeedNot)
{
    std::string present = "[386Enh]\r\nRemovableIDE=TRUE\r\n";
    struct Case {
        const char* name;
        bool hasIni;
        std::string text;
        int backupsTaken;
        bool windowsDirFails;
        UpdateResult expected;
    } cases[] = {
        { "entry present", true, present, 0, false, UPDATE_PRESENT },
        { "system.ini missing", false, "", 0, false, UPDATE_CANNOT_UPDATE },
        { "all 25 backup names taken", true, kOriginal, 25, false, UPDATE_CANNOT_UPDATE },
        { "no Windows directory", true, kOriginal, 0, true, UPDATE_CANNOT_UPDATE },
    };
    for (const Case& c : cases) {
        fake::Reset(kDir);
        if (c.hasIni)
            fake::PutFile(kIni, c.text);
        for (int n = 0; n < c.backupsTaken; ++n)
            fake::PutFile(Backup(n), "old");
        if (c.windowsDirFails)
            fake::FailWindowsDirectory();
        fake::Disk before = fake::Files();
        Result r = Update();
        EXPECT_EQ(r.result, c.expected) << c.name;
        EXPECT_EQ(r.backup, "") << c.name;
        EXPECT_EQ(fake::Files().size(), before.size()) << c.name;
        for (const auto& file : before)
            EXPECT_EQ(fake::Read(file.first), file.second.data) << c.name << ": " << file.first;
    }
}

TEST(Update, WindowsDirectoryOfAnyLength)
{
    std::string dir = "C:\\" + std::string(600, 'w');
    fake::Reset(dir);
    fake::PutFile(dir + "\\system.ini", kOriginal);
    Result r = Update();
    EXPECT_EQ(r.result, UPDATE_UPDATED);
    EXPECT_EQ(r.backup, dir + "\\system.000");
    EXPECT_EQ(fake::Read(dir + "\\system.ini"), kNewText);
}

// Runs the update once to learn how many file operations it makes.
int OperationsOfACleanRun()
{
    fake::Reset(kDir);
    fake::PutFile(kIni, kOriginal);
    fake::LimitReads(8);
    EXPECT_EQ(Update().result, UPDATE_UPDATED);
    return fake::OperationCount();
}

TEST(Update, NoFailedOperationLosesSystemIni)
{
    int total = OperationsOfACleanRun();
    ASSERT_GT(total, 10);
    for (bool onward : { false, true }) {
        for (int n = 1; n <= total; ++n) {
            SCOPED_TRACE(testing::Message() << "operation " << n << (onward ? " and all after" : " once"));
            fake::Reset(kDir);
            fake::PutFile(kIni, kOriginal);
            fake::PutFile(Backup(0), "old");
            fake::LimitReads(8);
            fake::FailOperation(n, onward);
            Result r = Update();
            std::string failedOp = fake::Log()[n - 1];
            if (r.result == UPDATE_UPDATED) {
                EXPECT_EQ(fake::Read(kIni), kNewText);
                EXPECT_EQ(fake::Read(r.backup), kOriginal);
                // Reported as updated, so a power loss now must not empty it: a
                // failed flush has to stop the update before the renames.
                EXPECT_EQ(fake::Files().at(kIni).durable, kNewText);
                continue;
            }
            ASSERT_EQ(r.result, UPDATE_CANNOT_UPDATE);
            EXPECT_EQ(fake::Read(Backup(0)), "old");
            if (onward && failedOp.rfind("rename C:\\WINDOWS\\qmr", 0) == 0) {
                // The new text could not take its place and the way back failed
                // as well: the original stands whole under its backup name.
                EXPECT_EQ(fake::Read(Backup(1)), kOriginal);
                continue;
            }
            EXPECT_EQ(fake::Read(kIni), kOriginal);
            if (!onward) {
                EXPECT_EQ(fake::Files().size(), 2u) << "a new backup or the temporary file was left";
            }
        }
    }
}

// Several starts at once: another start runs whole between any two file operations of this one.
// Whatever the order, system.ini ends with the entry inserted once, every backup is a whole
// earlier system.ini and no temporary file is left.
TEST(Update, AnotherStartBetweenAnyTwoOperations)
{
    int total = OperationsOfACleanRun();
    for (int n = 1; n <= total; ++n) {
        SCOPED_TRACE(testing::Message() << "the other start runs before operation " << n);
        fake::Reset(kDir);
        fake::PutFile(kIni, kOriginal);
        fake::LimitReads(8);
        Result other{ UPDATE_CANNOT_UPDATE, "" };
        fake::InterruptBefore(n, [&other] {
            UpdateOutcome outcome = UpdateSystemIni(fake::Ops());
            other = Result{ outcome.result, outcome.backupPath ? outcome.backupPath : "" };
            fake::Ops()->release(outcome.backupPath);
        });
        Result r = Update();
        EXPECT_EQ(fake::Read(kIni), kNewText);
        std::set<std::string> backups;
        for (const Result& run : { r, other }) {
            if (run.result == UPDATE_UPDATED)
                backups.insert(run.backup);
            else
                EXPECT_EQ(run.backup, "");
        }
        EXPECT_FALSE(backups.empty()) << "neither start updated system.ini";
        EXPECT_EQ(fake::Files().size(), backups.size() + 1) << "a temporary file was left, or a backup not reported";
        for (const std::string& backup : backups) {
            ASSERT_TRUE(fake::Exists(backup)) << backup;
            EXPECT_TRUE(fake::Read(backup) == kOriginal || fake::Read(backup) == kNewText) << backup << ": " << fake::Read(backup);
        }
    }
}

// What a power loss before each operation leaves, with unflushed data lost:
// for a small file, and for one whose new text takes several writes, with
// older backups present and short reads.
TEST(Update, PowerLossAtAnyStepLeavesACompleteSystemIni)
{
    std::string longOriginal = "[boot]\nshell=Explorer.exe\n[386Enh]\n";
    std::string longNewText = "[boot]\r\nshell=Explorer.exe\r\n[386Enh]\r\nRemovableIDE = TRUE\r\n";
    for (int i = 0; longNewText.size() < 3 * 1024; ++i) {
        std::string line = "device" + std::to_string(i) + "=*vxd";
        longOriginal += line + "\n";
        longNewText += line + "\r\n";
    }
    struct Case {
        const char* name;
        std::string original;
        std::string newText;
        int taken;
    } cases[] = {
        { "small file", kOriginal, kNewText, 0 },
        { "several writes, two older backups", longOriginal, longNewText, 2 },
    };
    for (const Case& c : cases) {
        auto prepare = [&c] {
            fake::Reset(kDir);
            fake::PutFile(kIni, c.original);
            for (int n = 0; n < c.taken; ++n)
                fake::PutFile(Backup(n), "old " + std::to_string(n));
            fake::LimitReads(c.taken == 0 ? 8 : 700);
        };
        prepare();
        ASSERT_EQ(Update().result, UPDATE_UPDATED) << c.name;
        int total = fake::OperationCount();
        int crashesBetweenRenames = 0;
        for (int n = 1; n <= total + 1; ++n) {
            SCOPED_TRACE(testing::Message() << c.name << ": power lost before operation " << n);
            prepare();
            fake::CrashBefore(n);
            Update();
            const fake::Disk& disk = fake::Crashed() ? fake::DiskAtCrash() : fake::Files();
            for (int old = 0; old < c.taken; ++old)
                EXPECT_EQ(disk.at(Backup(old)).durable, "old " + std::to_string(old));
            auto ini = disk.find(kIni);
            if (ini != disk.end()) {
                EXPECT_TRUE(ini->second.durable == c.original || ini->second.durable == c.newText) << ini->second.durable;
                continue;
            }
            // Between the two renames: the original as the backup, the new text complete under the temporary name.
            ++crashesBetweenRenames;
            ASSERT_EQ(disk.count(Backup(c.taken)), 1u);
            EXPECT_EQ(disk.at(Backup(c.taken)).durable, c.original);
            int complete = 0;
            for (const auto& file : disk)
                complete += file.first.find("qmr") != std::string::npos && file.second.durable == c.newText;
            EXPECT_EQ(complete, 1);
        }
        EXPECT_EQ(crashesBetweenRenames, 1) << c.name << ": the two renames follow each other directly";
    }
}

} // namespace
