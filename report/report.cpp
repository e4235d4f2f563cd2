// The drive report, drawn once onto the main window: each new line pushes the earlier ones down.
#include "report.h"

#include "report/drive_line.h"

namespace {

// Used where the font's metrics cannot be read: those of the system fixed font at 96 dpi.
const int kFallbackLineHeight = 16;
const int kFallbackLeftMargin = 8;
const int kDriveLetters = 26;

void ScrollOneLine(const ReportSurface* surface)
{
    ScrollDC(surface->dc, 0, surface->lineHeight, 0, 0, 0, 0);
}

} // namespace

void AcquireReportSurface(ReportSurface* surface, HWND window)
{
    static const char kBlankLine[] = "                                   "; // 35 spaces
    surface->window = window;
    surface->dc = GetDC(window);
    SelectObject(surface->dc, GetStockObject(SYSTEM_FIXED_FONT));
    TEXTMETRICA metrics;
    if (GetTextMetricsA(surface->dc, &metrics)) {
        surface->lineHeight = static_cast<short>(metrics.tmHeight);
        surface->leftMargin = static_cast<short>(metrics.tmAveCharWidth);
    } else {
        surface->lineHeight = kFallbackLineHeight;
        surface->leftMargin = kFallbackLeftMargin;
    }
    ScrollOneLine(surface);
    TextOutA(surface->dc, surface->leftMargin, surface->lineHeight, kBlankLine, sizeof kBlankLine - 1);
    ScrollOneLine(surface);
}

void AddReportLine(const ReportSurface* surface, const char* text, int length)
{
    ScrollOneLine(surface);
    TextOutA(surface->dc, surface->leftMargin, surface->lineHeight, text, length);
}

// Z down to A, so that the finished report reads A to Z from the top.
void ReportDrives(const ReportSurface* surface)
{
    DWORD drives = GetLogicalDrives();
    for (int index = kDriveLetters - 1; index >= 0; --index) {
        if (!(drives & (1UL << index)))
            continue;
        char root[] = "?:\\";
        root[0] = static_cast<char>('a' + index);
        char line[kDriveLineLength];
        size_t length = FormatDriveLine(index, GetDriveTypeA(root), line);
        AddReportLine(surface, line, static_cast<int>(length));
    }
}

void ReleaseReportSurface(const ReportSurface* surface)
{
    ReleaseDC(surface->window, surface->dc);
}
