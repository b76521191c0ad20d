// Reads the state of a running program's windows from outside it, through the windows' own
// data (class, text, styles, check state); what screen readers hear is the program's
// accessibility objects, which tests/wine/app_accessibility.sh reads. For every visible
// top-level window (with the given title, when one is given) and every window below it, one
// line "top|class|text|visible|enabled|checked|left,top,width,height": top tells the
// top-level windows apart, the position is in the client coordinates of the top-level
// window, checked is -1 for what is not a check box. Exit code 1 when no window matched.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {
struct TFind {
    const wchar_t* Title;  // null: every title
    int Found;
};

void Print(HWND top, HWND wnd)
{
    wchar_t cls[128];
    wchar_t text[512];
    GetClassNameW(wnd, cls, 128);
    GetWindowTextW(wnd, text, 512);
    RECT r;
    GetWindowRect(wnd, &r);
    MapWindowPoints(HWND_DESKTOP, top, reinterpret_cast<POINT*>(&r), 2);
    const LONG style = GetWindowLongW(wnd, GWL_STYLE);
    int checked = -1;
    const LONG kind = style & BS_TYPEMASK;
    if (_wcsicmp(cls, L"Button") == 0 &&
        (kind == BS_CHECKBOX || kind == BS_AUTOCHECKBOX || kind == BS_3STATE || kind == BS_AUTO3STATE))
        checked = static_cast<int>(SendMessageW(wnd, BM_GETCHECK, 0, 0));
    const std::string line = [&] {
        char buf[2048];
        int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, buf, sizeof buf, nullptr, nullptr);
        return std::string(buf, n > 0 ? n - 1 : 0);
    }();
    char name[256];
    WideCharToMultiByte(CP_UTF8, 0, cls, -1, name, sizeof name, nullptr, nullptr);
    std::printf("%p|%s|%s|%d|%d|%d|%ld,%ld,%ld,%ld\n", static_cast<void*>(top), name, line.c_str(), IsWindowVisible(wnd) ? 1 : 0,
                IsWindowEnabled(wnd) ? 1 : 0, checked, r.left, r.top, r.right - r.left,
                r.bottom - r.top);
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
}  // namespace

int wmain(int argc, wchar_t** argv)
{
    TFind find{argc > 1 ? argv[1] : nullptr, 0};
    EnumWindows(PrintTop, reinterpret_cast<LPARAM>(&find));
    std::fflush(stdout);
    return find.Found ? 0 : 1;
}
