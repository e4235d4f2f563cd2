// Pictures for the Windows-side tests: screen captures, pictures drawn in memory, comparison, BMP files.
#ifndef QUILLMAR_TESTS_WIN_PICTURE_H
#define QUILLMAR_TESTS_WIN_PICTURE_H

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Top-down rows of 0x00RRGGBB pixels.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
};

// A memory DC with a 32-bit top-down DIB section selected, to draw an expected picture on.
struct Canvas {
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ previous = nullptr;
    std::uint32_t* bits = nullptr;
    int width = 0;
    int height = 0;
};

Canvas MakeCanvas(int width, int height);
void FreeCanvas(Canvas* canvas);
Picture PictureOf(const Canvas& canvas);

// What the screen shows in this rectangle (screen coordinates), read through GetDC(NULL).
Picture CaptureScreen(const RECT& area);
// Empty when both are equal, else where and how they first differ.
std::string FirstDifference(const Picture& actual, const Picture& expected);
bool SaveBmp(const std::string& path, const Picture& picture);

// Retakes the capture until it equals the expected picture or the time is up (windows reach
// the screen with a little delay); returns the last capture.
Picture CaptureUntilEqual(const RECT& area, const Picture& expected, DWORD timeoutMs);

// A picture of this size after draw has drawn on a fresh canvas.
Picture DrawnPicture(int width, int height, const std::function<void(HDC)>& draw);
// What the screen shows of the top left of a window's client area.
Picture ClientPicture(HWND window, int width, int height);

// The static control that shows a message box's icon, or null.
HWND MessageBoxIcon(HWND box);
// Whether an icon control shows this system icon: every pixel the icon covers opaquely (the same
// whether drawn on black or on white) is on the screen as drawn here.
bool ShowsStandardIcon(HWND control, LPCSTR icon);

RECT ScreenRectOfClient(HWND window);
bool Overlap(const RECT& a, const RECT& b);

#endif
