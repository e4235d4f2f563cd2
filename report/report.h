// The drive report: a scrolling text surface on the main window and the list of drives.
#ifndef QUILLMAR_REPORT_REPORT_H
#define QUILLMAR_REPORT_REPORT_H

#include <windows.h>

struct ReportSurface {
    HWND window;
    HDC dc; // the window's context with the system fixed font
    int lineHeight;
    int leftMargin;
};

// Gets the window's context, selects the fixed font and draws the leading blank line.
void AcquireReportSurface(ReportSurface* surface, HWND window);
void AddReportLine(const ReportSurface* surface, const char* text, int length);
void ReportDrives(const ReportSurface* surface);
void ReleaseReportSurface(const ReportSurface* surface);

#endif
