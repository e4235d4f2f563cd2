// The run: the drive report, the system.ini update and the message box that reports it.
#include "app.h"

#include "app/outcome_text.h"
#include "report/report.h"
#include "sysini/update.h"
#include "sysini/win32_fileops.h"

namespace {

const char kOutcomeCaption[] = "Update file";

// The text is sized from the backup path, so a path of any length fits.
void ShowOutcome(HWND window, const FileOps* ops, const UpdateOutcome* outcome)
{
    size_t size = FormatOutcomeMessage(outcome, 0, 0);
    char* text = static_cast<char*>(ops->allocate(size));
    if (text)
        FormatOutcomeMessage(outcome, text, size);
    MessageBoxA(window, text ? text : "", kOutcomeCaption, MB_OK | MB_ICONINFORMATION);
    ops->release(text);
}

} // namespace

void RunUpdateJob(HWND window)
{
    ReportSurface surface;
    AcquireReportSurface(&surface, window);
    ReportDrives(&surface);
    const FileOps* ops = Win32FileOps();
    UpdateOutcome outcome = UpdateSystemIni(ops);
    ShowOutcome(window, ops, &outcome);
    ops->release(outcome.backupPath);
    ReleaseReportSurface(&surface);
}
