// Reads the state of a running program's windows from outside it.
//
// UiProbe [TITLE]: through the windows' own data (class, text, styles, check state). For every
// visible top-level window (with the given title, when one is given) and every window below
// it, one line "top|class|text|visible|enabled|checked|left,top,width,height|screenleft,screentop|foreground":
// top tells the top-level windows apart, the position is in the client coordinates of the
// top-level window and then on the screen, checked is -1 for what is not a check box and -2
// for a check box whose window did not answer within five seconds, foreground is 1 on the
// lines of the top-level window that has the keyboard. Exit code 1 when no window matched.
//
// UiProbe --accessible [TITLE]: what a screen reader hears, through Microsoft Active
// Accessibility from this other process. For every window below the main window (the
// visible top-level window of class TavrinoForm, with the given title when one is given)
// whose object has a role other than a plain client area, one line "name|role|states",
// states as words joined by commas. Exit code 1 when no main window was found, 2 when
// COM could not be started.
//
// UiProbe --desktop [SECONDS]: waits (up to SECONDS, 180 by default) until the desktop's shell
// is there for the program's web addresses (the desktop process has registered its window with
// the shell's window list, as it does a moment after it starts), prints "ready" and then stays,
// so that the desktop process stays too, until it is ended. Exit code 1 when the shell did not
// come; what each look found is written to stderr as it changes.
#include <windows.h>
#include <exdisp.h>
#include <oleacc.h>
#include <shlobj.h>

#include <cstdio>
#include <string>
#include <utility>

namespace {
struct TFind {
    const wchar_t* Title;  // null: every title
    int Found;
};

std::string Utf8(const wchar_t* text)
{
    if (!text || !*text) return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (n <= 1) return {};
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), n, nullptr, nullptr);
    out.resize(static_cast<size_t>(n - 1));
    return out;
}

void Print(HWND top, HWND wnd)
{
    wchar_t cls[128];
    wchar_t text[512];
    GetClassNameW(wnd, cls, 128);
    GetWindowTextW(wnd, text, 512);
    RECT r;
    GetWindowRect(wnd, &r);
    const POINT onScreen{r.left, r.top};
    MapWindowPoints(HWND_DESKTOP, top, reinterpret_cast<POINT*>(&r), 2);
    const LONG style = GetWindowLongW(wnd, GWL_STYLE);
    int checked = -1;
    const LONG kind = style & BS_TYPEMASK;
    if (_wcsicmp(cls, L"Button") == 0 &&
        (kind == BS_CHECKBOX || kind == BS_AUTOCHECKBOX || kind == BS_3STATE || kind == BS_AUTO3STATE))
    {
        // The check state is the one read that the window's own thread answers: a thread that
        // is busy or hung must not hold the probe.
        DWORD_PTR state = 0;
        checked = SendMessageTimeoutW(wnd, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 5000, &state)
                      ? static_cast<int>(state) : -2;
    }
    std::printf("%p|%s|%s|%d|%d|%d|%ld,%ld,%ld,%ld|%ld,%ld|%d\n", static_cast<void*>(top), Utf8(cls).c_str(),
                Utf8(text).c_str(), IsWindowVisible(wnd) ? 1 : 0, IsWindowEnabled(wnd) ? 1 : 0, checked, r.left, r.top,
                r.right - r.left, r.bottom - r.top, onScreen.x, onScreen.y, GetForegroundWindow() == top ? 1 : 0);
}

BOOL CALLBACK PrintChild(HWND wnd, LPARAM lp)
{
    Print(reinterpret_cast<HWND>(lp), wnd);
    return TRUE;
}

BOOL CALLBACK PrintTop(HWND wnd, LPARAM lp)
{
    auto* find = reinterpret_cast<TFind*>(lp);
    wchar_t text[256];
    GetWindowTextW(wnd, text, 256);
    if (!IsWindowVisible(wnd) || (find->Title && wcscmp(text, find->Title) != 0)) return TRUE;
    ++find->Found;
    Print(wnd, wnd);
    EnumChildWindows(wnd, PrintChild, reinterpret_cast<LPARAM>(wnd));
    return TRUE;
}

// The words a screen reader's role and state bits are printed as; other roles (the plain
// client area that every panel and page has) are left out.
const std::pair<LONG, const char*> kRoles[] = {
    {ROLE_SYSTEM_STATICTEXT, "text"}, {ROLE_SYSTEM_PUSHBUTTON, "button"}, {ROLE_SYSTEM_CHECKBUTTON, "checkbox"},
    {ROLE_SYSTEM_LINK, "link"},       {ROLE_SYSTEM_GRAPHIC, "graphic"},   {ROLE_SYSTEM_ANIMATION, "animation"},
    {ROLE_SYSTEM_GROUPING, "group"},
};
const std::pair<LONG, const char*> kStates[] = {
    {STATE_SYSTEM_UNAVAILABLE, "unavailable"}, {STATE_SYSTEM_PRESSED, "pressed"},
    {STATE_SYSTEM_CHECKED, "checked"},         {STATE_SYSTEM_INVISIBLE, "invisible"},
    {STATE_SYSTEM_FOCUSABLE, "focusable"},     {STATE_SYSTEM_FOCUSED, "focused"},
    {STATE_SYSTEM_LINKED, "linked"},           {STATE_SYSTEM_ANIMATED, "animated"},
};

BOOL CALLBACK PrintAccessible(HWND child, LPARAM)
{
    IAccessible* acc = nullptr;
    // The interface ID as __uuidof: MinGW's IID_IAccessible from oleacc's import library is
    // the address of an import thunk, not the GUID.
    if (FAILED(AccessibleObjectFromWindow(child, OBJID_CLIENT, __uuidof(IAccessible), reinterpret_cast<void**>(&acc))) ||
        !acc)
        return TRUE;
    VARIANT self;
    VariantInit(&self);
    V_VT(&self) = VT_I4;
    V_I4(&self) = CHILDID_SELF;
    VARIANT role;
    VARIANT state;
    VariantInit(&role);
    VariantInit(&state);
    BSTR name = nullptr;
    acc->get_accName(self, &name);
    acc->get_accRole(self, &role);
    acc->get_accState(self, &state);
    const char* roleName = nullptr;
    for (const auto& [value, word] : kRoles)
        if (V_VT(&role) == VT_I4 && V_I4(&role) == value) roleName = word;
    if (roleName) {
        std::string words;
        for (const auto& [bit, word] : kStates)
            if (V_VT(&state) == VT_I4 && (V_I4(&state) & bit)) words += (words.empty() ? "" : ",") + std::string(word);
        std::printf("%s|%s|%s\n", Utf8(name).c_str(), roleName, words.c_str());
    }
    if (name) SysFreeString(name);
    VariantClear(&role);
    VariantClear(&state);
    acc->Release();
    return TRUE;
}

struct TFindMain {
    const wchar_t* Title;
    HWND Found;
};

BOOL CALLBACK FindMain(HWND wnd, LPARAM lp)
{
    auto* find = reinterpret_cast<TFindMain*>(lp);
    wchar_t cls[64];
    wchar_t text[256];
    GetClassNameW(wnd, cls, 64);
    GetWindowTextW(wnd, text, 256);
    if (!IsWindowVisible(wnd) || wcscmp(cls, L"TavrinoForm") != 0 || (find->Title && wcscmp(text, find->Title) != 0))
        return TRUE;
    find->Found = wnd;
    return FALSE;
}

int PrintWhatAScreenReaderHears(const wchar_t* title)
{
    TFindMain find{title, nullptr};
    EnumWindows(FindMain, reinterpret_cast<LPARAM>(&find));
    if (!find.Found) return 1;
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 2;
    EnumChildWindows(find.Found, PrintAccessible, 0);
    CoUninitialize();
    return 0;
}
// One look for the desktop's shell. What each step gave is written to stderr whenever it
// differs from the last look, with the milliseconds since the probe began, so that a wait
// that never ends shows where it stood.
bool DesktopShellRegistered(ULONGLONG began, std::string& last)
{
    const HWND desktop = GetDesktopWindow();  // Wine starts its desktop process for the first program that asks
    char steps[160];
    HRESULT created = E_FAIL, looked = E_FAIL;
    bool found = false;
    if (SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {
        IShellWindows* windows = nullptr;
        created = CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_LOCAL_SERVER, IID_PPV_ARGS(&windows));
        if (SUCCEEDED(created)) {
            VARIANT location;
            VariantInit(&location);
            V_VT(&location) = VT_I4;
            V_I4(&location) = CSIDL_DESKTOP;
            VARIANT root;
            VariantInit(&root);
            long window = 0;
            IDispatch* dispatch = nullptr;
            looked = windows->FindWindowSW(&location, &root, SWC_DESKTOP, &window, SWFO_NEEDDISPATCH, &dispatch);
            found = looked == S_OK && dispatch;
            if (dispatch) dispatch->Release();
            windows->Release();
        }
        CoUninitialize();
    }
    std::snprintf(steps, sizeof steps, "desktop window %p, ShellWindows 0x%08lx, FindWindowSW 0x%08lx",
                  static_cast<void*>(desktop), static_cast<unsigned long>(created), static_cast<unsigned long>(looked));
    if (last != steps) {
        last = steps;
        std::fprintf(stderr, "%llu ms: %s\n", static_cast<unsigned long long>(GetTickCount64() - began), steps);
        std::fflush(stderr);
    }
    return found;
}

int HoldTheDesktop(ULONGLONG limit)
{
    std::string last;
    for (const ULONGLONG began = GetTickCount64(); GetTickCount64() - began < limit;) {
        const ULONGLONG look = GetTickCount64();
        const bool found = DesktopShellRegistered(began, last);
        if (GetTickCount64() - look > 2000) {
            std::fprintf(stderr, "%llu ms: that look took %llu ms\n", static_cast<unsigned long long>(GetTickCount64() - began),
                         static_cast<unsigned long long>(GetTickCount64() - look));
            std::fflush(stderr);
        }
        if (found) {
            std::printf("ready\n");
            std::fflush(stdout);
            for (;;) Sleep(INFINITE);
        }
        Sleep(200);
    }
    return 1;
}
}  // namespace

int wmain(int argc, wchar_t** argv)
{
    int rc;
    if (argc > 1 && wcscmp(argv[1], L"--accessible") == 0) {
        rc = PrintWhatAScreenReaderHears(argc > 2 ? argv[2] : nullptr);
    } else if (argc > 1 && wcscmp(argv[1], L"--desktop") == 0) {
        rc = HoldTheDesktop(argc > 2 ? wcstoul(argv[2], nullptr, 10) * 1000ull : 180000ull);
    } else {
        TFind find{argc > 1 ? argv[1] : nullptr, 0};
        EnumWindows(PrintTop, reinterpret_cast<LPARAM>(&find));
        rc = find.Found ? 0 : 1;
    }
    std::fflush(stdout);
    return rc;
}
