// The About box of a running quillmar.exe as the user sees it: owner, place, texts, font and icon.
#include "about_check.h"

#include "app/center.h"
#include "check.h"
#include "driver.h"
#include "picture.h"
#include "res/resource.h"
#include "version_values.h"

namespace {

struct StaticText {
    int id;
    const char* key;
};

const StaticText kStatics[] = {
    { IDC_FILEDESCRIPTION, "FileDescription" },
    { IDC_PRODUCTVERSION, "ProductVersion" },
    { IDC_LEGALCOPYRIGHT, "LegalCopyright" },
    { IDC_COMPANYNAME, "CompanyName" },
    { IDC_LEGALTRADEMARKS, "LegalTrademarks" },
};

// A left-aligned static's text as the static control draws it, in the given font.
Picture DrawnAsStatic(const std::string& text, SIZE size, HFONT font)
{
    return DrawnPicture(size.cx, size.cy, [&](HDC memory) {
        RECT area = { 0, 0, size.cx, size.cy };
        FillRect(memory, &area, GetSysColorBrush(COLOR_3DFACE));
        SetBkColor(memory, GetSysColor(COLOR_3DFACE));
        SetTextColor(memory, GetSysColor(COLOR_WINDOWTEXT));
        HGDIOBJ old = SelectObject(memory, font);
        DrawTextA(memory, text.c_str(), -1, &area, DT_LEFT | DT_EXPANDTABS | DT_WORDBREAK);
        SelectObject(memory, old);
    });
}

// WM_GETFONT cannot cross processes under Wine, so the statics' font is judged by their pixels:
// they must look exactly like the text drawn here in a 12-high variable-pitch Swiss ANSI font.
void CheckStaticsFont(HWND about)
{
    HFONT expected = CreateFontA(12, 0, 0, 0, FW_DONTCARE, FALSE, FALSE, FALSE, ANSI_CHARSET,
        OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, VARIABLE_PITCH | FF_SWISS, "");
    HFONT system = static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
    for (const StaticText& text : kStatics) {
        HWND control = GetDlgItem(about, text.id);
        RECT client;
        GetClientRect(control, &client);
        SIZE size = { client.right, client.bottom };
        std::string value = VersionValue(text.key);
        Picture want = DrawnAsStatic(value, size, expected);
        CHECK_MSG(want.pixels != DrawnAsStatic(value, size, system).pixels, text.key);
        bool same = false;
        for (DWORD begin = GetTickCount(); !same && GetTickCount() - begin < 15000; Sleep(50))
            same = ClientPicture(control, size.cx, size.cy).pixels == want.pixels;
        CHECK_MSG(same, text.key);
    }
    DeleteObject(expected);
}

} // namespace

void CheckAboutBox(HWND about, HWND main)
{
    CHECK_EQ(ClassOf(about), std::string("#32770"));
    CHECK(GetWindow(about, GW_OWNER) == main);

    RECT box;
    RECT owner;
    GetWindowRect(about, &box);
    GetWindowRect(main, &owner);
    HDC screen = GetDC(nullptr);
    int screenWidth = GetDeviceCaps(screen, HORZRES);
    int screenHeight = GetDeviceCaps(screen, VERTRES);
    ReleaseDC(nullptr, screen);
    CHECK_EQ(box.left, CenteredPosition(owner.left, owner.right - owner.left, box.right - box.left, screenWidth));
    CHECK_EQ(box.top, CenteredPosition(owner.top, owner.bottom - owner.top, box.bottom - box.top, screenHeight));

    for (const StaticText& text : kStatics)
        CHECK_EQ(WindowText(GetDlgItem(about, text.id)), std::string(VersionValue(text.key)));
    CheckStaticsFont(about);
    CHECK(SendMessageA(GetDlgItem(about, 0xFFFF), STM_GETICON, 0, 0) != 0);
}

HWND WaitForAbout(const Started& started)
{
    return WaitForWindow(started, "#32770", "About quillmar", 60000);
}
