// Program entry of Tavrino.exe: picks the Windows implementations and opens the main window.
#include <windows.h>
#include <objbase.h>

#include "app/Main.h"
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
#include "toolkit/Threads_win.h"
#include "toolkit/Win32Toolkit_win.h"

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
    // The start-up steps of the shared units, before anything else.
    TranslateStartupWin();
    TWinUpdateSystem updateSystem;
    RegisterMarveticButtonStyles();

    if (AnotherInstanceRunning()) return 0;

    // The UI thread is a single-threaded COM apartment for the program's whole life: adapter
    // discovery and the connections manager make their COM calls on it. Never left: the
    // process ends right after the message loop.
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    SetResourceReader(ReadOwnResource);
    TWin32Toolkit toolkit;
    TWinRegistry registry;
    TWinThreads threads;
    TWinShell shell;
    TWinNetwork network;
    TWinHttp http;
    TWinUpdateNotice notice(shell);
    TUpdate update(http, registry, threads, shell, updateSystem, notice);
    TPlatform platform{registry, threads, network, update, shell, updateSystem};

    Application().MainFormOnTaskBar = true;
    TFrmTavrino form(platform);
    Application().MainForm = &form;
    RealizeForm(form);
    form.DoCreate();
    if (form.CloseRequested()) return 0;
    ShowForm(form);
    const int code = RunMessageLoop();
    // Ends here, at once: a refresh worker or the update check may still be running, and
    // they use the objects above, so nothing of this frame or of the process is torn down.
    ExitProcess(static_cast<UINT>(code));
}
