// The least a Win32 program can do that ends in the same box: show a message box and exit.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    MessageBoxA(0, "Baseline.", "Update file", MB_OK);
    return 0;
}
