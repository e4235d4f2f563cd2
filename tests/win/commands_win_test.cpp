// About, Exit and the grayed commands, posted to the real quillmar.exe's main window while its outcome box is up.
#include <windows.h>

#include "about_check.h"
#include "check.h"
#include "driver.h"
#include "res/resource.h"

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
    HWND about = WaitForAbout(run.started);
    if (CHECK(about != nullptr)) {
        CHECK(IsWindow(run.main));
        CHECK_EQ(CountWindows(run.started, "#32770", nullptr), 2);
        CheckAboutBox(about, run.main);
        PostMessageA(about, WM_COMMAND, IDOK, 0);
        CHECK(WaitUntilGone(about, 60000));
    }
    CHECK(IsWindowVisible(run.box));

    PostCommand(run.main, IDM_ABOUT);
    about = WaitForAbout(run.started);
    if (CHECK(about != nullptr)) {
        HWND focus = FocusOfThread(about);
        CHECK(focus == GetDlgItem(about, IDOK));
        PostMessageA(focus, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
        PostMessageA(focus, WM_KEYUP, VK_ESCAPE, 0xC0010001);
        CHECK(WaitUntilGone(about, 60000));
    }
    CHECK(IsWindowVisible(run.box));

    PressOk(run.box);
    CHECK_EQ(WaitForExit(&run.started, 60000), 0L);
}

// Exit destroys the main window; the outcome box, owned by it, goes with it and the program ends by itself.
void ExitThroughTheProgram()
{
    Launched run;
    if (!Launch(&run))
        return;
    PostCommand(run.main, IDM_EXIT);
    CHECK(WaitUntilGone(run.main, 60000));
    CHECK(WaitUntilGone(run.box, 60000));
    CHECK_EQ(WaitForExit(&run.started, 60000), 0L);
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
