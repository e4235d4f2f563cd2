// The version strings quillmar's resource script gives, in the order of its string table.
#ifndef QUILLMAR_TESTS_WIN_VERSION_VALUES_H
#define QUILLMAR_TESTS_WIN_VERSION_VALUES_H

#include <string>

struct VersionString {
    const char* key;
    const char* value;
};

const VersionString kVersionStrings[] = {
    { "CompanyName", "The quillmar project" },
    { "FileDescription", "quillmar Application" },
    { "FileVersion", "1.0" },
    { "InternalName", "quillmar" },
    { "LegalCopyright", "Copyright (C) 2026 The quillmar project" },
    { "LegalTrademarks", "quillmar is a name of the quillmar project. No trademark is claimed." },
    { "OriginalFilename", "" },
    { "ProductName", "quillmar" },
    { "ProductVersion", "1.0" },
};

inline const char* VersionValue(const char* key)
{
    for (const VersionString& entry : kVersionStrings) {
        if (std::string(entry.key) == key)
            return entry.value;
    }
    return "";
}

#endif
