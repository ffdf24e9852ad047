// The end-to-end test agent: a DLL that the launcher loads into the running
// program. It connects back to the test (port in TOVRIK_AGENT_PORT) and
// answers one command per line, reading and driving the program's real
// windows from inside its process: menus, tree items, dialogs, input.
// Texts are read and written through the wide interfaces and travel as hex
// of UTF-8, so every character arrives exactly, whatever the code page.
#include <winsock2.h>
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>
#include <shlobj.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <sstream>
#include <string>
#include <vector>

#include "platform/committed_memory.h"

namespace {

std::string Hex(const std::string& bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string hex;
    for (unsigned char c : bytes) {
        hex.push_back(digits[c >> 4]);
        hex.push_back(digits[c & 15]);
    }
    return hex;
}

std::string Unhex(const std::string& hex) {
    std::string bytes;
    for (size_t i = 0; i + 1 < hex.size(); i += 2) bytes.push_back(static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    return bytes;
}

std::string Utf8(const std::wstring& wide) {
    if (wide.empty()) return std::string();
    int length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), &text[0], length, nullptr, nullptr);
    return text;
}

std::wstring Wide(const std::string& utf8) {
    if (utf8.empty()) return std::wstring();
    int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring text(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &text[0], length);
    return text;
}

std::string WindowText(HWND window) {
    int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    GetWindowTextW(window, &text[0], length + 1);
    text.resize(wcslen(text.c_str()));
    return Utf8(text);
}

std::string ClassOf(HWND window) {
    wchar_t name[128] = {};
    GetClassNameW(window, name, 128);
    return Utf8(name);
}

std::string Handle(HWND window) { return std::to_string(reinterpret_cast<uintptr_t>(window)); }
HWND ToHandle(const std::string& text) { return reinterpret_cast<HWND>(std::stoul(text)); }
long ToNumber(const std::string& text) { return std::stol(text, nullptr, 0); }

BOOL CALLBACK CollectOwnWindow(HWND window, LPARAM parameter) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == GetCurrentProcessId() && IsWindowVisible(window))
        reinterpret_cast<std::vector<HWND>*>(parameter)->push_back(window);
    return TRUE;
}

std::vector<HWND> OwnTopLevelWindows() {
    std::vector<HWND> found;
    EnumWindows(CollectOwnWindow, reinterpret_cast<LPARAM>(&found));
    return found;
}

HWND MainWindow() {
    for (HWND window : OwnTopLevelWindows())
        if (ClassOf(window) == "TOVRIK") return window;
    return nullptr;
}

HWND Tree() { return GetDlgItem(MainWindow(), 2); }

std::string Rect(const RECT& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
           std::to_string(r.bottom);
}

std::string MenuText(HMENU menu, UINT position) {
    wchar_t text[512] = {};
    GetMenuStringW(menu, position, text, 512, MF_BYPOSITION);
    return Utf8(text);
}

// Items of a menu: "id,state,texthex" (popups: "P,state,texthex").
std::vector<std::string> MenuItems(HMENU menu) {
    std::vector<std::string> items;
    int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        UINT state = GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION);
        HMENU sub = GetSubMenu(menu, i);
        std::string id = sub ? "P" : std::to_string(GetMenuItemID(menu, i));
        items.push_back(id + "," + std::to_string(state & 0xFF) + "," + Hex(MenuText(menu, static_cast<UINT>(i))));
    }
    return items;
}

// Makes a group that has not been opened yet make its file items: its owner
// hears what the control tells it before a first opening, and the group
// stays closed, the view where it was. False for an item without children.
bool FillUnopenedGroup(HWND tree, HTREEITEM group) {
    NMTREEVIEWW expanding = {};
    expanding.itemNew.mask = TVIF_CHILDREN | TVIF_STATE | TVIF_PARAM;
    expanding.itemNew.stateMask = TVIS_EXPANDED;
    expanding.itemNew.hItem = group;
    if (!SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&expanding.itemNew)) ||
        expanding.itemNew.cChildren == 0)
        return false;
    expanding.hdr.hwndFrom = tree;
    expanding.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(tree));
    expanding.hdr.code = TVN_ITEMEXPANDINGW;
    expanding.action = TVE_EXPAND;
    SendMessageW(GetParent(tree), WM_NOTIFY, expanding.hdr.idFrom, reinterpret_cast<LPARAM>(&expanding));
    return true;
}

struct ListedItem {
    HTREEITEM item;
    bool isFile;
};

// The tree flattened: groups and their files in order. With `fill`, each
// group lists its files whether or not it was opened before.
std::vector<ListedItem> TreeItems(HWND tree, bool fill) {
    std::vector<ListedItem> items;
    auto next = [tree](HTREEITEM item, UINT relation) {
        return reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(item)));
    };
    for (HTREEITEM group = next(nullptr, TVGN_ROOT); group; group = next(group, TVGN_NEXT)) {
        items.push_back({group, false});
        HTREEITEM file = next(group, TVGN_CHILD);
        if (!file && fill && FillUnopenedGroup(tree, group)) file = next(group, TVGN_CHILD);
        for (; file; file = next(file, TVGN_NEXT)) items.push_back({file, true});
    }
    return items;
}

// The item's text through the wide tree message, as the program's own
// paths are read back, and its state.
std::string TreeItemText(HWND tree, HTREEITEM item, UINT* state = nullptr) {
    std::vector<wchar_t> text(65536, L'\0');
    TVITEMW query = {};
    query.mask = TVIF_TEXT | TVIF_STATE;
    query.hItem = item;
    query.pszText = text.data();
    query.cchTextMax = static_cast<int>(text.size());
    query.stateMask = TVIS_SELECTED | TVIS_EXPANDED;
    SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&query));
    if (state) *state = query.state;
    return Utf8(query.pszText ? query.pszText : L"");
}

HTREEITEM NextTreeItem(HWND tree, HTREEITEM item, UINT relation) {
    return reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(item)));
}

// The child of `parent` (null: the roots) whose text satisfies `matches`,
// expanding the parent first so that the browser fills it in.
template <typename Match>
HTREEITEM FindChild(HWND tree, HTREEITEM parent, Match matches) {
    if (parent) SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(parent));
    for (HTREEITEM item = NextTreeItem(tree, parent, parent ? TVGN_CHILD : TVGN_ROOT); item;
         item = NextTreeItem(tree, item, TVGN_NEXT))
        if (matches(TreeItemText(tree, item))) return item;
    return nullptr;
}

// Selects `folder` ("X:\a\b") in the shell's folder browser and presses
// OK. The selection message is tried first; where the browser does not
// honour it, the folder is reached by expanding its tree drive by drive.
std::string AnswerFolderBrowser(HWND browser, const std::string& folder) {
    HWND tree = FindWindowExA(browser, nullptr, "SysTreeView32", nullptr);
    if (!tree) return "error: no folder tree";
    std::vector<std::string> parts;
    std::stringstream split(folder);
    for (std::string part; std::getline(split, part, '\\');)
        if (!part.empty()) parts.push_back(part);
    if (parts.empty()) return "error: empty folder";
    const std::wstring wideFolder = Wide(folder);
    SendMessageW(browser, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(wideFolder.c_str()));
    HTREEITEM selected = NextTreeItem(tree, nullptr, TVGN_CARET);
    if (!selected || lstrcmpiW(Wide(TreeItemText(tree, selected)).c_str(), Wide(parts.back()).c_str()) != 0) {
        // The drive lies a level or two down (desktop, then the computer).
        const std::string drive = "(" + parts[0] + ")";
        auto isDrive = [&](const std::string& text) { return text.find(drive) != std::string::npos; };
        HTREEITEM item = nullptr;
        std::vector<HTREEITEM> level = {nullptr};
        for (int depth = 0; depth < 3 && !item; ++depth) {
            std::vector<HTREEITEM> next;
            for (HTREEITEM parent : level) {
                if (parent) SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(parent));
                for (HTREEITEM child = NextTreeItem(tree, parent, parent ? TVGN_CHILD : TVGN_ROOT); child && !item;
                     child = NextTreeItem(tree, child, TVGN_NEXT)) {
                    if (isDrive(TreeItemText(tree, child))) item = child;
                    next.push_back(child);
                }
            }
            level.swap(next);
        }
        for (size_t i = 1; item && i < parts.size(); ++i)
            item = FindChild(tree, item, [&](const std::string& text) {
                return lstrcmpiW(Wide(text).c_str(), Wide(parts[i]).c_str()) == 0;
            });
        if (!item) return "error: folder not found in the browser";
        SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
    }
    return PostMessageA(browser, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                        reinterpret_cast<LPARAM>(GetDlgItem(browser, IDOK)))
               ? "1"
               : "0";
}

void SendMouse(int x, int y, DWORD flags) {
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = static_cast<LONG>((x * 65535.0) / (GetSystemMetrics(SM_CXSCREEN) - 1));
    input.mi.dy = static_cast<LONG>((y * 65535.0) / (GetSystemMetrics(SM_CYSCREEN) - 1));
    input.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
    SendInput(1, &input, sizeof input);
    Sleep(30);
}

void SendKey(WORD key) {
    INPUT inputs[2] = {};
    inputs[0].type = inputs[1].type = INPUT_KEYBOARD;
    inputs[0].ki.wVk = inputs[1].ki.wVk = key;
    inputs[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, inputs, sizeof inputs[0]);
}

// --- What the program draws as text ---------------------------------------
// The program's own calls of DrawTextW (and of BeginPaint and EndPaint, which
// tell which window a paint belongs to, also when it draws into an
// off-screen buffer) are rerouted through its import table to these
// recorders, so that a test reads the exact bytes, flags, rectangle and font
// of every text it paints. The program itself is not changed.
struct DrawnText {
    HWND paintWindow;  // the window between BeginPaint and EndPaint, or null
    UINT format;
    RECT rect;
    LONG fontHeight;
    std::string fontFace;
    std::string text;
};

using DrawTextWFunction = int(WINAPI*)(HDC, LPCWSTR, int, LPRECT, UINT);
using BeginPaintFunction = HDC(WINAPI*)(HWND, LPPAINTSTRUCT);
using EndPaintFunction = BOOL(WINAPI*)(HWND, const PAINTSTRUCT*);

struct DrawLog {
    std::mutex lock;
    std::vector<DrawnText> entries;
    bool hooked = false;
    HWND painting = nullptr;  // only the program's user-interface thread paints
    // Paints of the main window finished so far, and when the last one ended.
    unsigned mainPaints = 0;
    LARGE_INTEGER lastMainPaint = {};
    DrawTextWFunction drawText = nullptr;
    BeginPaintFunction beginPaint = nullptr;
    EndPaintFunction endPaint = nullptr;
};

DrawLog g_drawLog;

int WINAPI RecordingDrawTextW(HDC dc, LPCWSTR text, int length, LPRECT rect, UINT format) {
    DrawnText entry = {};
    entry.format = format;
    if (rect) entry.rect = *rect;
    if (text) entry.text = Utf8(length < 0 ? std::wstring(text) : std::wstring(text, static_cast<size_t>(length)));
    LOGFONTW font = {};
    if (GetObjectW(GetCurrentObject(dc, OBJ_FONT), sizeof font, &font)) {
        entry.fontHeight = font.lfHeight;
        entry.fontFace = Utf8(font.lfFaceName);
    }
    {
        std::lock_guard<std::mutex> guard(g_drawLog.lock);
        entry.paintWindow = g_drawLog.painting;
        g_drawLog.entries.push_back(entry);
    }
    return g_drawLog.drawText(dc, text, length, rect, format);
}

HDC WINAPI RecordingBeginPaint(HWND window, LPPAINTSTRUCT paint) {
    {
        std::lock_guard<std::mutex> guard(g_drawLog.lock);
        g_drawLog.painting = window;
    }
    return g_drawLog.beginPaint(window, paint);
}

BOOL WINAPI RecordingEndPaint(HWND window, const PAINTSTRUCT* paint) {
    const BOOL ended = g_drawLog.endPaint(window, paint);
    std::lock_guard<std::mutex> guard(g_drawLog.lock);
    g_drawLog.painting = nullptr;
    if (GetParent(window) == nullptr && ClassOf(window) == "TOVRIK") {
        ++g_drawLog.mainPaints;
        QueryPerformanceCounter(&g_drawLog.lastMainPaint);
    }
    return ended;
}

// Points every import slot of the program that holds `original` at
// `replacement`; the number of slots changed.
int RerouteImport(void* original, void* replacement) {
    auto* base = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
    auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
    auto* headers = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports = headers->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (!imports.VirtualAddress) return 0;
    int changed = 0;
    for (auto* module = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress); module->Name;
         ++module) {
        for (auto* slot = reinterpret_cast<IMAGE_THUNK_DATA*>(base + module->FirstThunk); slot->u1.Function; ++slot) {
            if (reinterpret_cast<void*>(slot->u1.Function) != original) continue;
            DWORD protection = 0;
            VirtualProtect(&slot->u1.Function, sizeof slot->u1.Function, PAGE_READWRITE, &protection);
            slot->u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
            VirtualProtect(&slot->u1.Function, sizeof slot->u1.Function, protection, &protection);
            ++changed;
        }
    }
    return changed;
}

template <typename Function>
Function User32Function(const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), name)));
}

std::string HookDrawing() {
    if (g_drawLog.hooked) return "1";
    g_drawLog.drawText = User32Function<DrawTextWFunction>("DrawTextW");
    g_drawLog.beginPaint = User32Function<BeginPaintFunction>("BeginPaint");
    g_drawLog.endPaint = User32Function<EndPaintFunction>("EndPaint");
    // The paint recorders go in first, so that no text is recorded without
    // its window once the text recorder is in place.
    const int paints = RerouteImport(reinterpret_cast<void*>(g_drawLog.beginPaint),
                                     reinterpret_cast<void*>(RecordingBeginPaint)) +
                       RerouteImport(reinterpret_cast<void*>(g_drawLog.endPaint),
                                     reinterpret_cast<void*>(RecordingEndPaint));
    const int texts =
        RerouteImport(reinterpret_cast<void*>(g_drawLog.drawText), reinterpret_cast<void*>(RecordingDrawTextW));
    if (paints < 2 || texts < 1) return "error: the program does not import BeginPaint, EndPaint and DrawTextW";
    g_drawLog.hooked = true;
    return "1";
}

// "window,format,left,top,right,bottom,fontheight,facehex,texthex" per text.
std::string DrawnTexts() {
    std::lock_guard<std::mutex> guard(g_drawLog.lock);
    std::string out;
    for (const DrawnText& entry : g_drawLog.entries) {
        out += "\t" + Handle(entry.paintWindow) + "," + std::to_string(entry.format) + "," + Rect(entry.rect) + "," +
               std::to_string(entry.fontHeight) + "," + Hex(entry.fontFace) + "," + Hex(entry.text);
    }
    return out.empty() ? out : out.substr(1);
}

// Selects tree item `index` as the tree's selection message does and
// returns the milliseconds from then until the main window's next paint has
// ended (the picture is on the screen); "error" past 30 s. For benchmarks.
std::string TimedSelect(HWND tree, HTREEITEM item) {
    unsigned paintsBefore;
    {
        std::lock_guard<std::mutex> guard(g_drawLog.lock);
        paintsBefore = g_drawLog.mainPaints;
    }
    LARGE_INTEGER frequency, start;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
    for (int waited = 0; waited < 30000; ++waited) {
        {
            std::lock_guard<std::mutex> guard(g_drawLog.lock);
            if (g_drawLog.mainPaints != paintsBefore) {
                const double ms = (g_drawLog.lastMainPaint.QuadPart - start.QuadPart) * 1000.0 / frequency.QuadPart;
                char text[32];
                std::snprintf(text, sizeof text, "%.2f", ms);
                return text;
            }
        }
        Sleep(1);
    }
    return "error: no paint";
}

// The colours of a screen rectangle as "rrggbb" per pixel, row by row.
std::string ScreenPixels(int x, int y, int width, int height) {
    if (width <= 0 || height <= 0 || width * height > 1 << 20) return "error: bad rectangle";
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO format = {};
    format.bmiHeader.biSize = sizeof format.bmiHeader;
    format.bmiHeader.biWidth = width;
    format.bmiHeader.biHeight = -height;  // top-down
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP capture = CreateDIBSection(screen, &format, DIB_RGB_COLORS, &bits, nullptr, 0);
    std::string out;
    if (capture && memory) {
        HGDIOBJ previous = SelectObject(memory, capture);
        BitBlt(memory, 0, 0, width, height, screen, x, y, SRCCOPY);
        GdiFlush();
        const auto* pixels = static_cast<const unsigned char*>(bits);
        std::string rgb;
        for (int i = 0; i < width * height; ++i) {
            rgb.push_back(static_cast<char>(pixels[4 * i + 2]));
            rgb.push_back(static_cast<char>(pixels[4 * i + 1]));
            rgb.push_back(static_cast<char>(pixels[4 * i]));
        }
        out = Hex(rgb);
        SelectObject(memory, previous);
    } else {
        out = "error: no capture bitmap";
    }
    if (capture) DeleteObject(capture);
    if (memory) DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return out;
}

// Names in a folder in the order the system lists them to the program
// (the same query as its folder listing), hex, tab-separated.
std::string ListFolder(const std::string& folder) {
    std::wstring wide = Wide(folder);
    if (wide.empty() || wide.back() != L'\\') wide.push_back(L'\\');
    wide += L"*";
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileExW(wide.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr,
                                   FIND_FIRST_EX_LARGE_FETCH);
    if (find == INVALID_HANDLE_VALUE) return "error: cannot list";
    std::string out;
    do {
        out += "\t" + Hex(Utf8(data.cFileName));
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return out.empty() ? out : out.substr(1);
}

// Ends a dialog with any result, as a box that failed would end: the
// dialog's procedure gets a stand-in in front of it that calls EndDialog on
// the dialog's own thread.
constexpr UINT kEndDialogMessage = WM_APP + 77;
WNDPROC g_endedDialogProc = nullptr;

LRESULT CALLBACK EndingDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kEndDialogMessage) {
        EndDialog(dialog, static_cast<INT_PTR>(wParam));
        return 0;
    }
    return CallWindowProcW(g_endedDialogProc, dialog, message, wParam, lParam);
}

std::string EndDialogWith(HWND dialog, INT_PTR result) {
    g_endedDialogProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(dialog, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(EndingDialogProc)));
    if (!g_endedDialogProc) return "error: cannot reach the dialog";
    return PostMessageA(dialog, kEndDialogMessage, static_cast<WPARAM>(result), 0) ? "1" : "0";
}

// --- How long the results tree takes to answer ----------------------------
// From this thread, every 100 ms, one message to the tree; the longest wait
// tells whether the user-interface thread ever held the tree too long.
struct TreeProbe {
    std::atomic<bool> running{false};
    HANDLE thread = nullptr;
    HWND tree = nullptr;
    std::mutex lock;
    double longestMs = 0;
    int probes = 0;
    int over100Ms = 0;
};

TreeProbe g_probe;

double Milliseconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(to.QuadPart - from.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

DWORD WINAPI ProbeThread(void*) {
    while (g_probe.running.load()) {
        LARGE_INTEGER sent, answered;
        QueryPerformanceCounter(&sent);
        DWORD_PTR count = 0;
        SendMessageTimeoutA(g_probe.tree, TVM_GETCOUNT, 0, 0, SMTO_NORMAL, 120000, &count);
        QueryPerformanceCounter(&answered);
        const double waited = Milliseconds(sent, answered);
        {
            std::lock_guard<std::mutex> guard(g_probe.lock);
            if (waited > g_probe.longestMs) g_probe.longestMs = waited;
            ++g_probe.probes;
            if (waited > 100) ++g_probe.over100Ms;
        }
        if (waited < 100) Sleep(static_cast<DWORD>(100 - waited));
    }
    return 0;
}

// "start", "read" or "stop"; answers "longest ms,probes,probes over 100 ms".
std::string Probe(const std::string& action) {
    if (action == "start" && !g_probe.running.load()) {
        g_probe.tree = Tree();
        g_probe.longestMs = 0;
        g_probe.probes = g_probe.over100Ms = 0;
        g_probe.running.store(true);
        g_probe.thread = CreateThread(nullptr, 0, ProbeThread, nullptr, 0, nullptr);
    }
    if (action == "stop" && g_probe.running.exchange(false)) {
        WaitForSingleObject(g_probe.thread, 130000);
        CloseHandle(g_probe.thread);
        g_probe.thread = nullptr;
    }
    std::lock_guard<std::mutex> guard(g_probe.lock);
    char reply[64];
    std::snprintf(reply, sizeof reply, "%.1f,%d,%d", g_probe.longestMs, g_probe.probes, g_probe.over100Ms);
    return reply;
}

// Peak and current working set of the program, in KiB.
std::string Memory() {
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)) return "error: no memory counters";
    return std::to_string(counters.PeakWorkingSetSize / 1024) + "," + std::to_string(counters.WorkingSetSize / 1024);
}

// Drops a file or folder (a UTF-8 path) on a window as Explorer does: a
// DROPFILES block in global memory that the window's owner frees.
std::string DropPath(HWND window, const std::string& path) {
    const std::wstring wide = Wide(path);
    const size_t bytes = sizeof(DROPFILES) + (wide.size() + 2) * sizeof(wchar_t);
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes);
    if (!block) return "0";
    auto* drop = static_cast<DROPFILES*>(GlobalLock(block));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = TRUE;
    wcscpy(reinterpret_cast<wchar_t*>(drop + 1), wide.c_str());
    GlobalUnlock(block);
    if (PostMessageW(window, WM_DROPFILES, reinterpret_cast<WPARAM>(block), 0)) return "1";
    GlobalFree(block);
    return "0";
}

using Words = std::vector<std::string>;

std::string Run(const Words& w) {
    const std::string& verb = w[0];
    if (verb == "pid") return std::to_string(GetCurrentProcessId());
    if (verb == "acp") return std::to_string(GetACP());
    if (verb == "terminate") TerminateProcess(GetCurrentProcess(), 99);
    if (verb == "main") return Handle(MainWindow());
    if (verb == "windows") {
        std::string out;
        for (HWND window : OwnTopLevelWindows())
            out += "\t" + Handle(window) + "," + ClassOf(window) + "," + Hex(WindowText(window));
        return out.empty() ? out : out.substr(1);
    }
    if (verb == "children") {
        std::string out;
        for (HWND child = GetWindow(ToHandle(w[1]), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            out += "\t" + Handle(child) + "," + ClassOf(child) + "," + std::to_string(GetDlgCtrlID(child)) + "," +
                   Hex(WindowText(child)) + "," + (IsWindowVisible(child) ? "1" : "0") + "," +
                   (IsWindowEnabled(child) ? "1" : "0");
        }
        return out.empty() ? out : out.substr(1);
    }
    if (verb == "focus") {  // the window with the keyboard focus in the program's user-interface thread
        GUITHREADINFO info = {};
        info.cbSize = sizeof info;
        return GetGUIThreadInfo(GetWindowThreadProcessId(MainWindow(), nullptr), &info) ? Handle(info.hwndFocus) : "0";
    }
    if (verb == "visible") return IsWindow(ToHandle(w[1])) && IsWindowVisible(ToHandle(w[1])) ? "1" : "0";
    if (verb == "text") return Hex(WindowText(ToHandle(w[1])));
    if (verb == "rect") {
        RECT r;
        GetWindowRect(ToHandle(w[1]), &r);
        return Rect(r);
    }
    if (verb == "client") {  // client rectangle, then its origin on the screen
        RECT r;
        HWND window = ToHandle(w[1]);
        GetClientRect(window, &r);
        POINT origin = {0, 0};
        ClientToScreen(window, &origin);
        return Rect(r) + "," + std::to_string(origin.x) + "," + std::to_string(origin.y);
    }
    if (verb == "metric") return std::to_string(GetSystemMetrics(static_cast<int>(ToNumber(w[1]))));
    if (verb == "post")
        return PostMessageA(ToHandle(w[1]), static_cast<UINT>(ToNumber(w[2])), static_cast<WPARAM>(ToNumber(w[3])),
                            static_cast<LPARAM>(ToNumber(w[4])))
                   ? "1"
                   : "0";
    if (verb == "send")
        return std::to_string(SendMessageA(ToHandle(w[1]), static_cast<UINT>(ToNumber(w[2])),
                                           static_cast<WPARAM>(ToNumber(w[3])), static_cast<LPARAM>(ToNumber(w[4]))));
    if (verb == "click") {  // a button by id, as a click delivers it
        HWND dialog = ToHandle(w[1]);
        int id = static_cast<int>(ToNumber(w[2]));
        return PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                            reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)))
                   ? "1"
                   : "0";
    }
    if (verb == "command")
        return PostMessageA(MainWindow(), WM_COMMAND, static_cast<WPARAM>(ToNumber(w[1])), 0) ? "1" : "0";
    if (verb == "menu") {  // the menu bar, popups with their items
        HMENU bar = GetMenu(MainWindow());
        std::string out;
        int count = GetMenuItemCount(bar);
        for (int i = 0; i < count; ++i) {
            UINT state = GetMenuState(bar, static_cast<UINT>(i), MF_BYPOSITION);
            out += "\tP," + std::to_string(state & 0xFF) + "," + Hex(MenuText(bar, static_cast<UINT>(i)));
            for (const std::string& item : MenuItems(GetSubMenu(bar, i))) out += "\t" + item;
        }
        return out.empty() ? out : out.substr(1);
    }
    if (verb == "popupmenu") {  // items of the open popup menu, if any
        for (HWND window : OwnTopLevelWindows()) {
            if (ClassOf(window) != "#32768") continue;
            HMENU menu = reinterpret_cast<HMENU>(SendMessageA(window, 0x01E1 /* MN_GETHMENU */, 0, 0));
            std::string out;
            for (const std::string& item : MenuItems(menu)) out += "\t" + item;
            RECT r;
            GetWindowRect(window, &r);
            return Rect(r) + out;
        }
        return "none";
    }
    if (verb == "tree") {  // "depth,selected,expanded,texthex" per item
        HWND tree = w.size() > 1 ? ToHandle(w[1]) : Tree();
        std::string out;
        for (const ListedItem& listed : TreeItems(tree, w.size() == 1)) {
            UINT state = 0;
            const std::string text = TreeItemText(tree, listed.item, &state);
            out += std::string("\t") + (listed.isFile ? "1" : "0") + "," + ((state & TVIS_SELECTED) ? "1" : "0") + "," +
                   ((state & TVIS_EXPANDED) ? "1" : "0") + "," + Hex(text);
        }
        return out.empty() ? out : out.substr(1);
    }
    if (verb == "expand" || verb == "select" || verb == "itemrect" || verb == "timeselect") {
        HWND tree = Tree();
        std::vector<HTREEITEM> items;
        for (const ListedItem& listed : TreeItems(tree, true)) items.push_back(listed.item);
        size_t index = static_cast<size_t>(ToNumber(w[1]));
        if (index >= items.size()) return "error: no such item";
        if (verb == "expand")
            return std::to_string(SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(items[index])));
        if (verb == "timeselect") {
            if (!g_drawLog.hooked) return "error: hookdrawing first";
            return TimedSelect(tree, items[index]);
        }
        if (verb == "select")
            return std::to_string(
                SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(items[index])));
        RECT r;
        *reinterpret_cast<HTREEITEM*>(&r) = items[index];
        if (!SendMessageA(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&r))) return "error: not visible";
        MapWindowPoints(tree, nullptr, reinterpret_cast<POINT*>(&r), 2);
        return Rect(r);
    }
    if (verb == "rclick" || verb == "lclick") {
        int x = static_cast<int>(ToNumber(w[1])), y = static_cast<int>(ToNumber(w[2]));
        SendMouse(x, y, 0);
        bool right = verb == "rclick";
        SendMouse(x, y, right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN);
        SendMouse(x, y, right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP);
        return "1";
    }
    if (verb == "drag") {
        int x1 = static_cast<int>(ToNumber(w[1])), y1 = static_cast<int>(ToNumber(w[2]));
        int x2 = static_cast<int>(ToNumber(w[3])), y2 = static_cast<int>(ToNumber(w[4]));
        SendMouse(x1, y1, 0);
        SendMouse(x1, y1, MOUSEEVENTF_LEFTDOWN);
        for (int step = 1; step <= 10; ++step)
            SendMouse(x1 + (x2 - x1) * step / 10, y1 + (y2 - y1) * step / 10, 0);
        SendMouse(x2, y2, MOUSEEVENTF_LEFTUP);
        return "1";
    }
    if (verb == "key") {
        SendKey(static_cast<WORD>(ToNumber(w[1])));
        return "1";
    }
    if (verb == "browse") return AnswerFolderBrowser(ToHandle(w[1]), Unhex(w[2]));
    if (verb == "enddialog") return EndDialogWith(ToHandle(w[1]), static_cast<INT_PTR>(ToNumber(w[2])));
    if (verb == "hookdrawing") return HookDrawing();
    if (verb == "drawlog") return DrawnTexts();
    if (verb == "drawmark") {  // forgets what was drawn so far
        std::lock_guard<std::mutex> guard(g_drawLog.lock);
        g_drawLog.entries.clear();
        return "1";
    }
    if (verb == "pixels")
        return ScreenPixels(static_cast<int>(ToNumber(w[1])), static_cast<int>(ToNumber(w[2])),
                            static_cast<int>(ToNumber(w[3])), static_cast<int>(ToNumber(w[4])));
    if (verb == "move")  // a window to a screen position and size, without activating it
        return SetWindowPos(ToHandle(w[1]), nullptr, static_cast<int>(ToNumber(w[2])), static_cast<int>(ToNumber(w[3])),
                            static_cast<int>(ToNumber(w[4])), static_cast<int>(ToNumber(w[5])),
                            SWP_NOZORDER | SWP_NOACTIVATE)
                   ? "1"
                   : "0";
    if (verb == "listfolder") return ListFolder(Unhex(w[1]));
    if (verb == "classicon") {  // "own" when a window's class shows the program's icon resource w[2]
        HICON shown = reinterpret_cast<HICON>(GetClassLongPtrA(ToHandle(w[1]), GCLP_HICON));
        HICON own = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(ToNumber(w[2])));
        HICON small = reinterpret_cast<HICON>(GetClassLongPtrA(ToHandle(w[1]), GCLP_HICONSM));
        if (!shown || !small) return "none";
        return own && shown == own ? "own" : "other";
    }
    if (verb == "styles")  // a window's style, then its extended style
        return std::to_string(GetWindowLongW(ToHandle(w[1]), GWL_STYLE)) + "," +
               std::to_string(GetWindowLongW(ToHandle(w[1]), GWL_EXSTYLE));
    if (verb == "drop") return DropPath(ToHandle(w[1]), Unhex(w[2]));
    if (verb == "settext")  // a control's text, as the user would type it
        return SetWindowTextW(ToHandle(w[1]), Wide(Unhex(w.size() > 2 ? w[2] : std::string())).c_str()) ? "1" : "0";
    if (verb == "probe") return Probe(w[1]);
    if (verb == "memory") return Memory();
    // What a picture loaded and kept takes, touched or not.
    if (verb == "committed") return std::to_string(CommittedBytesOfThisProcess() / 1024);
    return "error: unknown command " + verb;
}

bool ReadLine(SOCKET connection, std::string& line) {
    line.clear();
    char c;
    for (;;) {
        int got = recv(connection, &c, 1, 0);
        if (got <= 0) return false;
        if (c == '\n') return true;
        line.push_back(c);
    }
}

DWORD WINAPI AgentThread(void*) {
    const char* port = std::getenv("TOVRIK_AGENT_PORT");
    if (!port) return 0;
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
    SOCKET connection = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<u_short>(std::atoi(port)));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (connect(connection, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) return 0;
    std::string line;
    while (ReadLine(connection, line)) {
        Words words;
        std::istringstream split(line);
        for (std::string word; split >> word;) words.push_back(word);
        std::string reply;
        try {
            reply = words.empty() ? "error: empty" : Run(words);
        } catch (const std::exception& error) {
            reply = std::string("error: ") + error.what();
        }
        reply.push_back('\n');
        send(connection, reply.data(), static_cast<int>(reply.size()), 0);
    }
    closesocket(connection);
    return 0;
}

}  // namespace

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        HANDLE thread = CreateThread(nullptr, 0, AgentThread, nullptr, 0, nullptr);
        if (thread) CloseHandle(thread);
    }
    return TRUE;
}
