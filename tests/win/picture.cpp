// Pictures for the Windows-side tests: screen captures, pictures drawn in memory, comparison, BMP files.
#include "picture.h"

#include <cstdio>

Canvas MakeCanvas(int width, int height)
{
    Canvas canvas;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    HDC screen = GetDC(nullptr);
    canvas.dc = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    void* bits = nullptr;
    canvas.bitmap = CreateDIBSection(canvas.dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    canvas.bits = static_cast<std::uint32_t*>(bits);
    canvas.previous = SelectObject(canvas.dc, canvas.bitmap);
    canvas.width = width;
    canvas.height = height;
    return canvas;
}

void FreeCanvas(Canvas* canvas)
{
    SelectObject(canvas->dc, canvas->previous);
    DeleteObject(canvas->bitmap);
    DeleteDC(canvas->dc);
    *canvas = Canvas();
}

Picture PictureOf(const Canvas& canvas)
{
    GdiFlush();
    Picture picture;
    picture.width = canvas.width;
    picture.height = canvas.height;
    if (!canvas.bits)
        return picture;
    picture.pixels.assign(canvas.bits, canvas.bits + static_cast<size_t>(canvas.width) * canvas.height);
    for (std::uint32_t& pixel : picture.pixels)
        pixel &= 0x00FFFFFF;
    return picture;
}

Picture CaptureScreen(const RECT& area)
{
    int width = area.right - area.left;
    int height = area.bottom - area.top;
    Canvas canvas = MakeCanvas(width, height);
    HDC screen = GetDC(nullptr);
    BitBlt(canvas.dc, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
    ReleaseDC(nullptr, screen);
    Picture picture = PictureOf(canvas);
    FreeCanvas(&canvas);
    return picture;
}

std::string FirstDifference(const Picture& actual, const Picture& expected)
{
    char text[160];
    if (actual.width != expected.width || actual.height != expected.height || actual.pixels.size() != expected.pixels.size()) {
        std::snprintf(text, sizeof text, "size %dx%d, expected %dx%d", actual.width, actual.height, expected.width, expected.height);
        return text;
    }
    int differing = 0;
    size_t first = 0;
    for (size_t i = 0; i < actual.pixels.size(); ++i) {
        if (actual.pixels[i] != expected.pixels[i] && differing++ == 0)
            first = i;
    }
    if (differing == 0)
        return "";
    std::snprintf(text, sizeof text, "%d pixels differ, the first at x=%d y=%d: #%06X, expected #%06X", differing,
        static_cast<int>(first % actual.width), static_cast<int>(first / actual.width),
        static_cast<unsigned>(actual.pixels[first]), static_cast<unsigned>(expected.pixels[first]));
    return text;
}

bool SaveBmp(const std::string& path, const Picture& picture)
{
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof header;
    header.biWidth = picture.width;
    header.biHeight = -picture.height;
    header.biPlanes = 1;
    header.biBitCount = 32;
    header.biCompression = BI_RGB;
    DWORD dataSize = static_cast<DWORD>(picture.pixels.size() * sizeof(std::uint32_t));
    BITMAPFILEHEADER fileHeader = {};
    fileHeader.bfType = 0x4D42; // "BM"
    fileHeader.bfOffBits = sizeof fileHeader + sizeof header;
    fileHeader.bfSize = fileHeader.bfOffBits + dataSize;

    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD done = 0;
    bool ok = WriteFile(file, &fileHeader, sizeof fileHeader, &done, nullptr)
        && WriteFile(file, &header, sizeof header, &done, nullptr)
        && WriteFile(file, picture.pixels.data(), dataSize, &done, nullptr) && done == dataSize;
    return CloseHandle(file) && ok;
}

Picture CaptureUntilEqual(const RECT& area, const Picture& expected, DWORD timeoutMs)
{
    DWORD begin = GetTickCount();
    for (;;) {
        Picture actual = CaptureScreen(area);
        if (FirstDifference(actual, expected).empty() || GetTickCount() - begin > timeoutMs)
            return actual;
        Sleep(100);
    }
}

RECT ScreenRectOfClient(HWND window)
{
    RECT client = {};
    GetClientRect(window, &client);
    POINT origin = { 0, 0 };
    ClientToScreen(window, &origin);
    OffsetRect(&client, origin.x, origin.y);
    return client;
}

bool Overlap(const RECT& a, const RECT& b)
{
    RECT common;
    return IntersectRect(&common, &a, &b) != FALSE;
}

Picture DrawnPicture(int width, int height, const std::function<void(HDC)>& draw)
{
    Canvas canvas = MakeCanvas(width, height);
    draw(canvas.dc);
    Picture picture = PictureOf(canvas);
    FreeCanvas(&canvas);
    return picture;
}

Picture ClientPicture(HWND window, int width, int height)
{
    POINT origin = { 0, 0 };
    ClientToScreen(window, &origin);
    RECT area = { origin.x, origin.y, origin.x + width, origin.y + height };
    return CaptureScreen(area);
}

namespace {

BOOL CALLBACK MatchIconControl(HWND child, LPARAM lParam)
{
    char name[16] = "";
    GetClassNameA(child, name, sizeof name);
    if (lstrcmpiA(name, "Static") == 0 && (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON
        && IsWindowVisible(child)) {
        *reinterpret_cast<HWND*>(lParam) = child;
        return FALSE;
    }
    return TRUE;
}

} // namespace

HWND MessageBoxIcon(HWND box)
{
    HWND icon = nullptr;
    EnumChildWindows(box, MatchIconControl, reinterpret_cast<LPARAM>(&icon));
    return icon;
}

bool ShowsStandardIcon(HWND control, LPCSTR icon)
{
    RECT client;
    GetClientRect(control, &client);
    HICON handle = LoadIconA(nullptr, icon);
    auto drawnOn = [&](COLORREF background) {
        return DrawnPicture(client.right, client.bottom, [&](HDC dc) {
            HBRUSH brush = CreateSolidBrush(background);
            FillRect(dc, &client, brush);
            DeleteObject(brush);
            DrawIconEx(dc, 0, 0, handle, client.right, client.bottom, 0, nullptr, DI_NORMAL);
        });
    };
    Picture onBlack = drawnOn(RGB(0, 0, 0));
    Picture onWhite = drawnOn(RGB(255, 255, 255));
    Picture shown = ClientPicture(control, client.right, client.bottom);
    if (shown.pixels.empty() || shown.pixels.size() != onBlack.pixels.size() || shown.pixels.size() != onWhite.pixels.size())
        return false;
    size_t opaque = 0;
    for (size_t i = 0; i < shown.pixels.size(); ++i) {
        if (onBlack.pixels[i] != onWhite.pixels[i])
            continue;
        ++opaque;
        if (shown.pixels[i] != onBlack.pixels[i])
            return false;
    }
    return opaque > shown.pixels.size() / 4;
}
