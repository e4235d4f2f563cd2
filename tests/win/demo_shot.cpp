// For make run without a display: starts quillmar.exe, photographs its window with the outcome box,
// prints the box's text and presses OK.
#include <windows.h>

#include <cstdio>

#include "driver.h"
#include "picture.h"

namespace {

const DWORD kBoxTimeoutMs = 120000;
const DWORD kExitTimeoutMs = 30000;

RECT OnScreen(RECT area)
{
    RECT screen = { 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN) };
    RECT visible;
    IntersectRect(&visible, &area, &screen);
    return visible;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::printf("usage: demo_shot quillmar.exe picture.bmp\n");
        return 2;
    }
    Started started;
    if (!StartProgram(argv[1], "", -1, &started)) {
        std::printf("cannot start %s\n", argv[1]);
        return 1;
    }
    HWND box = WaitForOutcomeBox(started, kBoxTimeoutMs);
    if (!box) {
        std::printf("no outcome box appeared\n");
        WaitForExit(&started, 0);
        return 1;
    }
    // Let the window and the box reach the screen before the picture is taken.
    Sleep(500);
    RECT area;
    GetWindowRect(box, &area);
    if (HWND main = GetWindow(box, GW_OWNER)) {
        RECT mainRect;
        GetWindowRect(main, &mainRect);
        UnionRect(&area, &area, &mainRect);
    }
    bool saved = SaveBmp(DosPath(argv[2]), CaptureScreen(OnScreen(area)));
    if (!saved)
        std::printf("could not save the picture as %s\n", argv[2]);
    std::printf("The box \"%s\" says: %s\n", WindowText(box).c_str(), BoxMessage(box).c_str());
    PressOk(box);
    long code = WaitForExit(&started, kExitTimeoutMs);
    std::printf("OK pressed; quillmar ended with exit code %ld\n", code);
    return saved && code == 0 ? 0 : 1;
}
