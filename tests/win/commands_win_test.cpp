// About, Exit and the grayed commands, posted to the real quillmar.exe's main window while its outcome box is up.
#include <windows.h>

#include "app/center.h"
#include "check.h"
#include "driver.h"
#include "picture.h"
#include "res/resource.h"
#include "version_values.h"

namespace {

std::string g_exe;

// With the entry already there the program changes nothing and shows its outcome box.
const char kIniWithEntry[] = "[386Enh]\r\nRemovableIDE = TRUE\r\n";

bool Launch(Launched* run)
{
    return CHECK(LaunchToOutcomeBox(g_exe, run));
}

void PostCommand(HWND window, WORD id)
{
    PostMessageA(window, WM_COMMAND, id, 0);
}

HWND WaitForAbout(const Launched& run)
{
    return WaitForWindow(run.started, "#32770", "About quillmar", 10000);
}

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
        for (DWORD begin = GetTickCount(); !same && GetTickCount() - begin < 5000; Sleep(50))
            same = ClientPicture(control, size.cx, size.cy).pixels == want.pixels;
        CHECK_MSG(same, text.key);
    }
    DeleteObject(expected);
}

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

// The grayed commands go to DefWindowProc and do nothing; About opens the box, OK and Escape close it.
void AboutThroughTheProgram()
{
    Launched run;
    if (!Launch(&run))
        return;
    const WORD grayed[] = { IDM_NEW, IDM_OPEN, IDM_SAVE, IDM_SAVEAS, IDM_PRINT, IDM_PRINTSETUP,
        IDM_UNDO, IDM_CUT, IDM_COPY, IDM_PASTE, IDM_PASTELINK, IDM_LINKS };
    for (WORD id : grayed)
        PostCommand(run.main, id);

    PostCommand(run.main, IDM_ABOUT);
    HWND about = WaitForAbout(run);
    if (CHECK(about != nullptr)) {
        CHECK(IsWindow(run.main));
        CHECK_EQ(CountWindows(run.started, "#32770", nullptr), 2);
        CheckAboutBox(about, run.main);
        PostMessageA(about, WM_COMMAND, IDOK, 0);
        CHECK(WaitUntilGone(about, 10000));
    }
    CHECK(IsWindowVisible(run.box));

    PostCommand(run.main, IDM_ABOUT);
    about = WaitForAbout(run);
    if (CHECK(about != nullptr)) {
        HWND focus = FocusOfThread(about);
        CHECK(focus == GetDlgItem(about, IDOK));
        PostMessageA(focus, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
        PostMessageA(focus, WM_KEYUP, VK_ESCAPE, 0xC0010001);
        CHECK(WaitUntilGone(about, 10000));
    }
    CHECK(IsWindowVisible(run.box));

    PressOk(run.box);
    CHECK_EQ(WaitForExit(&run.started, 20000), 0L);
}

// Exit destroys the main window; the outcome box, owned by it, goes with it and the program ends by itself.
void ExitThroughTheProgram()
{
    Launched run;
    if (!Launch(&run))
        return;
    PostCommand(run.main, IDM_EXIT);
    CHECK(WaitUntilGone(run.main, 10000));
    CHECK(WaitUntilGone(run.box, 10000));
    CHECK_EQ(WaitForExit(&run.started, 20000), 0L);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::printf("usage: commands_win_test quillmar.exe\n");
        return 2;
    }
    g_exe = argv[1];
    std::string saved = ReplaceIni(kIniWithEntry);
    AboutThroughTheProgram();
    ExitThroughTheProgram();
    CHECK_EQ(ReadWholeFile(IniPath()), std::string(kIniWithEntry));
    RestoreIni(saved);
    return CheckVerdict("commands_win_test");
}
