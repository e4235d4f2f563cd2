// The About box in this process, opened and closed many times: its font, its placement, no fonts left behind.
#include <windows.h>

#include "app/app.h"
#include "check.h"
#include "res/resource.h"
#include "version_values.h"

// The instance whose version block and module path the About box reads: this program, built with quillmar's resources.
HINSTANCE g_instance;

namespace {

const char kOwnerClass[] = "about_font_owner";

struct Seen {
    bool open;
    HFONT font;
    HFONT buttonFont;
    bool allStaticsUseIt;
    LOGFONTA face;
    bool faceRead;
    RECT box;
    std::string texts[5];
};

Seen g_seen;
bool g_closeWithEscape;

// Runs as each About box returns from WM_INITDIALOG: looks at it and asks it to close before it is ever
// shown (a shown window costs a two-second wait for a window manager that Xvfb does not have).
LRESULT CALLBACK LookAndClose(int code, WPARAM wParam, LPARAM lParam)
{
    const CWPRETSTRUCT* call = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    if (code == HC_ACTION && call->message == WM_INITDIALOG) {
        HWND about = call->hwnd;
        g_seen.open = true;
        g_seen.font = reinterpret_cast<HFONT>(SendDlgItemMessageA(about, IDC_FILEDESCRIPTION, WM_GETFONT, 0, 0));
        g_seen.buttonFont = reinterpret_cast<HFONT>(SendDlgItemMessageA(about, IDOK, WM_GETFONT, 0, 0));
        g_seen.faceRead = GetObjectType(g_seen.font) == OBJ_FONT
            && GetObjectA(g_seen.font, sizeof g_seen.face, &g_seen.face) == sizeof g_seen.face;
        GetWindowRect(about, &g_seen.box);
        g_seen.allStaticsUseIt = true;
        for (int id = IDC_FILEDESCRIPTION; id <= IDC_LEGALTRADEMARKS; ++id) {
            HFONT font = reinterpret_cast<HFONT>(SendDlgItemMessageA(about, id, WM_GETFONT, 0, 0));
            g_seen.allStaticsUseIt = g_seen.allStaticsUseIt && font == g_seen.font;
            char text[256] = "";
            GetDlgItemTextA(about, id, text, sizeof text);
            g_seen.texts[id - IDC_FILEDESCRIPTION] = text;
        }
        // Escape goes to the OK button, where the focus will be; the dialog's IsDialogMessage makes it IDCANCEL.
        if (g_closeWithEscape) {
            HWND button = GetDlgItem(about, IDOK);
            PostMessageA(button, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
            PostMessageA(button, WM_KEYUP, VK_ESCAPE, 0xC0010001);
        } else {
            PostMessageA(about, WM_COMMAND, IDOK, 0);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// A box that ignored its close request would otherwise hold the test forever; its result then shows it.
void CALLBACK GiveUp(HWND, UINT, UINT_PTR, DWORD)
{
    HWND about = FindWindowA("#32770", "About quillmar");
    if (about)
        EndDialog(about, 99);
}

INT_PTR OpenAbout(HWND owner, bool closeWithEscape)
{
    g_seen = Seen();
    g_closeWithEscape = closeWithEscape;
    HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROCRET, LookAndClose, nullptr, GetCurrentThreadId());
    UINT_PTR timer = SetTimer(nullptr, 0, 5000, GiveUp);
    INT_PTR result = DialogBoxParamA(g_instance, MAKEINTRESOURCEA(IDD_ABOUTBOX), owner, AboutBoxProc, 0);
    KillTimer(nullptr, timer);
    UnhookWindowsHookEx(hook);
    return result;
}

// Each opening creates the font the five statics show; each closing, by OK or by Escape, deletes it.
void FontLivesOnlyWhileTheBoxIsOpen(HWND owner)
{
    const char* keys[5] = { "FileDescription", "ProductVersion", "LegalCopyright", "CompanyName", "LegalTrademarks" };
    for (int round = 0; round < 50; ++round) {
        bool escape = round % 2 == 1;
        INT_PTR result = OpenAbout(owner, escape);
        std::string where = escape ? "closed with Escape, round " : "closed with OK, round ";
        where += std::to_string(round);
        if (!CHECK_MSG(g_seen.open, where))
            return;
        CHECK_EQ(result, static_cast<INT_PTR>(1));
        CHECK_MSG(g_seen.faceRead, where);
        CHECK_MSG(g_seen.allStaticsUseIt, where);
        CHECK_MSG(g_seen.buttonFont != g_seen.font, where);
        CHECK_MSG(GetObjectType(g_seen.font) == 0, where);
        if (round == 0) {
            CHECK_EQ(g_seen.face.lfHeight, 12L);
            CHECK_EQ(g_seen.face.lfWidth, 0L);
            CHECK_EQ(g_seen.face.lfWeight, static_cast<LONG>(FW_DONTCARE));
            CHECK_EQ(g_seen.face.lfItalic | g_seen.face.lfUnderline | g_seen.face.lfStrikeOut, 0);
            CHECK_EQ(g_seen.face.lfCharSet, ANSI_CHARSET);
            CHECK_EQ(g_seen.face.lfPitchAndFamily, VARIABLE_PITCH | FF_SWISS);
            CHECK_EQ(std::string(g_seen.face.lfFaceName), std::string(""));
            for (int i = 0; i < 5; ++i)
                CHECK_EQ(g_seen.texts[i], std::string(VersionValue(keys[i])));
        }
    }
}

// Centred over the owner, held at 0 on the near edges and pulled back from the far edges of the screen.
void PlacedOverItsOwner(HWND owner)
{
    HDC screen = GetDC(nullptr);
    int width = GetDeviceCaps(screen, HORZRES);
    int height = GetDeviceCaps(screen, VERTRES);
    ReleaseDC(nullptr, screen);

    OpenAbout(owner, false);
    int w = g_seen.box.right - g_seen.box.left;
    int h = g_seen.box.bottom - g_seen.box.top;
    struct Case {
        const char* name;
        RECT owner;
        POINT expected;
    };
    const Case cases[] = {
        { "centred", { 100, 80, 500, 480 }, { 100 + (400 - w) / 2, 80 + (400 - h) / 2 } },
        { "past right and bottom", { width - 60, height - 40, width + 140, height + 60 }, { width - w, height - h } },
        { "past left and top", { -300, -200, -100, -100 }, { 0, 0 } },
        { "owner partly off the left", { -10, -10, width - 10, height - 10 }, { (width - w) / 2 - 10, (height - h) / 2 - 10 } },
    };
    for (const Case& c : cases) {
        SetWindowPos(owner, nullptr, c.owner.left, c.owner.top, c.owner.right - c.owner.left,
            c.owner.bottom - c.owner.top, SWP_NOZORDER | SWP_NOACTIVATE);
        RECT actual;
        GetWindowRect(owner, &actual);
        if (!CHECK_MSG(EqualRect(&actual, &c.owner), c.name))
            continue;
        OpenAbout(owner, false);
        if (CHECK_MSG(g_seen.open, c.name)) {
            CHECK_EQ(g_seen.box.left, c.expected.x);
            CHECK_EQ(g_seen.box.top, c.expected.y);
            CHECK_EQ(g_seen.box.right - g_seen.box.left, w);
        }
    }
}

} // namespace

int main()
{
    g_instance = GetModuleHandleA(nullptr);
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = g_instance;
    windowClass.lpszClassName = kOwnerClass;
    RegisterClassA(&windowClass);
    HWND owner = CreateWindowExA(0, kOwnerClass, "owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
        100, 80, 400, 400, nullptr, nullptr, g_instance, nullptr);
    if (!CHECK(owner != nullptr))
        return CheckVerdict("about_font_win_test");
    FontLivesOnlyWhileTheBoxIsOpen(owner);
    PlacedOverItsOwner(owner);
    DestroyWindow(owner);
    return CheckVerdict("about_font_win_test");
}
