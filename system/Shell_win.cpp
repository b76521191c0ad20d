#include "system/Shell_win.h"

#include <windows.h>
#include <exdisp.h>
#include <servprov.h>
#include <shldisp.h>
#include <shlguid.h>
#include <shlobj.h>

#include "common/WinText_win.h"
#include "system/ComPtr_win.h"

namespace {
// The desktop's shell dispatch object: the shell window that shows the desktop, its top-level
// browser, the active view's background object and that view's Application. Each step may fail
// (no Explorer, another shell, a desktop that is still starting): nothing then.
TComPtr<IShellDispatch2> DesktopShellDispatch(HWND& Desktop)
{
    TComPtr<IShellDispatch2> result;
    TComPtr<IShellWindows> windows;
    if (FAILED(CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_LOCAL_SERVER,
                                IID_PPV_ARGS(windows.Out()))))
        return result;
    TVariant location;
    location.Get()->vt = VT_I4;
    location.Get()->lVal = CSIDL_DESKTOP;
    TVariant root;
    long window = 0;
    TComPtr<IDispatch> dispatch;
    if (windows->FindWindowSW(location.Get(), root.Get(), SWC_DESKTOP, &window, SWFO_NEEDDISPATCH,
                              dispatch.Out()) != S_OK ||
        !dispatch)
        return result;
    Desktop = reinterpret_cast<HWND>(static_cast<LONG_PTR>(window));
    TComPtr<IServiceProvider> provider;
    TComPtr<IShellBrowser> browser;
    TComPtr<IShellView> view;
    TComPtr<IDispatch> background;
    TComPtr<IShellFolderViewDual> folderView;
    TComPtr<IDispatch> application;
    if (FAILED(dispatch->QueryInterface(IID_PPV_ARGS(provider.Out()))) ||
        FAILED(provider->QueryService(SID_STopLevelBrowser, IID_PPV_ARGS(browser.Out()))) ||
        FAILED(browser->QueryActiveShellView(view.Out())) || !view ||
        FAILED(view->GetItemObject(SVGIO_BACKGROUND, IID_PPV_ARGS(background.Out()))) ||
        FAILED(background->QueryInterface(IID_PPV_ARGS(folderView.Out()))) ||
        FAILED(folderView->get_Application(application.Out())) || !application)
        return result;
    application->QueryInterface(IID_PPV_ARGS(result.Out()));
    return result;
}
}  // namespace

bool TWinDesktopShell::Open(const std::u16string& target)
{
    const TComInit com;
    HWND desktop = nullptr;
    const TComPtr<IShellDispatch2> shell = DesktopShellDispatch(desktop);
    if (!shell) return false;
    // The browser is started by the desktop's process: let it come to the front.
    DWORD process = 0;
    if (desktop && GetWindowThreadProcessId(desktop, &process) && process)
        AllowSetForegroundWindow(process);
    const TBstr file(WStr(target));
    if (!file.Get()) return false;
    TVariant arguments;
    TVariant folder;
    TVariant verb;
    const TBstr open(L"open");
    verb.Get()->vt = VT_BSTR;
    verb.Get()->bstrVal = open.Get();
    TVariant show;
    show.Get()->vt = VT_I4;
    show.Get()->lVal = SW_SHOWNORMAL;
    const HRESULT hr = shell->ShellExecute(file.Get(), *arguments, *folder, *verb, *show);
    verb.Get()->vt = VT_EMPTY;  // the BSTR belongs to open
    return SUCCEEDED(hr);
}

bool TWinShell::ShellOpen(const std::u16string& target)
{
    TWinDesktopShell desktop;
    return OpenAsUser(desktop, target);
}

int TWinShell::ShowMessageBox(const std::u16string& text, const std::u16string& caption,
                          std::uint32_t flags)
{
    return MessageBoxW(GetActiveWindow(), WStr(text), WStr(caption), flags);
}

bool TWinShell::IsForeground(void* window)
{
    return !window || GetForegroundWindow() == static_cast<HWND>(window);
}

void TWinShell::FlashTaskbarButton(void* window)
{
    if (!window) return;
    FLASHWINFO info = {};
    info.cbSize = sizeof(info);
    info.hwnd = static_cast<HWND>(window);
    info.dwFlags = FLASHW_TRAY | FLASHW_TIMERNOFG;  // until the window is in the foreground
    FlashWindowEx(&info);
}
