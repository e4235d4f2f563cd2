// The main window's commands: Exit, the three Help commands and About.
#include "app.h"

#include "res/resource.h"

namespace {

const char kHelpFile[] = "quillmar.HLP";

LRESULT OnExit(HWND window)
{
    DestroyWindow(window);
    return 0;
}

LRESULT OnHelp(HWND window, const char* helpFile, UINT command, ULONG_PTR data)
{
    if (!WinHelpA(window, helpFile, command, data))
        MessageBoxA(GetFocus(), "Unable to activate help", "quillmar", MB_OK | MB_ICONHAND | MB_SYSTEMMODAL);
    return 0;
}

LRESULT OnAbout(HWND window)
{
    DialogBoxParamA(g_instance, MAKEINTRESOURCEA(IDD_ABOUTBOX), window, AboutBoxProc, 0);
    return 0;
}

} // namespace

LRESULT OnCommand(HWND window, WPARAM wParam, LPARAM lParam)
{
    switch (LOWORD(wParam)) {
    case IDM_EXIT:
        return OnExit(window);
    case IDM_HELPCONTENTS:
        return OnHelp(window, kHelpFile, HELP_KEY, reinterpret_cast<ULONG_PTR>("CONTENTS"));
    case IDM_HELPSEARCH:
        return OnHelp(window, kHelpFile, HELP_PARTIALKEY, reinterpret_cast<ULONG_PTR>(""));
    case IDM_HELPHELP:
        return OnHelp(window, 0, HELP_HELPONHELP, 0);
    case IDM_ABOUT:
        return OnAbout(window);
    default:
        return DefWindowProcA(window, WM_COMMAND, wParam, lParam);
    }
}
