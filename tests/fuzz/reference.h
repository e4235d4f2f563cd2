// A whole-buffer model of system.ini's text rules, kept simple on purpose to check the streaming code against.
#ifndef QUILLMAR_TESTS_FUZZ_REFERENCE_H
#define QUILLMAR_TESTS_FUZZ_REFERENCE_H

#include <string>
#include <vector>

#include "sysini/update.h"

namespace reference {

// CR LF becomes LF; the first Ctrl-Z and everything after it are dropped.
std::string Translate(const std::string& raw);
// Cuts translated text after every LF and after every 99 bytes of a line.
std::vector<std::string> Pieces(const std::string& text);
ScanResult Scan(const std::string& raw);
// The new file's bytes: the entry on a line of its own after every line holding 386Enh, CR LF line ends.
std::string Rewrite(const std::string& raw);

} // namespace reference

#endif
