// WinMain, the main window's class, creation and procedure, and the message loop.
#include "app.h"

#include "res/resource.h"

HINSTANCE g_instance;

namespace {

const char kClassName[] = "quillmar";
const char kCaption[] = "quillmar Application";

LRESULT OnDestroy()
{
    PostQuitMessage(0);
    return 0;
}

} // namespace

bool RegisterMainClass(HINSTANCE instance)
{
    WNDCLASSA windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = MainWindowProc;
    windowClass.cbClsExtra = 0;
    windowClass.cbWndExtra = 0;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_APPICON));
    windowClass.hCursor = LoadCursorA(0, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszMenuName = MAKEINTRESOURCEA(IDR_MAINMENU);
    windowClass.lpszClassName = kClassName;
    return RegisterClassA(&windowClass) != 0;
}

// The whole job runs here, before the message loop; the loop then only drains the queue.
bool CreateMainWindow(HINSTANCE instance, int showCommand)
{
    g_instance = instance;
    HWND window = CreateWindowExA(0, kClassName, kCaption, WS_OVERLAPPEDWINDOW,
        5, 5, CW_USEDEFAULT, 0, 0, 0, instance, 0);
    if (!window)
        return false;
    ShowWindow(window, showCommand);
    UpdateWindow(window);
    RunUpdateJob(window);
    PostQuitMessage(0);
    return true;
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_DESTROY:
        return OnDestroy();
    case WM_COMMAND:
        return OnCommand(window, wParam, lParam);
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR, int showCommand)
{
    if (!previous && !RegisterMainClass(instance))
        return 0;
    if (!CreateMainWindow(instance, showCommand))
        return 0;
    HACCEL accelerators = LoadAcceleratorsA(instance, MAKEINTRESOURCEA(IDR_MAINMENU));
    MSG message;
    message.wParam = 0;
    while (GetMessageA(&message, 0, 0, 0)) {
        if (!TranslateAcceleratorA(message.hwnd, accelerators, &message)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    return static_cast<int>(message.wParam);
}
