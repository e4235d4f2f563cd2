// The text rules: CR LF in, Ctrl-Z, pieces of 99 bytes, upper-casing, CR LF out.
#include <gtest/gtest.h>

#include "fake_fileops.h"
#include "sysini/text.h"

namespace {

const char kPath[] = "C:\\WINDOWS\\system.ini";

std::vector<std::string> Pieces(const std::string& input, size_t readLimit = 0)
{
    fake::Reset();
    fake::PutFile(kPath, input);
    fake::LimitReads(readLimit);
    FileHandle file = fake::Ops()->openRead(kPath);
    TextReader reader;
    InitTextReader(&reader, fake::Ops(), file);
    std::vector<std::string> pieces;
    char piece[kPieceLength];
    size_t length;
    while (ReadPiece(&reader, piece, &length))
        pieces.emplace_back(piece, length);
    EXPECT_FALSE(reader.failed);
    fake::Ops()->close(file);
    return pieces;
}

using P = std::vector<std::string>;

TEST(TextReading, TranslatesLineEndsWhateverTheReadSizes)
{
    struct Case {
        const char* name;
        std::string input;
        P pieces;
    } cases[] = {
        { "CR LF becomes LF", "a\r\nb\r\n", { "a\n", "b\n" } },
        { "lone CR stays", "a\rb\n", { "a\rb\n" } },
        { "CR at the end stays", "a\r", { "a\r" } },
        { "CR CR LF keeps the first CR", "a\r\r\n", { "a\r\n" } },
        { "LF alone", "a\nb", { "a\n", "b" } },
        { "Ctrl-Z ends the input", std::string("a\nb\x1A" "c\n"), { "a\n", "b" } },
        { "CR before Ctrl-Z stays", std::string("a\r\x1A\n"), { "a\r" } },
        { "Ctrl-Z first: nothing", std::string("\x1A" "a\n"), {} },
        { "empty file", "", {} },
        { "zero bytes are ordinary", std::string("a\0b\n\0", 5), { std::string("a\0b\n", 4), std::string("\0", 1) } },
        { "bytes above 127 pass", "\xE4\xFF\r\n", { "\xE4\xFF\n" } },
    };
    for (const Case& c : cases) {
        // A read limit of 1 and 2 splits every CR LF pair across two reads somewhere.
        for (size_t limit : { 0, 1, 2, 3 })
            EXPECT_EQ(Pieces(c.input, limit), c.pieces) << c.name << ", reads of " << limit;
    }
}

TEST(TextReading, CutsLongLinesInto99BytePieces)
{
    std::string x98(98, 'x'), x99(99, 'x'), x100(100, 'x');
    EXPECT_EQ(Pieces(x98 + "\r\n"), (P{ x98 + "\n" }));
    EXPECT_EQ(Pieces(x99 + "\r\n"), (P{ x99, "\n" }));
    EXPECT_EQ(Pieces(x100 + "\n"), (P{ x99, "x\n" }));
    EXPECT_EQ(Pieces(std::string(250, 'y')), (P{ std::string(99, 'y'), std::string(99, 'y'), std::string(52, 'y') }));
    // A CR LF pair straddling a piece boundary still becomes one LF.
    EXPECT_EQ(Pieces(x98 + "\r\nz", 7), (P{ x98 + "\n", "z" }));
}

TEST(TextReading, ReadErrorEndsTheInputAndIsReported)
{
    fake::Reset();
    fake::PutFile(kPath, "line one\nline two\n");
    fake::LimitReads(4);
    FileHandle file = fake::Ops()->openRead(kPath);
    fake::FailOperation(fake::OperationCount() + 2, false);
    TextReader reader;
    InitTextReader(&reader, fake::Ops(), file);
    char piece[kPieceLength];
    size_t length;
    EXPECT_FALSE(ReadPiece(&reader, piece, &length));
    EXPECT_TRUE(reader.failed);
    fake::Ops()->close(file);
}

TEST(TextHelpers, UpperCasesOnlyAsciiLetters)
{
    std::string text = "abz AZ 09 [\xE4\xF6]{}`~ \x7F";
    UpperCaseAscii(&text[0], text.size());
    EXPECT_EQ(text, "ABZ AZ 09 [\xE4\xF6]{}`~ \x7F");
}

TEST(TextHelpers, ContainsSeesPastZeroBytes)
{
    std::string text("\0\0" "386Enh", 8);
    EXPECT_TRUE(Contains(text.data(), text.size(), "386Enh"));
    EXPECT_FALSE(Contains(text.data(), text.size() - 1, "386Enh"));
    EXPECT_FALSE(Contains("386enh", 6, "386Enh"));
    EXPECT_FALSE(Contains("", 0, "a"));
}

TEST(TextWriting, WritesEveryLfAsCrLfAcrossChunks)
{
    fake::Reset();
    const char* out = "C:\\out";
    FileHandle file = fake::Ops()->openWrite(out);
    TextWriter writer;
    InitTextWriter(&writer, fake::Ops(), file);
    std::string text = "a\nb\rc\n";
    std::string expected = "a\r\nb\rc\r\n";
    // Enough LFs to cross the writer's chunk at every possible offset.
    std::string many(3 * kWriteChunk + 1, '\n');
    ASSERT_TRUE(WriteText(&writer, text.data(), text.size()));
    ASSERT_TRUE(WriteText(&writer, many.data(), many.size()));
    ASSERT_TRUE(FlushTextWriter(&writer));
    fake::Ops()->close(file);
    std::string crlfs;
    for (size_t i = 0; i < many.size(); ++i)
        crlfs += "\r\n";
    EXPECT_EQ(fake::Read(out), expected + crlfs);
}

TEST(TextWriting, WriteErrorIsReportedAndSticks)
{
    fake::Reset();
    FileHandle file = fake::Ops()->openWrite("C:\\out");
    TextWriter writer;
    InitTextWriter(&writer, fake::Ops(), file);
    fake::FailOperation(fake::OperationCount() + 1, false);
    std::string big(2 * kWriteChunk, 'x');
    EXPECT_FALSE(WriteText(&writer, big.data(), big.size()));
    EXPECT_FALSE(FlushTextWriter(&writer));
    fake::Ops()->close(file);
}

} // namespace
