// The scan of the [386Enh] section for an active RemovableIDE entry.
#include <gtest/gtest.h>

#include "fake_fileops.h"
#include "sysini/update.h"

namespace {

const char kPath[] = "C:\\WINDOWS\\system.ini";

ScanResult Scan(const std::string& text)
{
    fake::Reset();
    fake::PutFile(kPath, text);
    ScanResult result = ScanForEntry(fake::Ops(), kPath);
    EXPECT_EQ(fake::OpenHandles(), 0);
    return result;
}

TEST(Scan, FindsOnlyActiveEntriesInsideTheSection)
{
    const ScanResult P = SCAN_PRESENT, A = SCAN_ABSENT;
    struct Case {
        const char* name;
        std::string text;
        ScanResult expected;
    } cases[] = {
        { "plain entry", "[386Enh]\r\nRemovableIDE=TRUE\r\n", P },
        { "spaced entry, LF only", "[386Enh]\nRemovableIDE = TRUE\n", P },
        { "lower case", "[386Enh]\nremovableide = true\n", P },
        { "mixed case", "[386Enh]\nRemovableIDE=True\n", P },
        { "entry as last line without line end", "[386Enh]\nRemovableIDE=TRUE", P },
        { "semicolon in first column", "[386Enh]\n;RemovableIDE=TRUE\n", A },
        { "semicolon after a blank", "[386Enh]\n ;RemovableIDE=TRUE\n", P },
        { "semicolon after a tab", "[386Enh]\n\t;RemovableIDE=TRUE\n", P },
        { "leading REM", "[386Enh]\nREM RemovableIDE=TRUE\n", A },
        { "trailing rem comment", "[386Enh]\nRemovableIDE=TRUE rem done\n", A },
        { "word ending in rem", "[386Enh]\nRemovableIDE=TRUE ; harem x\n", A },
        { "REM and a tab", "[386Enh]\nREM\tRemovableIDE=TRUE\n", P },
        { "REM at the line end", "[386Enh]\nRemovableIDE=TRUE REM\n", P },
        { "FALSE with TRUE in a comment", "[386Enh]\nRemovableIDE=FALSE ; not TRUE\n", P },
        { "UNTRUE", "[386Enh]\nRemovableIDE=UNTRUE\n", P },
        { "FALSE", "[386Enh]\nRemovableIDE=FALSE\n", A },
        { "entry on the header line", "[386Enh] RemovableIDE=TRUE\n", A },
        { "entry in a later section", "[386Enh]\nx=1\n[other]\nRemovableIDE=TRUE\n", A },
        { "entry before the section", "RemovableIDE=TRUE\n[386Enh]\n", A },
        { "next header after three blanks ends", "[386Enh]\n   [x]\nRemovableIDE=TRUE\n", A },
        { "next header after four blanks does not", "[386Enh]\n    [x]\nRemovableIDE=TRUE\n", P },
        { "short lines after an indented header", "  [386Enh]\n\n;\nab\nRemovableIDE=TRUE\n", P },
        { "386Enh in a comment opens", "; about 386Enh\nRemovableIDE=TRUE\n", P },
        { "386ENH does not open", "[386ENH]\nRemovableIDE=TRUE\n", A },
        { "386enh does not open", "[386enh]\nRemovableIDE=TRUE\n", A },
        { "no section", "[boot]\nRemovableIDE=TRUE\n", A },
        { "Ctrl-Z before the section", std::string("[boot]\n\x1A[386Enh]\nRemovableIDE=TRUE\n"), A },
        { "Ctrl-Z inside the entry", std::string("[386Enh]\nRemovableIDE=TR\x1AUE\n"), A },
        { "empty file", "", A },
        { "zero byte before the entry", std::string("[386Enh]\n\0RemovableIDE=TRUE\n", 28), P },
        { "zero byte before the mark", std::string("[\0" "386Enh]\nRemovableIDE=TRUE\n", 28), P },
        { "98 characters and LF: one piece", "[386Enh]\n" + std::string(80, ' ') + "RemovableIDE=TRUE\n", P },
        { "keywords split over two pieces", "[386Enh]\n" + std::string(90, ' ') + "RemovableIDE=TRUE\n", A },
        // The 99-character line's second piece is a lone LF: a line of its own, like a blank line.
        { "99 characters, then the entry", "[386Enh]\n" + std::string(99, 'x') + "\nRemovableIDE=TRUE\n", P },
        { "bracket in the first four of a piece", "[386Enh]\n" + std::string(99, 'x') + "  [\nRemovableIDE=TRUE\n", A },
    };
    for (const Case& c : cases)
        EXPECT_EQ(Scan(c.text), c.expected) << c.name;
}

TEST(Scan, MissingFileOrReadErrorCannotOpen)
{
    fake::Reset();
    EXPECT_EQ(ScanForEntry(fake::Ops(), kPath), SCAN_CANNOT_OPEN);

    fake::PutDirectory(kPath);
    EXPECT_EQ(ScanForEntry(fake::Ops(), kPath), SCAN_CANNOT_OPEN);

    // A read error part way is not taken for the end of the file.
    for (bool onward : { false, true }) {
        fake::Reset();
        fake::PutFile(kPath, "[386Enh]\nx=1\n" + std::string(3000, ';') + "\n");
        fake::FailOperation(3, onward); // open, read, read
        EXPECT_EQ(ScanForEntry(fake::Ops(), kPath), SCAN_CANNOT_OPEN);
        EXPECT_EQ(fake::OpenHandles(), 0);
    }
}

} // namespace
