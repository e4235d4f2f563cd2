// A stand-in Windows Help engine: the window WinHelpA hands its requests to, and what each Help command must send.
#include "help_engine.h"

#include <cstring>
#include <vector>

#include "check.h"
#include "res/resource.h"

namespace {

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

// The string at an offset of the request, or "<none>" when the offset is 0.
std::string At(const std::vector<char>& bytes, WORD offset)
{
    if (offset == 0)
        return "<none>";
    if (offset >= bytes.size())
        return "<outside>";
    return std::string(bytes.data() + offset, strnlen(bytes.data() + offset, bytes.size() - offset));
}

} // namespace

// Serves this thread's messages (the engine's WM_COPYDATA among them) until the condition holds or the time is up.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs)
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

HWND CreateHelpEngine()
{
    WNDCLASSA engineClass = {};
    engineClass.lpfnWndProc = HelpEngineProc;
    engineClass.hInstance = GetModuleHandleA(nullptr);
    engineClass.lpszClassName = "MS_WINHELP";
    RegisterClassA(&engineClass);
    return CreateWindowExA(0, "MS_WINHELP", "stand-in help engine", WS_OVERLAPPED, 0, 0, 100, 100,
        nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
}

void CheckHelpRequests(HWND main)
{
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
        PostMessageA(main, WM_COMMAND, c.id, 0);
        if (!CHECK_MSG(PumpUntil([] { return !g_received.empty(); }, 60000), std::to_string(c.id)))
            continue;
        const Received& got = g_received.front();
        CHECK_EQ(got.tag, kWineHelpMagic);
        CHECK(got.sender == main);
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
}

size_t HelpRequestsReceived()
{
    return g_received.size();
}
