// The new text of system.ini: the entry on a line of its own after every line with 386Enh.
#include <gtest/gtest.h>

#include "fake_fileops.h"
#include "sysini/update.h"

namespace {

const char kDir[] = "C:\\WINDOWS";
const char kIni[] = "C:\\WINDOWS\\system.ini";
const std::string kEntry = "RemovableIDE = TRUE\r\n";

std::string Rewrite(const std::string& text, size_t readLimit)
{
    fake::Reset(kDir);
    fake::PutFile(kIni, text);
    fake::LimitReads(readLimit);
    UpdateOutcome outcome = BackupAndRewrite(fake::Ops(), kDir, kIni);
    EXPECT_EQ(outcome.result, UPDATE_UPDATED);
    EXPECT_STREQ(outcome.backupPath, "C:\\WINDOWS\\system.000");
    fake::Ops()->release(outcome.backupPath);
    EXPECT_EQ(fake::Read("C:\\WINDOWS\\system.000"), text) << "the backup is the original";
    EXPECT_EQ(fake::Files().size(), 2u) << "no temporary file is left";
    EXPECT_EQ(fake::OpenHandles(), 0);
    EXPECT_EQ(fake::LiveBlocks(), 0);
    return fake::Read(kIni);
}

TEST(Rewrite, InsertsTheEntryAndWritesCrLf)
{
    const std::string x96(96, 'x'), x100(100, 'x'), x150(150, 'x');
    struct Case {
        const char* name;
        std::string text;
        std::string expected;
    } cases[] = {
        { "section header", "[boot]\r\nx=1\r\n[386Enh]\r\ny=2\r\n",
          "[boot]\r\nx=1\r\n[386Enh]\r\n" + kEntry + "y=2\r\n" },
        { "LF line ends become CR LF", "[386Enh]\ny=2\n", "[386Enh]\r\n" + kEntry + "y=2\r\n" },
        { "two marked lines", "[386Enh]\n;386Enh again\nz\n",
          "[386Enh]\r\n" + kEntry + ";386Enh again\r\n" + kEntry + "z\r\n" },
        { "an existing FALSE entry stays below", "[386Enh]\nRemovableIDE=FALSE\n",
          "[386Enh]\r\n" + kEntry + "RemovableIDE=FALSE\r\n" },
        { "no marked line: same lines", "[boot]\nx=1\r\ny", "[boot]\r\nx=1\r\ny" },
        { "CR-only line ends stay", "a\rb\r", "a\rb\r" },
        { "marked last line without a line end", "x\n[386Enh]", "x\r\n[386Enh]\r\n" + kEntry },
        { "Ctrl-Z and what follows are dropped", std::string("a\n\x1A[386Enh]\n"), "a\r\n" },
        { "zero bytes are kept", std::string("a\0b\n[386Enh]\0x\n", 15),
          std::string("a\0b\r\n[386Enh]\0x\r\n", 17) + kEntry },
        { "marked line longer than a piece", "[386Enh]" + x150 + "\nz\n", "[386Enh]" + x150 + "\r\n" + kEntry + "z\r\n" },
        { "mark split between two pieces", x96 + "386Enh\nz\n", x96 + "386Enh\r\n" + kEntry + "z\r\n" },
        { "mark in two pieces of one line", "386Enh" + x100 + "386Enh\n", "386Enh" + x100 + "386Enh\r\n" + kEntry },
        { "99 characters then LF", x96 + "386\nEnh\n", x96 + "386\r\nEnh\r\n" },
        { "empty file", "", "" },
    };
    for (const Case& c : cases) {
        for (size_t limit : { 0, 1, 7 })
            EXPECT_EQ(Rewrite(c.text, limit), c.expected) << c.name << ", reads of " << limit;
    }
}

TEST(Rewrite, LongFileInConstantMemory)
{
    std::string text = "[386Enh]\n";
    for (int i = 0; i < 20000; ++i)
        text += "key" + std::to_string(i) + "=value\n";
    std::string result = Rewrite(text, 0);
    EXPECT_EQ(result.substr(0, 10 + kEntry.size()), "[386Enh]\r\n" + kEntry);
    EXPECT_EQ(result.size(), text.size() + 20001 + kEntry.size());
}

} // namespace
