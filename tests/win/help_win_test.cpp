// The Help commands of the real quillmar.exe: what reaches the Help engine, and the message when there is none.
#include <windows.h>
#include <tlhelp32.h>

#include <vector>

#include "check.h"
#include "driver.h"
#include "help_engine.h"
#include "picture.h"
#include "res/resource.h"

namespace {

std::string g_exe;

const char kIniWithEntry[] = "[386Enh]\r\nRemovableIDE = TRUE\r\n";

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
    HWND engine = CreateHelpEngine();
    if (!CHECK(engine != nullptr))
        return;
    Launched run;
    if (Launch(&run)) {
        CheckHelpRequests(run.main);
        PumpUntil([] { return false; }, 300);
        CHECK_EQ(HelpRequestsReceived(), 0u);
        CHECK_EQ(CountWindows(run.started, "#32770", "quillmar"), 0);
        PressOk(run.box);
        PumpUntil([&] { return WaitForSingleObject(run.started.process.hProcess, 0) == WAIT_OBJECT_0; }, 60000);
        CHECK_EQ(WaitForExit(&run.started, 1000), 0L);
        CHECK_EQ(HelpRequestsReceived(), 0u);
    }
    DestroyWindow(engine);
}

// Where Wine's WinExec would find winhlp32.exe; the files are moved aside so that the engine cannot start.
// A 32-bit program looks in syswow64, where a prefix with 32-bit Wine has one too.
std::vector<std::string> EngineFiles()
{
    std::vector<std::string> files;
    for (const char* folder : { "", "\\system32", "\\syswow64" }) {
        std::string file = WindowsDir() + folder + "\\winhlp32.exe";
        if (FileExists(file) || FileExists(file + ".quillmar-test"))
            files.push_back(file);
    }
    return files;
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
            HWND message = WaitForWindow(run.started, "#32770", "quillmar", 60000);
            if (!CHECK_MSG(message != nullptr, std::to_string(id)))
                continue;
            CHECK_EQ(BoxMessage(message), std::string("Unable to activate help"));
            // Owned by the window with the focus, which is in the outcome box; system-modal boxes are topmost.
            CHECK(GetWindow(message, GW_OWNER) == run.box);
            CHECK(GetWindowLongA(message, GWL_EXSTYLE) & WS_EX_TOPMOST);
            HWND icon = MessageBoxIcon(message);
            if (CHECK(icon != nullptr)) {
                bool hand = false;
                for (DWORD begin = GetTickCount(); !hand && GetTickCount() - begin < 15000; Sleep(50))
                    hand = ShowsStandardIcon(icon, IDI_HAND);
                CHECK(hand);
                CHECK(!ShowsStandardIcon(icon, IDI_ASTERISK));
                CHECK(!ShowsStandardIcon(icon, IDI_EXCLAMATION));
                CHECK(!ShowsStandardIcon(icon, IDI_QUESTION));
            }
            PressOk(message);
            CHECK(WaitUntilGone(message, 60000));
        }
        CHECK(IsWindowVisible(run.box));
        PressOk(run.box);
        CHECK_EQ(WaitForExit(&run.started, 60000), 0L);
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
