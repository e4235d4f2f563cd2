// The three outcomes of a run of quillmar.exe in the tests' prefix: prepared files, box text, files left.
#ifndef QUILLMAR_TESTS_WIN_OUTCOME_CHECK_H
#define QUILLMAR_TESTS_WIN_OUTCOME_CHECK_H

#include <string>

enum IniState { NO_INI, INI_WITH_ENTRY, INI_WITHOUT_ENTRY };

// Empties the Windows directory of system.ini and its backups, then writes the system.ini of this state.
void Prepare(IniState state);
std::string ExpectedMessage(IniState state);
// The files a run from this state leaves: untouched, or the backup system.000 and the updated system.ini.
void CheckFilesAfter(IniState state);

#endif
