// File operations in memory for the benchmarks: system.ini from a buffer or made up while it is read, writes counted and dropped.
#ifndef QUILLMAR_BENCH_MEM_FILEOPS_H
#define QUILLMAR_BENCH_MEM_FILEOPS_H

#include <string>

#include "sysini/fileops.h"

namespace mem {

// A [386Enh] section without the entry and with no other section, so that the scan reads to the end.
void MakeText(size_t offset, char* to, size_t size);

// system.ini reads from this buffer.
void UseBuffer(const char* data, size_t size);
// system.ini is made up by MakeText as it is read: size bytes, never held whole.
void UseGenerated(size_t size);

const FileOps* Ops();
// Bytes written since the last call to UseBuffer or UseGenerated.
size_t BytesWritten();

} // namespace mem

#endif
