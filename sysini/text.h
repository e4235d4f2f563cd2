// The text rules of system.ini: reading in line pieces, writing with CR LF line ends, and byte helpers.
#ifndef QUILLMAR_SYSINI_TEXT_H
#define QUILLMAR_SYSINI_TEXT_H

#include "fileops.h"

// A piece holds at most this many bytes; it ends after an LF, when full, or at the end of the input.
const size_t kPieceLength = 99;

const size_t kReadChunk = 1024;
const size_t kWriteChunk = 1024;

// Streams a file's bytes with CR LF turned into LF; the first Ctrl-Z ends the input.
struct TextReader {
    const FileOps* ops;
    FileHandle file;
    unsigned char raw[kReadChunk];
    size_t start;
    size_t end;
    bool ended;
    bool failed; // a read error ended the input
};

// Collects bytes and writes them out with every LF as CR LF.
struct TextWriter {
    const FileOps* ops;
    FileHandle file;
    unsigned char out[kWriteChunk];
    size_t used;
    bool failed;
};

void InitTextReader(TextReader* reader, const FileOps* ops, FileHandle file);

// Fills piece (kPieceLength bytes) with the next line piece and its length;
// false at the end of the input or on a read error (then reader->failed).
bool ReadPiece(TextReader* reader, char* piece, size_t* length);

void InitTextWriter(TextWriter* writer, const FileOps* ops, FileHandle file);
bool WriteText(TextWriter* writer, const char* text, size_t length);
bool FlushTextWriter(TextWriter* writer);

size_t TextLength(const char* text);
// Byte-for-byte, case-sensitive search; zero bytes are ordinary bytes.
bool Contains(const char* text, size_t length, const char* needle);
// Upper-cases a to z in place and leaves every other byte alone.
void UpperCaseAscii(char* text, size_t length);
// Copies text and returns the position just after it.
char* AppendText(char* to, const char* text, size_t length);

#endif
