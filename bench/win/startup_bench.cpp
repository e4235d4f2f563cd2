// Times from CreateProcess to the visible "Update file" box, for quillmar.exe and for a program that only shows that box.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "driver.h"

namespace {

const char kIni[] = "[boot]\r\nshell=Explorer.exe\r\n[386Enh]\r\nkeyboard=*vkd\r\n";

double Now()
{
    LARGE_INTEGER counter, frequency;
    QueryPerformanceCounter(&counter);
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

HWND VisibleBox(DWORD processId)
{
    HWND box = FindWindowA("#32770", "Update file");
    DWORD owner = 0;
    if (box)
        GetWindowThreadProcessId(box, &owner);
    return box && owner == processId && IsWindowVisible(box) ? box : nullptr;
}

// Milliseconds until the box shows, or a negative number when it never does.
double TimeToBox(const std::string& exe, std::string* message)
{
    Started started;
    double begin = Now();
    if (!StartProgram(exe, "", -1, &started))
        return -1;
    HWND box = nullptr;
    while (!(box = VisibleBox(started.process.dwProcessId))) {
        if (Now() - begin > 30000 || WaitForSingleObject(started.process.hProcess, 0) == WAIT_OBJECT_0)
            break;
        Sleep(1);
    }
    double elapsed = Now() - begin;
    if (box) {
        *message = BoxMessage(box);
        PressOk(box);
    }
    return WaitForExit(&started, 10000) == 0 && box ? elapsed : -1;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

void Print(const char* name, const std::vector<double>& times)
{
    std::printf("%-10s median %7.1f ms  min %7.1f ms  max %7.1f ms  (%zu runs)\n", name, Median(times),
        *std::min_element(times.begin(), times.end()), *std::max_element(times.begin(), times.end()), times.size());
}

} // namespace

// argv[1] quillmar.exe, argv[2] the message-box-only program, argv[3] runs of each (after one warm-up run).
int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: startup_bench quillmar.exe msgbox.exe [runs]\n");
        return 2;
    }
    int runs = argc > 3 ? std::atoi(argv[3]) : 10;
    std::vector<double> quillmar, baseline;
    std::string message;
    for (int i = 0; i <= runs; ++i) {
        // Each run of quillmar does the whole update: scan, backup, rewrite.
        ClearWindowsDir();
        WriteWholeFile(IniPath(), kIni);
        double q = TimeToBox(argv[1], &message);
        if (q < 0 || message.find("Updated System.ini") != 0) {
            std::fprintf(stderr, "quillmar.exe did not show the updated box: '%s'\n", message.c_str());
            return 1;
        }
        double b = TimeToBox(argv[2], &message);
        if (b < 0) {
            std::fprintf(stderr, "the baseline program did not show its box\n");
            return 1;
        }
        if (i > 0) {
            quillmar.push_back(q);
            baseline.push_back(b);
        }
    }
    ClearWindowsDir();
    WriteWholeFile(IniPath(), kIni);
    Print("quillmar", quillmar);
    Print("baseline", baseline);
    std::printf("ratio of medians quillmar/baseline: %.2f\n", Median(quillmar) / Median(baseline));
    return 0;
}
