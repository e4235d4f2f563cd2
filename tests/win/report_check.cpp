// The drive report of the tests' prefix as it must look, compared with what the program drew on the screen.
#include "report_check.h"

#include <cstdio>

#include "check.h"
#include "driver.h"
#include "picture.h"

namespace {

// The drives of the tests' prefix (tools/wine-prefix.sh) and the line each one gets, from the top.
const struct {
    char letter;
    const char* line;
} kDrives[] = {
    { 'A', "The drive A: is removeable. " },
    { 'C', "The drive C: is fixed.      " },
    { 'D', "The drive D: is CD-ROM.     " },
    { 'E', "The drive E: is remote.     " },
    { 'F', "The drive F: is RAM disk.   " },
    { 'G', "The drive G: is   " },
    { 'Z', "The drive Z: is fixed.      " },
};
const int kDriveCount = sizeof kDrives / sizeof kDrives[0];
const char kBlankLine[] = "                                   "; // 35 spaces

// Drawn here from the description of the report, not by the program's code: an empty top row,
// the drive lines, the row the second scroll uncovered and the row of 35 spaces.
Picture ExpectedReport(int width, int* rowHeight)
{
    Canvas probe = MakeCanvas(1, 1);
    SelectObject(probe.dc, GetStockObject(SYSTEM_FIXED_FONT));
    TEXTMETRICA metrics;
    GetTextMetricsA(probe.dc, &metrics);
    FreeCanvas(&probe);
    int height = metrics.tmHeight;
    int margin = metrics.tmAveCharWidth;
    *rowHeight = height;

    Canvas canvas = MakeCanvas(width, (kDriveCount + 3) * height);
    RECT all = { 0, 0, canvas.width, canvas.height };
    FillRect(canvas.dc, &all, GetSysColorBrush(COLOR_WINDOW));
    SelectObject(canvas.dc, GetStockObject(SYSTEM_FIXED_FONT));
    for (int i = 0; i < kDriveCount; ++i)
        TextOutA(canvas.dc, margin, (i + 1) * height, kDrives[i].line, lstrlenA(kDrives[i].line));
    TextOutA(canvas.dc, margin, (kDriveCount + 2) * height, kBlankLine, sizeof kBlankLine - 1);
    Picture picture = PictureOf(canvas);
    FreeCanvas(&canvas);
    return picture;
}

DWORD ExpectedDriveMask()
{
    DWORD mask = 0;
    for (const auto& drive : kDrives)
        mask |= 1UL << (drive.letter - 'A');
    return mask;
}

} // namespace

std::string Folder(const std::string& path)
{
    size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? "." : path.substr(0, slash);
}

void CheckReport(HWND box, const std::string& saveFolder)
{
    HWND main = GetWindow(box, GW_OWNER);
    if (!CHECK_MSG(main != nullptr && ClassOf(main) == "quillmar", "the outcome box has no quillmar main window as owner"))
        return;
    RECT client = ScreenRectOfClient(main);
    int rowHeight = 0;
    Picture expected = ExpectedReport(client.right - client.left, &rowHeight);
    RECT region = { client.left, client.top, client.right, client.top + expected.height };
    if (!CHECK_MSG(region.bottom <= client.bottom, "the main window is too low to hold the report"))
        return;
    RECT boxRect;
    GetWindowRect(box, &boxRect);
    if (!CHECK_MSG(!Overlap(region, boxRect), "the outcome box covers the report; the comparison would be meaningless"))
        return;

    Picture actual = CaptureUntilEqual(region, expected, 3000);
    std::string difference = FirstDifference(actual, expected);
    if (!CHECK_MSG(difference.empty(), "the report differs from the expected picture: " + difference)) {
        std::string actualPath = saveFolder + "/report_test-actual.bmp";
        std::string expectedPath = saveFolder + "/report_test-expected.bmp";
        if (SaveBmp(DosPath(actualPath), actual) && SaveBmp(DosPath(expectedPath), expected))
            std::printf("pictures saved: %s (screen) and %s (expected)\n", actualPath.c_str(), expectedPath.c_str());
    }
    std::printf("report: %d rows of %d pixels compared over %d pixels\n", kDriveCount + 3, rowHeight, expected.width);
}

bool PrefixHasTheTestDrives()
{
    return CHECK_MSG((GetLogicalDrives() & 0x03FFFFFF) == ExpectedDriveMask(),
        "the prefix does not have drives A C D E F G Z; make it with tools/wine-prefix.sh");
}
