// Program entry of Tavrino.exe: picks the Windows implementations and opens the main window.
#include <windows.h>
#include <objbase.h>

#include "app/Main.h"
#include "app/MainWindow_win.h"
#include "app/NetworkPrefetch.h"
#include "app/SingleInstance_win.h"
#include "common/Error.h"
#include "common/Translate_win.h"
#include "common/UpdateDialog_win.h"
#include "common/Update_win.h"
#include "styling/MarveticButtonStyles.h"
#include "system/Http_win.h"
#include "system/NetworkService_win.h"
#include "system/RegistryFacility_win.h"
#include "system/Shell_win.h"
#include "system/Threads_win.h"
#include "toolkit/Resources.h"
#include "toolkit/StartupTrace.h"
#include "toolkit/Window_win.h"

namespace {
// The DLL search is the system directory alone before any code of the program runs, the C
// runtime's start-up included (the stack protector seeds its guard there through
// CryptAcquireContextA, which loads a cryptographic provider by its bare name). Running
// elevated, the program must never load a DLL from the folder it was started from, such as a
// downloads folder. The loader calls the program's TLS callbacks, in the order of their
// sections, after it has loaded the static imports (all of them Known DLLs, or the common
// controls from the side-by-side store) and before the entry point.
void NTAPI RestrictDllSearch(PVOID, DWORD reason, PVOID)
{
    if (reason == DLL_PROCESS_ATTACH) SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
}
}  // namespace

// Before the C runtime's own TLS callbacks (".CRT$XLC" onwards).
#if defined(_MSC_VER)
#pragma section(".CRT$XLB", read)
#ifdef _WIN64
#pragma comment(linker, "/INCLUDE:_tls_used")
#pragma comment(linker, "/INCLUDE:tavrinoRestrictDllSearch")
#else
#pragma comment(linker, "/INCLUDE:__tls_used")
#pragma comment(linker, "/INCLUDE:_tavrinoRestrictDllSearch")
#endif
extern "C" __declspec(allocate(".CRT$XLB")) const PIMAGE_TLS_CALLBACK tavrinoRestrictDllSearch = RestrictDllSearch;
#else
extern "C" __attribute__((section(".CRT$XLB"), used)) const PIMAGE_TLS_CALLBACK tavrinoRestrictDllSearch = RestrictDllSearch;
#endif

namespace {
std::string ReadOwnResource(const std::u16string& name)
{
    TWinResources resources;
    auto data = resources.ReadRCData(name);
    if (!data) throw EAppError(u"The program has no resource " + name);
    return *data;
}
}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    StartupMark("entry");
    // The start-up steps of the shared units, before anything else.
    TranslateStartupWin();
    TWinUpdateSystem updateSystem;
    RegisterMarveticButtonStyles();
    StartupMark("catalogue and the units' start-up steps");

    if (AnotherInstanceRunning()) return 0;

    // The UI thread is a single-threaded COM apartment for the program's whole life: adapter
    // discovery and the connections manager make their COM calls on it. Never left: the
    // process ends right after the message loop.
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    StartupMark("instance check and COM");
    // The adapter search (WMI, in an apartment of its worker) runs while the window is made.
    TWinThreads threads;
    TWinNetwork windowsNetwork;
    TPrefetchedNetwork network(windowsNetwork, threads);
    SetResourceReader(ReadOwnResource);
    TWin32Toolkit toolkit;
    StartupMark("common controls and GDI+");
    TWinRegistry registry;
    TWinShell shell;
    TWinHttp http;
    TWinUpdateNotice notice(shell);
    TUpdate update(http, registry, threads, shell, updateSystem, notice);
    TPlatform platform{registry, threads, network, update, shell, updateSystem};
    StartupMark("system facilities");

    TMainWindow window;
    StartupMark("window and its controls");
    TFrmTavrino program(platform, window);
    RunCreateHandler(window.Wnd());
    ShowDescribedWindow(window.Wnd());  // paints it
    const int code = RunMessageLoop();
    // Ends here, at once: a refresh worker or the update check may still be running, and
    // they use the objects above, so nothing of this frame or of the process is torn down.
    ExitProcess(static_cast<UINT>(code));
}
