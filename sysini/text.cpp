// The text rules of system.ini: line pieces in, CR LF line ends out.
#include "text.h"

namespace {

const unsigned char kCR = 0x0D;
const unsigned char kLF = 0x0A;
const unsigned char kCtrlZ = 0x1A;

// Makes at least one raw byte available; false at the end of the file or on an error.
bool FillRaw(TextReader* reader)
{
    if (reader->start < reader->end)
        return true;
    if (reader->ended)
        return false;
    size_t got = 0;
    if (!reader->ops->read(reader->file, reader->raw, sizeof reader->raw, &got)) {
        reader->failed = true;
        got = 0;
    }
    reader->start = 0;
    reader->end = got;
    if (got == 0)
        reader->ended = true;
    return got != 0;
}

// The next translated byte, or -1 when the input has ended.
int NextByte(TextReader* reader)
{
    if (!FillRaw(reader))
        return -1;
    unsigned char byte = reader->raw[reader->start++];
    if (byte == kCtrlZ) {
        reader->ended = true;
        reader->start = reader->end;
        return -1;
    }
    if (byte == kCR && FillRaw(reader) && reader->raw[reader->start] == kLF) {
        ++reader->start;
        return kLF;
    }
    return byte;
}

bool DrainWriter(TextWriter* writer)
{
    if (writer->failed)
        return false;
    if (writer->used != 0 && !writer->ops->write(writer->file, writer->out, writer->used))
        writer->failed = true;
    writer->used = 0;
    return !writer->failed;
}

} // namespace

void InitTextReader(TextReader* reader, const FileOps* ops, FileHandle file)
{
    reader->ops = ops;
    reader->file = file;
    reader->start = 0;
    reader->end = 0;
    reader->ended = false;
    reader->failed = false;
}

bool ReadPiece(TextReader* reader, char* piece, size_t* length)
{
    size_t used = 0;
    while (used < kPieceLength) {
        int byte = NextByte(reader);
        if (byte < 0)
            break;
        piece[used++] = static_cast<char>(byte);
        if (byte == kLF)
            break;
    }
    *length = used;
    return used != 0 && !reader->failed;
}

void InitTextWriter(TextWriter* writer, const FileOps* ops, FileHandle file)
{
    writer->ops = ops;
    writer->file = file;
    writer->used = 0;
    writer->failed = false;
}

bool WriteText(TextWriter* writer, const char* text, size_t length)
{
    for (size_t i = 0; i < length; ++i) {
        // Room for a CR LF pair keeps a line end in one chunk.
        if (writer->used + 2 > sizeof writer->out && !DrainWriter(writer))
            return false;
        unsigned char byte = static_cast<unsigned char>(text[i]);
        if (byte == kLF)
            writer->out[writer->used++] = kCR;
        writer->out[writer->used++] = byte;
    }
    return !writer->failed;
}

bool FlushTextWriter(TextWriter* writer)
{
    return DrainWriter(writer);
}

size_t TextLength(const char* text)
{
    size_t length = 0;
    while (text[length] != '\0')
        ++length;
    return length;
}

bool Contains(const char* text, size_t length, const char* needle)
{
    size_t needleLength = TextLength(needle);
    if (needleLength > length)
        return false;
    for (size_t at = 0; at + needleLength <= length; ++at) {
        size_t i = 0;
        while (i < needleLength && text[at + i] == needle[i])
            ++i;
        if (i == needleLength)
            return true;
    }
    return false;
}

void UpperCaseAscii(char* text, size_t length)
{
    for (size_t i = 0; i < length; ++i) {
        if (text[i] >= 'a' && text[i] <= 'z')
            text[i] = static_cast<char>(text[i] - 'a' + 'A');
    }
}

char* AppendText(char* to, const char* text, size_t length)
{
    for (size_t i = 0; i < length; ++i)
        *to++ = text[i];
    return to;
}
