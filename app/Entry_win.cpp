// Program entry of Tavrino.exe: picks the Windows implementations and opens the main window.
#include <windows.h>
#include <objbase.h>

#include <cstdlib>

#include "app/Main.h"
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
#include "toolkit/Resources.h"
#include "toolkit/StartupTrace.h"
#include "system/Threads_win.h"
#include "toolkit/Win32Toolkit_win.h"

#if defined(__GLIBCXX__)
// An error that nothing catches ends the program at once, as std::abort does. The C++
// runtime's default handler would first print the error's demangled type to the console that
// a windowed program does not have; its demangler is a twelfth of the file.
namespace __gnu_cxx {
void __verbose_terminate_handler()
{
    std::abort();
}
}  // namespace __gnu_cxx
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
    SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);  // elevated: never a DLL from beside us
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

    Application().MainFormOnTaskBar = true;
    TFrmTavrino form(platform);
    Application().MainForm = &form;
    StartupMark("window description");
    RealizeForm(form);
    StartupMark("controls realised");
    form.DoCreate();
    if (form.CloseRequested()) return 0;
    ShowForm(form);  // paints it
    const int code = RunMessageLoop();
    // Ends here, at once: a refresh worker or the update check may still be running, and
    // they use the objects above, so nothing of this frame or of the process is torn down.
    ExitProcess(static_cast<UINT>(code));
}
