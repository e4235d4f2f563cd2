// The About box: the program's own version texts in a small font, centred over its owner.
#include "app.h"

#include "app/center.h"
#include "res/resource.h"

namespace {

const char kKeyPrefix[] = "\\StringFileInfo\\040904e4\\";
const int kTextSize = 256;

// The five statics' font, from WM_INITDIALOG until the box closes.
HFONT g_aboutFont;

// The program's own path, in a buffer that grows until the whole path fits.
char* NewModulePath()
{
    DWORD capacity = MAX_PATH;
    for (int attempt = 0; attempt < 4; ++attempt, capacity *= 4) {
        char* path = static_cast<char*>(HeapAlloc(GetProcessHeap(), 0, capacity));
        if (!path)
            return 0;
        DWORD length = GetModuleFileNameA(g_instance, path, capacity);
        if (length != 0 && length + 1 < capacity)
            return path;
        HeapFree(GetProcessHeap(), 0, path);
        if (length == 0)
            return 0;
    }
    return 0;
}

// Each static holds the name of a version string; it is given that string's value.
void ShowVersionValues(HWND dialog, const void* info)
{
    char key[sizeof kKeyPrefix - 1 + kTextSize];
    lstrcpyA(key, kKeyPrefix);
    char* name = key + (sizeof kKeyPrefix - 1);
    for (int id = IDC_FILEDESCRIPTION; id <= IDC_LEGALTRADEMARKS; ++id) {
        GetDlgItemTextA(dialog, id, name, kTextSize);
        void* value = 0;
        UINT length = 0;
        if (VerQueryValueA(const_cast<void*>(info), key, &value, &length) && length != 0 && value) {
            char text[kTextSize];
            lstrcpynA(text, static_cast<const char*>(value), kTextSize);
            SetDlgItemTextA(dialog, id, text);
        }
    }
}

void LoadVersionTexts(HWND dialog)
{
    char* module = NewModulePath();
    if (!module)
        return;
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeA(module, &handle);
    HGLOBAL memory = size != 0 ? GlobalAlloc(GMEM_MOVEABLE, size) : 0;
    if (memory) {
        void* info = GlobalLock(memory);
        if (info) {
            if (GetFileVersionInfoA(module, handle, size, info))
                ShowVersionValues(dialog, info);
            GlobalUnlock(memory);
        }
        GlobalFree(memory);
    }
    HeapFree(GetProcessHeap(), 0, module);
}

void ApplyAboutFont(HWND dialog)
{
    g_aboutFont = CreateFontA(12, 0, 0, 0, FW_DONTCARE, FALSE, FALSE, FALSE, ANSI_CHARSET,
        OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, VARIABLE_PITCH | FF_SWISS, "");
    for (int id = IDC_FILEDESCRIPTION; id <= IDC_LEGALTRADEMARKS; ++id)
        SendDlgItemMessageA(dialog, id, WM_SETFONT, reinterpret_cast<WPARAM>(g_aboutFont), TRUE);
}

void ReleaseAboutFont()
{
    if (g_aboutFont)
        DeleteObject(g_aboutFont);
    g_aboutFont = 0;
}

INT_PTR OnInitDialog(HWND dialog)
{
    CenterOverOwner(dialog, GetWindow(dialog, GW_OWNER));
    LoadVersionTexts(dialog);
    ApplyAboutFont(dialog);
    return TRUE;
}

INT_PTR OnAboutCommand(HWND dialog, WPARAM wParam)
{
    WORD id = LOWORD(wParam);
    if (id != IDOK && id != IDCANCEL)
        return FALSE;
    EndDialog(dialog, 1);
    ReleaseAboutFont();
    return TRUE;
}

// The box can also go without OK or Cancel, with its owner; the font goes with it.
INT_PTR OnAboutDestroy()
{
    ReleaseAboutFont();
    return FALSE;
}

} // namespace

void CenterOverOwner(HWND window, HWND owner)
{
    RECT own = { 0, 0, 0, 0 };
    RECT ownerRect = { 0, 0, 0, 0 };
    GetWindowRect(window, &own);
    GetWindowRect(owner, &ownerRect);
    HDC dc = GetDC(window);
    int screenWidth = GetDeviceCaps(dc, HORZRES);
    int screenHeight = GetDeviceCaps(dc, VERTRES);
    ReleaseDC(window, dc);
    int x = CenteredPosition(ownerRect.left, ownerRect.right - ownerRect.left, own.right - own.left, screenWidth);
    int y = CenteredPosition(ownerRect.top, ownerRect.bottom - ownerRect.top, own.bottom - own.top, screenHeight);
    SetWindowPos(window, 0, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

INT_PTR CALLBACK AboutBoxProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog(dialog);
    case WM_COMMAND:
        return OnAboutCommand(dialog, wParam);
    case WM_DESTROY:
        return OnAboutDestroy();
    default:
        return FALSE;
    }
}
