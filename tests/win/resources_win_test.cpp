// The resources of a quillmar.exe, read as data field by field, and its accelerator table at work.
#include <windows.h>

#include <cstring>
#include <vector>

#include "check.h"
#include "driver.h"
#include "res/resource.h"
#include "version_values.h"

namespace {

struct Bytes {
    const BYTE* data;
    DWORD size;
};

Bytes Find(HMODULE module, LPCSTR type, int id)
{
    Bytes bytes = { nullptr, 0 };
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), type);
    if (!found)
        return bytes;
    bytes.data = static_cast<const BYTE*>(LockResource(LoadResource(module, found)));
    bytes.size = SizeofResource(module, found);
    return bytes;
}

// Walks a resource's bytes; reading past the end yields zeros and marks the walk as overrun.
struct Cursor {
    const BYTE* base;
    DWORD size;
    DWORD at;
    bool overrun;
};

Cursor Start(Bytes bytes)
{
    return { bytes.data, bytes.size, 0, false };
}

DWORD Take(Cursor* c, DWORD count)
{
    DWORD value = 0;
    if (c->at + count > c->size) {
        c->overrun = true;
        c->at = c->size;
        return 0;
    }
    std::memcpy(&value, c->base + c->at, count);
    c->at += count;
    return value;
}

WORD Word(Cursor* c) { return static_cast<WORD>(Take(c, 2)); }
DWORD Dword(Cursor* c) { return Take(c, 4); }
BYTE Byte(Cursor* c) { return static_cast<BYTE>(Take(c, 1)); }

void AlignDword(Cursor* c)
{
    c->at = (c->at + 3) & ~3u;
    if (c->at > c->size)
        c->at = c->size;
}

// A zero-terminated UTF-16 text; every text of quillmar's resources is ASCII.
std::string Wide(Cursor* c)
{
    std::string text;
    for (WORD ch = Word(c); ch != 0 && !c->overrun; ch = Word(c))
        text += ch < 128 ? static_cast<char>(ch) : '?';
    return text;
}

// A dialog's class or text: an ordinal (0xFFFF then the number) written "#n", or a text.
std::string NameOrOrdinal(Cursor* c)
{
    WORD first = Word(c);
    if (first == 0xFFFF)
        return "#" + std::to_string(Word(c));
    c->at -= 2;
    return Wide(c);
}

// A control's class by name: the predefined ordinals 0x80 and 0x82 (what Microsoft's compiler writes)
// and the class names (what windres writes) are the same classes to the dialog manager.
std::string ControlClass(Cursor* c)
{
    std::string name = NameOrOrdinal(c);
    if (name == "#128")
        return "BUTTON";
    if (name == "#130")
        return "STATIC";
    CharUpperA(&name[0]);
    return name;
}

struct MenuRow {
    int depth;
    WORD flags;
    WORD id;
    std::string text;
};

void ReadMenuLevel(Cursor* c, int depth, std::vector<MenuRow>* rows)
{
    for (;;) {
        MenuRow row;
        row.depth = depth;
        row.flags = Word(c);
        row.id = (row.flags & MF_POPUP) ? 0 : Word(c);
        row.text = Wide(c);
        rows->push_back(row);
        if (c->overrun)
            return;
        if (row.flags & MF_POPUP)
            ReadMenuLevel(c, depth + 1, rows);
        if (row.flags & MF_END)
            return;
    }
}

void MenuTemplate(HMODULE module)
{
    const MenuRow expected[] = {
        { 0, MF_POPUP, 0, "&File" },
        { 1, MF_GRAYED, IDM_NEW, "&New" },
        { 1, MF_GRAYED, IDM_OPEN, "&Open..." },
        { 1, MF_GRAYED, IDM_SAVE, "&Save" },
        { 1, MF_GRAYED, IDM_SAVEAS, "Save &As..." },
        { 1, 0, 0, "" },
        { 1, MF_GRAYED, IDM_PRINT, "&Print..." },
        { 1, MF_GRAYED, IDM_PRINTSETUP, "P&rint Setup..." },
        { 1, 0, 0, "" },
        { 1, MF_END, IDM_EXIT, "E&xit" },
        { 0, MF_POPUP, 0, "&Edit" },
        { 1, MF_GRAYED, IDM_UNDO, "&Undo\tCtrl+Z" },
        { 1, 0, 0, "" },
        { 1, MF_GRAYED, IDM_CUT, "Cu&t\tCtrl+X" },
        { 1, MF_GRAYED, IDM_COPY, "&Copy\tCtrl+C" },
        { 1, MF_GRAYED, IDM_PASTE, "&Paste\tCtrl+V" },
        { 1, MF_GRAYED, IDM_PASTELINK, "Paste &Link" },
        { 1, 0, 0, "" },
        { 1, MF_GRAYED | MF_END, IDM_LINKS, "Lin&ks..." },
        { 0, MF_POPUP | MF_END, 0, "&Help" },
        { 1, 0, IDM_HELPCONTENTS, "&Contents" },
        { 1, 0, IDM_HELPSEARCH, "&Search for Help On..." },
        { 1, 0, IDM_HELPHELP, "&How to Use Help" },
        { 1, 0, 0, "" },
        { 1, MF_END, IDM_ABOUT, "&About quillmar..." },
    };
    Bytes menu = Find(module, MAKEINTRESOURCEA(4), IDR_MAINMENU);
    if (!CHECK(menu.data != nullptr))
        return;
    Cursor c = Start(menu);
    CHECK_EQ(Word(&c), 0);
    CHECK_EQ(Word(&c), 0);
    std::vector<MenuRow> rows;
    ReadMenuLevel(&c, 0, &rows);
    CHECK(!c.overrun);
    CHECK_EQ(c.at, c.size);
    if (!CHECK_EQ(rows.size(), sizeof expected / sizeof expected[0]))
        return;
    for (size_t i = 0; i < rows.size(); ++i) {
        std::string where = "menu row " + std::to_string(i) + " " + expected[i].text;
        CHECK_MSG(rows[i].depth == expected[i].depth, where);
        CHECK_MSG(rows[i].flags == expected[i].flags, where + " flags " + std::to_string(rows[i].flags));
        CHECK_MSG(rows[i].id == expected[i].id, where + " id " + std::to_string(rows[i].id));
        CHECK_EQ(rows[i].text, std::string(expected[i].text));
    }
}

void AcceleratorTable(HMODULE module)
{
    struct Entry {
        WORD flags;
        WORD key;
        WORD command;
    };
    const Entry expected[] = {
        { FVIRTKEY, VK_F1, IDM_HELPCONTENTS },
        { FALT, '?', IDM_ABOUT },
        { FALT | 0x80, '/', IDM_ABOUT },
    };
    Bytes table = Find(module, MAKEINTRESOURCEA(9), IDR_MAINMENU);
    if (!CHECK(table.data != nullptr))
        return;
    CHECK_EQ(table.size, static_cast<DWORD>(sizeof expected / sizeof expected[0] * 8));
    Cursor c = Start(table);
    for (const Entry& entry : expected) {
        CHECK_EQ(Word(&c), entry.flags);
        CHECK_EQ(Word(&c), entry.key);
        CHECK_EQ(Word(&c), entry.command);
        CHECK_EQ(Word(&c), 0);
    }
    CHECK(!c.overrun);
}

void AboutTemplate(HMODULE module)
{
    struct Control {
        std::string text;
        WORD id;
        std::string windowClass;
        DWORD style;
        short x, y, cx, cy;
    };
    const DWORD label = WS_CHILD | WS_VISIBLE | WS_GROUP | SS_LEFT;
    const Control expected[] = {
        { "OK", IDOK, "BUTTON", WS_CHILD | WS_VISIBLE | WS_GROUP | WS_TABSTOP | BS_DEFPUSHBUTTON, 132, 2, 32, 14 },
        { "#102", 0xFFFF, "STATIC", WS_CHILD | WS_VISIBLE | SS_ICON, 3, 2, 18, 20 },
        { "CompanyName", IDC_COMPANYNAME, "STATIC", label, 30, 2, 100, 8 },
        { "FileDescription", IDC_FILEDESCRIPTION, "STATIC", label, 30, 10, 82, 8 },
        { "ProductVersion", IDC_PRODUCTVERSION, "STATIC", label, 114, 10, 16, 8 },
        { "LegalCopyright", IDC_LEGALCOPYRIGHT, "STATIC", label, 30, 18, 137, 8 },
        { "LegalTrademarks", IDC_LEGALTRADEMARKS, "STATIC", label, 30, 34, 136, 27 },
        { "", IDC_RULE, "STATIC", WS_CHILD | WS_VISIBLE | SS_BLACKRECT, 28, 31, 138, 1 },
    };
    Bytes dialog = Find(module, MAKEINTRESOURCEA(5), IDD_ABOUTBOX);
    if (!CHECK(dialog.data != nullptr))
        return;
    Cursor c = Start(dialog);
    CHECK_EQ(Dword(&c), static_cast<DWORD>(DS_MODALFRAME | WS_CAPTION | WS_SYSMENU));
    CHECK_EQ(Dword(&c), 0u);
    WORD count = Word(&c);
    CHECK_EQ(count, sizeof expected / sizeof expected[0]);
    const short frame[] = { 22, 17, 167, 64 };
    for (short value : frame)
        CHECK_EQ(static_cast<short>(Word(&c)), value);
    CHECK_EQ(Word(&c), 0);
    CHECK_EQ(Word(&c), 0);
    CHECK_EQ(Wide(&c), std::string("About quillmar"));
    for (WORD i = 0; i < count && i < sizeof expected / sizeof expected[0]; ++i) {
        const Control& want = expected[i];
        AlignDword(&c);
        CHECK_MSG(Dword(&c) == want.style, "style of control " + std::to_string(want.id));
        CHECK_MSG(Dword(&c) == 0, "extended style of control " + std::to_string(want.id));
        const short rect[] = { want.x, want.y, want.cx, want.cy };
        for (short value : rect)
            CHECK_MSG(static_cast<short>(Word(&c)) == value, "rectangle of control " + std::to_string(want.id));
        CHECK_EQ(Word(&c), want.id);
        CHECK_EQ(ControlClass(&c), want.windowClass);
        CHECK_EQ(NameOrOrdinal(&c), want.text);
        CHECK_EQ(Word(&c), 0);
    }
    CHECK(!c.overrun);
}

void Icon(HMODULE module)
{
    Bytes group = Find(module, MAKEINTRESOURCEA(14), IDI_APPICON);
    Bytes image = Find(module, MAKEINTRESOURCEA(3), 1);
    if (!CHECK(group.data != nullptr) || !CHECK(image.data != nullptr))
        return;
    CHECK_EQ(group.size, 6u + 14u);
    Cursor c = Start(group);
    CHECK_EQ(Word(&c), 0);
    CHECK_EQ(Word(&c), 1);
    CHECK_EQ(Word(&c), 1);
    CHECK_EQ(Byte(&c), 64);
    CHECK_EQ(Byte(&c), 64);
    CHECK_EQ(Byte(&c), 16);
    CHECK_EQ(Byte(&c), 0);
    CHECK_EQ(Word(&c), 1);
    CHECK_EQ(Word(&c), 4);
    CHECK_EQ(Dword(&c), image.size);
    CHECK_EQ(Word(&c), 1);
    CHECK(!c.overrun);

    // The image: header, 16 palette entries, the 4-bit colour rows and the 1-bit mask rows of 64 x 64 pixels.
    BITMAPINFOHEADER header = {};
    if (!CHECK(image.size >= sizeof header))
        return;
    std::memcpy(&header, image.data, sizeof header);
    CHECK_EQ(header.biSize, static_cast<DWORD>(sizeof header));
    CHECK_EQ(header.biWidth, 64L);
    CHECK_EQ(header.biHeight, 128L);
    CHECK_EQ(header.biPlanes, 1);
    CHECK_EQ(header.biBitCount, 4);
    CHECK_EQ(header.biCompression, static_cast<DWORD>(BI_RGB));
    CHECK_EQ(image.size, static_cast<DWORD>(sizeof header + 16 * 4 + 64 * 64 / 2 + 64 * 64 / 8));
}

// One node of a version block: key, value and children, as the platform lays them out.
struct VersionNode {
    std::string key;
    WORD valueLength;
    WORD type;
    std::vector<VersionNode> children;
};

VersionNode ReadVersionNode(Cursor* c)
{
    VersionNode node;
    DWORD begin = c->at;
    WORD length = Word(c);
    node.valueLength = Word(c);
    node.type = Word(c);
    node.key = Wide(c);
    AlignDword(c);
    DWORD end = begin + length;
    if (end > c->size || length < 6) {
        c->overrun = true;
        return node;
    }
    c->at += node.type == 1 ? node.valueLength * 2 : node.valueLength;
    AlignDword(c);
    while (c->at < end && !c->overrun) {
        node.children.push_back(ReadVersionNode(c));
        AlignDword(c);
    }
    c->at = end;
    return node;
}

std::vector<std::string> Keys(const VersionNode& node)
{
    std::vector<std::string> keys;
    for (const VersionNode& child : node.children)
        keys.push_back(child.key);
    return keys;
}

bool QueryText(void* block, const std::string& key, std::string* text)
{
    void* value = nullptr;
    UINT length = 0;
    std::string path = "\\StringFileInfo\\040904e4\\" + key;
    if (!VerQueryValueA(block, path.c_str(), &value, &length))
        return false;
    *text = value && length ? static_cast<const char*>(value) : "";
    return true;
}

void VersionBlock(HMODULE module)
{
    Bytes version = Find(module, MAKEINTRESOURCEA(16), 1);
    if (!CHECK(version.data != nullptr))
        return;

    Cursor c = Start(version);
    VersionNode root = ReadVersionNode(&c);
    CHECK(!c.overrun);
    CHECK_EQ(root.key, std::string("VS_VERSION_INFO"));
    CHECK_EQ(root.valueLength, sizeof(VS_FIXEDFILEINFO));
    if (CHECK_EQ(Keys(root).size(), 2u)) {
        CHECK_EQ(root.children[0].key, std::string("StringFileInfo"));
        CHECK_EQ(Keys(root.children[0]).size(), 1u);
        if (!root.children[0].children.empty()) {
            const VersionNode& table = root.children[0].children[0];
            CHECK_EQ(table.key, std::string("040904e4"));
            std::vector<std::string> keys = Keys(table);
            if (CHECK_EQ(keys.size(), sizeof kVersionStrings / sizeof kVersionStrings[0])) {
                for (size_t i = 0; i < keys.size(); ++i)
                    CHECK_EQ(keys[i], std::string(kVersionStrings[i].key));
            }
        }
        CHECK_EQ(root.children[1].key, std::string("VarFileInfo"));
        std::vector<std::string> variables = Keys(root.children[1]);
        CHECK(variables.size() == 1 && variables[0] == "Translation");
    }

    // VerQueryValueA may write answers after the block, as it does in GetFileVersionInfo's buffer.
    std::vector<BYTE> copy(version.size * 3);
    std::memcpy(copy.data(), version.data, version.size);
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (CHECK(VerQueryValueA(copy.data(), "\\", reinterpret_cast<void**>(&fixed), &length))
        && CHECK_EQ(length, sizeof(VS_FIXEDFILEINFO))) {
        CHECK_EQ(fixed->dwSignature, 0xFEEF04BDu);
        CHECK_EQ(fixed->dwFileVersionMS, 0x00030003u);
        CHECK_EQ(fixed->dwFileVersionLS, 0u);
        CHECK_EQ(fixed->dwProductVersionMS, 0x00030003u);
        CHECK_EQ(fixed->dwProductVersionLS, 0u);
        CHECK_EQ(fixed->dwFileFlagsMask, 0x3Fu);
        CHECK_EQ(fixed->dwFileFlags, static_cast<DWORD>(VS_FF_PRERELEASE | VS_FF_PRIVATEBUILD));
        CHECK_EQ(fixed->dwFileOS, static_cast<DWORD>(VOS_DOS_WINDOWS16));
        CHECK_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
        CHECK_EQ(fixed->dwFileSubtype, 0u);
        CHECK_EQ(fixed->dwFileDateMS, 0u);
        CHECK_EQ(fixed->dwFileDateLS, 0u);
    }
    for (const VersionString& entry : kVersionStrings) {
        std::string text;
        if (CHECK_MSG(QueryText(copy.data(), entry.key, &text), entry.key))
            CHECK_EQ(text, std::string(entry.value));
    }
    WORD* translation = nullptr;
    if (CHECK(VerQueryValueA(copy.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &length))
        && CHECK_EQ(length, 4u)) {
        CHECK_EQ(translation[0], 0x0409);
        CHECK_EQ(translation[1], 0x04E4);
    }
}

// Every resource of the file, as "type/name/language".
std::vector<std::string> g_listed;

BOOL CALLBACK ListLanguage(HMODULE, LPCSTR type, LPCSTR name, WORD language, LONG_PTR)
{
    char entry[64];
    std::snprintf(entry, sizeof entry, "%u/%u/%04x", static_cast<unsigned>(reinterpret_cast<ULONG_PTR>(type)),
        static_cast<unsigned>(reinterpret_cast<ULONG_PTR>(name)), language);
    g_listed.push_back(IS_INTRESOURCE(type) && IS_INTRESOURCE(name) ? entry : std::string("named resource"));
    return TRUE;
}

BOOL CALLBACK ListName(HMODULE module, LPCSTR type, LPSTR name, LONG_PTR)
{
    EnumResourceLanguagesA(module, type, name, ListLanguage, 0);
    return TRUE;
}

BOOL CALLBACK ListType(HMODULE module, LPSTR type, LONG_PTR)
{
    EnumResourceNamesA(module, type, ListName, 0);
    return TRUE;
}

// Exactly the icon, the icon group, the menu, the accelerators, the dialog and the version block, in US English.
void NothingElse(HMODULE module)
{
    g_listed.clear();
    EnumResourceTypesA(module, ListType, 0);
    const std::vector<std::string> expected = { "3/1/0409", "4/101/0409", "5/103/0409", "9/101/0409", "14/102/0409", "16/1/0409" };
    CHECK_EQ(g_listed.size(), expected.size());
    for (size_t i = 0; i < g_listed.size() && i < expected.size(); ++i)
        CHECK_EQ(g_listed[i], expected[i]);
}

// The other build of the same sources carries the same resources.
void SameResourcesInBothBuilds(HMODULE checked, HMODULE other)
{
    const struct {
        int type;
        int id;
    } resources[] = { { 3, 1 }, { 4, IDR_MAINMENU }, { 5, IDD_ABOUTBOX }, { 9, IDR_MAINMENU }, { 14, IDI_APPICON }, { 16, 1 } };
    for (const auto& r : resources) {
        Bytes a = Find(checked, MAKEINTRESOURCEA(r.type), r.id);
        Bytes b = Find(other, MAKEINTRESOURCEA(r.type), r.id);
        std::string what = "resource " + std::to_string(r.type) + "/" + std::to_string(r.id);
        CHECK_MSG(a.data && b.data && a.size == b.size && std::memcmp(a.data, b.data, a.size) == 0, what);
    }
}

std::vector<WPARAM> g_commands;

LRESULT CALLBACK TargetProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND)
        g_commands.push_back(wParam);
    return DefWindowProcA(window, message, wParam, lParam);
}

void HoldKeys(bool alt, bool shift, bool control)
{
    BYTE keys[256] = {};
    keys[VK_MENU] = keys[VK_LMENU] = alt ? 0x80 : 0;
    keys[VK_SHIFT] = keys[VK_LSHIFT] = shift ? 0x80 : 0;
    keys[VK_CONTROL] = keys[VK_LCONTROL] = control ? 0x80 : 0;
    SetKeyboardState(keys);
}

// F1 asks for the help contents, Alt+? and Alt+/ for the About box; nothing else on these keys does.
void AcceleratorsTranslate(HMODULE checked, const Bytes& menu)
{
    HACCEL table = LoadAcceleratorsA(checked, MAKEINTRESOURCEA(IDR_MAINMENU));
    if (!CHECK(table != nullptr))
        return;
    CHECK_EQ(CopyAcceleratorTableA(table, nullptr, 0), 3);

    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = TargetProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "accelerator_target";
    RegisterClassA(&windowClass);
    // The program's own menu on the window, as on quillmar's main window.
    HMENU bar = menu.data ? LoadMenuIndirectA(menu.data) : nullptr;
    HWND target = CreateWindowExA(0, "accelerator_target", "target", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200,
        nullptr, bar, GetModuleHandleA(nullptr), nullptr);
    if (!CHECK(target != nullptr))
        return;

    const LPARAM altContext = 0x20000000;
    struct Case {
        const char* name;
        UINT message;
        WPARAM key;
        LPARAM lParam;
        bool alt, shift, control;
        WORD command;
    };
    const Case cases[] = {
        { "F1", WM_KEYDOWN, VK_F1, 0x003B0001, false, false, false, IDM_HELPCONTENTS },
        { "Alt+?", WM_SYSCHAR, '?', altContext | 0x00350001, true, true, false, IDM_ABOUT },
        { "Alt+/", WM_SYSCHAR, '/', altContext | 0x00350001, true, false, false, IDM_ABOUT },
        { "Shift+F1", WM_KEYDOWN, VK_F1, 0x003B0001, false, true, false, 0 },
        { "Ctrl+F1", WM_KEYDOWN, VK_F1, 0x003B0001, false, false, true, 0 },
        { "Alt+F1", WM_SYSKEYDOWN, VK_F1, altContext | 0x003B0001, true, false, false, 0 },
        { "? without Alt", WM_CHAR, '?', 0x00350001, false, true, false, 0 },
        { "/ without Alt", WM_CHAR, '/', 0x00350001, false, false, false, 0 },
        { "p, the character with F1's code", WM_CHAR, 'p', 0x00190001, false, false, false, 0 },
        { "? as a key code", WM_KEYDOWN, '?', 0x00350001, false, false, false, 0 },
    };
    for (const Case& c : cases) {
        g_commands.clear();
        HoldKeys(c.alt, c.shift, c.control);
        MSG message = { target, c.message, c.key, c.lParam, 0, { 0, 0 } };
        int translated = TranslateAcceleratorA(target, table, &message);
        HoldKeys(false, false, false);
        CHECK_MSG((translated != 0) == (c.command != 0), c.name);
        bool sent = g_commands.size() == 1 && g_commands[0] == MAKEWPARAM(c.command, 1);
        CHECK_MSG(c.command == 0 ? g_commands.empty() : sent, c.name);
    }
    DestroyWindow(target);
    DestroyAcceleratorTable(table);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::printf("usage: resources_win_test quillmar.exe other-build-quillmar.exe\n");
        return 2;
    }
    std::string paths[2] = { argv[1], argv[2] };
    HMODULE modules[2] = {};
    for (int i = 0; i < 2; ++i) {
        std::string path = DosPath(paths[i]);
        modules[i] = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        if (!CHECK_MSG(modules[i] != nullptr, path))
            return CheckVerdict("resources_win_test");
    }
    HMODULE checked = modules[0];
    MenuTemplate(checked);
    AcceleratorTable(checked);
    AboutTemplate(checked);
    Icon(checked);
    VersionBlock(checked);
    NothingElse(checked);
    SameResourcesInBothBuilds(checked, modules[1]);
    AcceleratorsTranslate(checked, Find(checked, MAKEINTRESOURCEA(4), IDR_MAINMENU));
    FreeLibrary(modules[0]);
    FreeLibrary(modules[1]);
    return CheckVerdict("resources_win_test");
}
