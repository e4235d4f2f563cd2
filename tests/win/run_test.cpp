// The whole run of the real quillmar.exe under Wine: start, main window, outcome box, files, exit code.
#include <windows.h>

#include <functional>
#include <vector>

#include "check.h"
#include "driver.h"
#include "outcome_check.h"
#include "picture.h"

namespace {

const DWORD kBoxTimeoutMs = 120000;
const DWORD kExitTimeoutMs = 60000;

struct Run {
    bool started = false;
    HWND box = nullptr;
    std::string message;
    int boxesAtFirstSight = 0;
    int laterBoxes = 0;
    long exitCode = -1;
    DWORD elapsedMs = 0;
};

struct BoxSearch {
    DWORD processId;
    HWND except;
    HWND found;
};

BOOL CALLBACK MatchOtherBox(HWND window, LPARAM lParam)
{
    BoxSearch* search = reinterpret_cast<BoxSearch*>(lParam);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (processId == search->processId && window != search->except && IsWindowVisible(window)
        && ClassOf(window) == "#32770" && WindowText(window) == "Update file")
        search->found = window;
    return TRUE;
}

// After OK: watches for any further outcome box (pressing it away) until the process ends.
int BoxesUntilExit(const Started& started, HWND firstBox, DWORD timeoutMs)
{
    int boxes = 0;
    HWND seen = firstBox;
    DWORD begin = GetTickCount();
    while (WaitForSingleObject(started.process.hProcess, 10) == WAIT_TIMEOUT && GetTickCount() - begin < timeoutMs) {
        BoxSearch search = { started.process.dwProcessId, seen, nullptr };
        EnumWindows(MatchOtherBox, reinterpret_cast<LPARAM>(&search));
        if (search.found) {
            ++boxes;
            seen = search.found;
            PressOk(search.found);
        }
    }
    return boxes;
}

// One start: waits for the outcome box, runs whileUp on it, presses OK and waits for the end.
Run RunOnce(const std::string& exe, const std::string& arguments, int show, DWORD boxTimeoutMs, DWORD exitTimeoutMs,
    const std::function<void(const Started&, HWND)>& whileUp)
{
    Run run;
    Started started;
    run.started = StartProgram(exe, arguments, show, &started);
    if (!CHECK_MSG(run.started, "cannot start " + exe))
        return run;
    run.box = WaitForOutcomeBox(started, boxTimeoutMs);
    if (CHECK_MSG(run.box != nullptr, "no outcome box appeared")) {
        run.boxesAtFirstSight = CountWindows(started, "#32770", "Update file");
        run.message = BoxMessage(run.box);
        if (whileUp)
            whileUp(started, run.box);
        PressOk(run.box);
        run.laterBoxes = BoxesUntilExit(started, run.box, exitTimeoutMs);
    }
    run.exitCode = WaitForExit(&started, exitTimeoutMs);
    run.elapsedMs = GetTickCount() - started.startTick;
    return run;
}

// Exactly one outcome box, none after OK, and exit code 0.
void CheckRunEnded(const Run& run)
{
    CHECK_EQ(static_cast<long long>(run.boxesAtFirstSight), 1LL);
    CHECK_EQ(static_cast<long long>(run.laterBoxes), 0LL);
    CHECK_EQ(static_cast<long long>(run.exitCode), 0LL);
}

BOOL CALLBACK CollectChild(HWND window, LPARAM lParam)
{
    reinterpret_cast<std::vector<HWND>*>(lParam)->push_back(window);
    return TRUE;
}

std::vector<HWND> ChildrenOf(HWND window)
{
    std::vector<HWND> children;
    EnumChildWindows(window, CollectChild, reinterpret_cast<LPARAM>(&children));
    return children;
}

// MB_OK: a single button, OK, and no Cancel to fall back on.
void CheckButtons(HWND box)
{
    std::vector<HWND> buttons;
    for (HWND child : ChildrenOf(box)) {
        if (ClassOf(child) == "Button" && IsWindowVisible(child))
            buttons.push_back(child);
    }
    if (CHECK_EQ(static_cast<long long>(buttons.size()), 1LL)) {
        CHECK_EQ(static_cast<long long>(GetDlgCtrlID(buttons[0])), static_cast<long long>(IDOK));
        CHECK_EQ(WindowText(buttons[0]), std::string("OK"));
    }
    CHECK(GetDlgItem(box, IDCANCEL) == nullptr);
}

void MessagePump()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

// The icon handle belongs to the other process, so the icon is compared as it shows on the screen.
void CheckInformationIcon(HWND box)
{
    HWND icon = MessageBoxIcon(box);
    if (!CHECK_MSG(icon != nullptr, "the box shows no icon"))
        return;
    // The box may be on the screen a moment before its icon is.
    for (DWORD begin = GetTickCount(); GetTickCount() - begin < 5000 && !ShowsStandardIcon(icon, IDI_INFORMATION);)
        Sleep(50);
    struct Case {
        const char* name;
        LPCSTR id;
        bool expected;
    } cases[] = {
        { "IDI_INFORMATION", IDI_INFORMATION, true },
        { "IDI_HAND", IDI_HAND, false },
        { "IDI_QUESTION", IDI_QUESTION, false },
        { "IDI_EXCLAMATION", IDI_EXCLAMATION, false },
    };
    for (const Case& c : cases)
        CHECK_MSG(ShowsStandardIcon(icon, c.id) == c.expected, std::string("icon compared with ") + c.name);
}

LRESULT CALLBACK ReferenceProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(window, message, wParam, lParam);
}

// The menu bar of another process cannot be read through the menu functions under Wine, so it is
// compared with the bar of a window of ours, as wide, whose menu has the expected top items.
void CheckMenuBar(HWND mainWindow)
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = ReferenceProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = "quillmar-test-reference";
    RegisterClassA(&windowClass);
    HMENU menu = CreateMenu();
    for (const char* item : { "&File", "&Edit", "&Help" })
        AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(CreatePopupMenu()), item);

    RECT mainRect;
    GetWindowRect(mainWindow, &mainRect);
    int width = mainRect.right - mainRect.left;
    int top = mainRect.bottom + 10;
    const int height = 120;
    if (!CHECK_MSG(top + height <= GetSystemMetrics(SM_CYSCREEN), "no room below the main window for the reference menu bar"))
        return;
    HWND reference = CreateWindowExA(0, windowClass.lpszClassName, "reference", WS_OVERLAPPEDWINDOW,
        mainRect.left, top, width, height, nullptr, menu, windowClass.hInstance, nullptr);
    ShowWindow(reference, SW_SHOWNOACTIVATE);
    UpdateWindow(reference);

    int barHeight = GetSystemMetrics(SM_CYMENU);
    RECT mainBar = ScreenRectOfClient(mainWindow);
    mainBar.bottom = mainBar.top;
    mainBar.top -= barHeight;
    RECT referenceBar = ScreenRectOfClient(reference);
    referenceBar.bottom = referenceBar.top;
    referenceBar.top -= barHeight;
    std::string difference;
    DWORD begin = GetTickCount();
    do {
        MessagePump();
        Sleep(50);
        difference = FirstDifference(CaptureScreen(mainBar), CaptureScreen(referenceBar));
    } while (!difference.empty() && GetTickCount() - begin < 5000);
    CHECK_MSG(difference.empty(), "the main window's menu bar is not &File, &Edit, &Help: " + difference);
    DestroyWindow(reference);
}

// What the outcome box and its owner look like, in every outcome.
void CheckBoxAndOwner(HWND box)
{
    CHECK_EQ(WindowText(box), std::string("Update file"));
    CheckButtons(box);
    CheckInformationIcon(box);
    HWND owner = GetWindow(box, GW_OWNER);
    if (!CHECK_MSG(owner != nullptr, "the box has no owner"))
        return;
    CHECK_EQ(ClassOf(owner), std::string("quillmar"));
    CHECK_EQ(WindowText(owner), std::string("quillmar Application"));
    CHECK((GetWindowLongA(owner, GWL_STYLE) & WS_OVERLAPPEDWINDOW) == WS_OVERLAPPEDWINDOW);
    RECT rect;
    GetWindowRect(owner, &rect);
    CHECK_EQ(static_cast<long long>(rect.left), 5LL);
    CHECK_EQ(static_cast<long long>(rect.top), 5LL);
    CHECK_MSG(!IsWindowEnabled(owner), "the box is not modal to the main window");
    if (CHECK(GetMenu(owner) != nullptr))
        CheckMenuBar(owner);
}

void Outcomes(const std::string& exe)
{
    struct Case {
        const char* name;
        IniState state;
    } cases[] = {
        { "system.ini missing", NO_INI },
        { "entry already present", INI_WITH_ENTRY },
        { "entry missing: backup and rewrite", INI_WITHOUT_ENTRY },
    };
    for (const Case& c : cases) {
        std::printf("outcome: %s\n", c.name);
        Prepare(c.state);
        Run run = RunOnce(exe, "", -1, kBoxTimeoutMs, kExitTimeoutMs,
            [](const Started&, HWND box) { CheckBoxAndOwner(box); });
        CHECK_EQ(run.message, ExpectedMessage(c.state));
        CheckRunEnded(run);
        CheckFilesAfter(c.state);
    }
}

void CommandLines(const std::string& exe)
{
    std::string longLine;
    while (longLine.size() < 4000)
        longLine += "-long /argument ";
    const std::string cases[] = {
        "/?",
        "-x foo",
        "system.ini RemovableIDE = FALSE",
        "\"C:\\my files\\other.ini\" \"unclosed",
        "\t  \t",
        longLine,
    };
    for (const std::string& arguments : cases) {
        std::printf("command line: %s\n", arguments.substr(0, 40).c_str());
        Prepare(INI_WITHOUT_ENTRY);
        Run run = RunOnce(exe, arguments, -1, kBoxTimeoutMs, kExitTimeoutMs, nullptr);
        CHECK_EQ(run.message, ExpectedMessage(INI_WITHOUT_ENTRY));
        CheckRunEnded(run);
        CheckFilesAfter(INI_WITHOUT_ENTRY);
    }
}

void ShowCommands(const std::string& exe)
{
    struct Case {
        const char* name;
        int show;
        bool visible;
        bool minimised;
    } cases[] = {
        { "SW_HIDE", SW_HIDE, false, false },
        { "SW_SHOWMINNOACTIVE", SW_SHOWMINNOACTIVE, true, true },
        { "SW_MINIMIZE", SW_MINIMIZE, true, true },
        { "SW_SHOWMINIMIZED", SW_SHOWMINIMIZED, true, true },
        { "SW_SHOWNORMAL", SW_SHOWNORMAL, true, false },
    };
    for (const Case& c : cases) {
        std::printf("show command: %s\n", c.name);
        Prepare(INI_WITHOUT_ENTRY);
        Run run = RunOnce(exe, "", c.show, kBoxTimeoutMs, kExitTimeoutMs, [&c](const Started& started, HWND) {
            HWND main = FindMainWindow(started);
            CHECK_EQ(IsWindowVisible(main) != FALSE, c.visible);
            CHECK_EQ(IsIconic(main) != FALSE, c.minimised);
        });
        CHECK_EQ(run.message, ExpectedMessage(INI_WITHOUT_ENTRY));
        CheckRunEnded(run);
        CheckFilesAfter(INI_WITHOUT_ENTRY);
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::printf("usage: run_test quillmar.exe\n");
        return 2;
    }
    std::string saved = ReadWholeFile(IniPath());
    Outcomes(argv[1]);
    CommandLines(argv[1]);
    ShowCommands(argv[1]);
    ClearWindowsDir();
    RestoreIni(saved);
    return CheckVerdict("run_test");
}
