// The Help commands of the real quillmar.exe: what reaches the Help engine, and the message when there is none.
#include <windows.h>
#include <tlhelp32.h>

#include <vector>

#include "check.h"
#include "driver.h"
#include "picture.h"
#include "res/resource.h"

namespace {

std::string g_exe;

const char kIniWithEntry[] = "[386Enh]\r\nRemovableIDE = TRUE\r\n";

// Wine's WinHelpA finds the engine by the class of its window and sends it WM_COPYDATA tagged with this
// number, carrying Windows 95's WINHELP layout: the file name and the keyword follow at the given offsets.
const ULONG_PTR kWineHelpMagic = 0xA1DE505;

#pragma pack(push, 1)
struct WinHelpRequest {
    WORD size;
    WORD command;
    LONG data;
    LONG reserved;
    WORD ofsFilename;
    WORD ofsData;
};
#pragma pack(pop)

struct Received {
    ULONG_PTR tag;
    HWND sender;
    std::vector<char> bytes;
};

std::vector<Received> g_received;

LRESULT CALLBACK HelpEngineProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COPYDATA) {
        const COPYDATASTRUCT* copy = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        const char* data = static_cast<const char*>(copy->lpData);
        g_received.push_back({ copy->dwData, reinterpret_cast<HWND>(wParam), std::vector<char>(data, data + copy->cbData) });
        return TRUE;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// Serves this thread's messages (the engine's WM_COPYDATA among them) until the condition holds or the time is up.
template <typename Condition>
bool PumpUntil(Condition done, DWORD timeoutMs)
{
    DWORD begin = GetTickCount();
    while (!done()) {
        if (GetTickCount() - begin > timeoutMs)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&message);
    }
    return true;
}

// The string at an offset of the request, or "<none>" when the offset is 0.
std::string At(const std::vector<char>& bytes, WORD offset)
{
    if (offset == 0)
        return "<none>";
    if (offset >= bytes.size())
        return "<outside>";
    return std::string(bytes.data() + offset, strnlen(bytes.data() + offset, bytes.size() - offset));
}

bool Launch(Launched* run)
{
    return CHECK(LaunchToOutcomeBox(g_exe, run));
}

std::vector<DWORD> EngineProcesses()
{
    std::vector<DWORD> ids;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
        if (lstrcmpiA(entry.szExeFile, "winhlp32.exe") == 0)
            ids.push_back(entry.th32ProcessID);
    }
    CloseHandle(snapshot);
    return ids;
}

// A Help engine that this test's runs started is a failure; it is ended so that it does not outlive the test.
void NoEngineLeftBehind(const std::vector<DWORD>& before)
{
    for (DWORD id : EngineProcesses()) {
        bool old = false;
        for (DWORD known : before)
            old = old || known == id;
        if (CHECK_MSG(old, "winhlp32.exe started by the test"))
            continue;
        HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, id);
        if (process) {
            TerminateProcess(process, 1);
            CloseHandle(process);
        }
    }
}

// Each Help command hands the engine the help file, the command and the keyword; nothing asks it to quit.
void RequestsReachTheEngine()
{
    WNDCLASSA engineClass = {};
    engineClass.lpfnWndProc = HelpEngineProc;
    engineClass.hInstance = GetModuleHandleA(nullptr);
    engineClass.lpszClassName = "MS_WINHELP";
    RegisterClassA(&engineClass);
    HWND engine = CreateWindowExA(0, "MS_WINHELP", "stand-in help engine", WS_OVERLAPPED, 0, 0, 100, 100,
        nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!CHECK(engine != nullptr))
        return;

    Launched run;
    if (Launch(&run)) {
        struct Case {
            WORD id;
            const char* file;
            UINT command;
            const char* keyword;
        };
        const Case cases[] = {
            { IDM_HELPCONTENTS, "quillmar.HLP", HELP_KEY, "CONTENTS" },
            { IDM_HELPSEARCH, "quillmar.HLP", HELP_PARTIALKEY, "" },
            { IDM_HELPHELP, "<none>", HELP_HELPONHELP, "<none>" },
        };
        for (const Case& c : cases) {
            g_received.clear();
            PostMessageA(run.main, WM_COMMAND, c.id, 0);
            if (!CHECK_MSG(PumpUntil([] { return !g_received.empty(); }, 10000), std::to_string(c.id)))
                continue;
            const Received& got = g_received.front();
            CHECK_EQ(got.tag, kWineHelpMagic);
            CHECK(got.sender == run.main);
            if (!CHECK(got.bytes.size() >= sizeof(WinHelpRequest)))
                continue;
            WinHelpRequest request;
            memcpy(&request, got.bytes.data(), sizeof request);
            CHECK_EQ(request.size, got.bytes.size());
            CHECK_EQ(request.command, c.command);
            CHECK_EQ(At(got.bytes, request.ofsFilename), std::string(c.file));
            CHECK_EQ(At(got.bytes, request.ofsData), std::string(c.keyword));
        }
        g_received.clear();
        PumpUntil([] { return false; }, 300);
        CHECK_EQ(g_received.size(), 0u);
        CHECK_EQ(CountWindows(run.started, "#32770", "quillmar"), 0);
        PressOk(run.box);
        PumpUntil([&] { return WaitForSingleObject(run.started.process.hProcess, 0) == WAIT_OBJECT_0; }, 20000);
        CHECK_EQ(WaitForExit(&run.started, 1000), 0L);
        CHECK_EQ(g_received.size(), 0u);
    }
    DestroyWindow(engine);
}

// Where Wine's WinExec would find winhlp32.exe; the files are moved aside so that the engine cannot start.
std::vector<std::string> EngineFiles()
{
    return { WindowsDir() + "\\winhlp32.exe", WindowsDir() + "\\system32\\winhlp32.exe" };
}

void HideEngine(bool hide)
{
    for (const std::string& file : EngineFiles()) {
        std::string hidden = file + ".quillmar-test";
        if (hide)
            MoveFileA(file.c_str(), hidden.c_str());
        else
            MoveFileA(hidden.c_str(), file.c_str());
    }
}

// With no engine to reach, each Help command says so in a system-modal box with the hand icon.
void NoEngineShowsTheMessage()
{
    HideEngine(true);
    for (const std::string& file : EngineFiles())
        CHECK_MSG(!FileExists(file), file);
    Launched run;
    if (Launch(&run)) {
        for (WORD id : { IDM_HELPCONTENTS, IDM_HELPSEARCH, IDM_HELPHELP }) {
            PostMessageA(run.main, WM_COMMAND, id, 0);
            HWND message = WaitForWindow(run.started, "#32770", "quillmar", 15000);
            if (!CHECK_MSG(message != nullptr, std::to_string(id)))
                continue;
            CHECK_EQ(BoxMessage(message), std::string("Unable to activate help"));
            // Owned by the window with the focus, which is in the outcome box; system-modal boxes are topmost.
            CHECK(GetWindow(message, GW_OWNER) == run.box);
            CHECK(GetWindowLongA(message, GWL_EXSTYLE) & WS_EX_TOPMOST);
            HWND icon = MessageBoxIcon(message);
            if (CHECK(icon != nullptr)) {
                bool hand = false;
                for (DWORD begin = GetTickCount(); !hand && GetTickCount() - begin < 5000; Sleep(50))
                    hand = ShowsStandardIcon(icon, IDI_HAND);
                CHECK(hand);
                CHECK(!ShowsStandardIcon(icon, IDI_ASTERISK));
                CHECK(!ShowsStandardIcon(icon, IDI_EXCLAMATION));
                CHECK(!ShowsStandardIcon(icon, IDI_QUESTION));
            }
            PressOk(message);
            CHECK(WaitUntilGone(message, 10000));
        }
        CHECK(IsWindowVisible(run.box));
        PressOk(run.box);
        CHECK_EQ(WaitForExit(&run.started, 20000), 0L);
    }
    HideEngine(false);
    for (const std::string& file : EngineFiles())
        CHECK_MSG(FileExists(file), file);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::printf("usage: help_win_test quillmar.exe\n");
        return 2;
    }
    g_exe = argv[1];
    std::string saved = ReplaceIni(kIniWithEntry);
    // Files hidden by a run that did not finish come back first; an engine already running would take the requests.
    HideEngine(false);
    std::vector<DWORD> enginesBefore = EngineProcesses();
    CHECK_MSG(enginesBefore.empty(), "a winhlp32.exe is running before the test");
    RequestsReachTheEngine();
    NoEngineShowsTheMessage();
    NoEngineLeftBehind(enginesBefore);
    RestoreIni(saved);
    return CheckVerdict("help_win_test");
}
