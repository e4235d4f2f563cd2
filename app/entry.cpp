// The process entry point: what a C runtime's start-up would do, and no more.
#include <windows.h>

namespace {

// Skips the program name, quoted or not, and the blanks after it.
char* ArgumentsOf(char* commandLine)
{
    char* at = commandLine;
    if (*at == '"') {
        ++at;
        while (*at != '\0' && *at != '"')
            ++at;
        if (*at == '"')
            ++at;
    } else {
        while (*at != '\0' && *at != ' ' && *at != '\t')
            ++at;
    }
    while (*at == ' ' || *at == '\t')
        ++at;
    return at;
}

} // namespace

extern "C" void WinMainCRTStartup()
{
    STARTUPINFOA startup;
    startup.cb = sizeof startup;
    startup.dwFlags = 0;
    GetStartupInfoA(&startup);
    int show = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : SW_SHOWDEFAULT;
    ExitProcess(static_cast<UINT>(WinMain(GetModuleHandleA(0), 0, ArgumentsOf(GetCommandLineA()), show)));
}
