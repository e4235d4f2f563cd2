// One start of quillmar.exe that shows every part of the program at work: made for the shipped 32-bit file
// where it can only run through qemu, about a minute a start.
#include <windows.h>

#include <cstdio>

#include "about_check.h"
#include "check.h"
#include "driver.h"
#include "help_engine.h"
#include "outcome_check.h"
#include "report_check.h"
#include "res/resource.h"

namespace {

// A first 32-bit start under qemu also sets up the prefix's 32-bit side: minutes, not seconds.
const DWORD kBoxTimeoutMs = 900000;
const DWORD kStepTimeoutMs = 120000;

bool ProcessEnded(const Started& started)
{
    return WaitForSingleObject(started.process.hProcess, 0) == WAIT_OBJECT_0;
}

// The update, the report, About, Help and Exit, in that order, all while the outcome box is up.
void EveryPartInOneStart(const std::string& exe)
{
    Prepare(INI_WITHOUT_ENTRY);
    HWND engine = CreateHelpEngine();
    if (!CHECK(engine != nullptr))
        return;
    Launched run;
    if (CHECK_MSG(LaunchToOutcomeBox(exe, &run, kBoxTimeoutMs), "no outcome box or main window appeared")) {
        std::printf("outcome box after %.1f s\n", (GetTickCount() - run.started.startTick) / 1000.0);
        CHECK_EQ(BoxMessage(run.box), ExpectedMessage(INI_WITHOUT_ENTRY));
        CheckFilesAfter(INI_WITHOUT_ENTRY);

        CheckReport(run.box, Folder(exe));

        PostMessageA(run.main, WM_COMMAND, IDM_ABOUT, 0);
        HWND about = WaitForAbout(run.started);
        if (CHECK_MSG(about != nullptr, "About did not open the About box")) {
            CheckAboutBox(about, run.main);
            PostMessageA(about, WM_COMMAND, IDOK, 0);
            CHECK(WaitUntilGone(about, kStepTimeoutMs));
        }
        CHECK(IsWindowVisible(run.box));

        CheckHelpRequests(run.main);

        PostMessageA(run.main, WM_COMMAND, IDM_EXIT, 0);
        CHECK(WaitUntilGone(run.main, kStepTimeoutMs));
        CHECK(PumpUntil([&] { return ProcessEnded(run.started); }, kStepTimeoutMs));
        CHECK_EQ(HelpRequestsReceived(), 0u);
    }
    CHECK_EQ(WaitForExit(&run.started, 1000), 0L);
    std::printf("start to exit in %.1f s\n", (GetTickCount() - run.started.startTick) / 1000.0);
    DestroyWindow(engine);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::printf("usage: one_start_test quillmar.exe\n");
        return 2;
    }
    if (!PrefixHasTheTestDrives())
        return CheckVerdict("one_start_test");
    std::string saved = ReadWholeFile(IniPath());
    EveryPartInOneStart(argv[1]);
    ClearWindowsDir();
    RestoreIni(saved);
    return CheckVerdict("one_start_test");
}
