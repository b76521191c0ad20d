// Drives the update notice from a helper thread in the Wine tests: waits until the notice of
// this process is shown, reads what a person would see (title, texts, control places, topmost
// flag, owner), optionally pauses for a screenshot, then acts on it (a click, the close box).
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <string>
#include <thread>

struct TSeenNotice {
    bool Found = false;
    std::u16string Title, Message, Yes, No, HoldText, LinkText;
    RECT Outer = {};                 // screen coordinates
    SIZE Client = {};
    std::map<int, RECT> Controls;   // by identifier, in client coordinates
    bool Topmost = false;
    bool OwnerDisabled = false;
    HWND Owner = nullptr;
    UINT Dpi = 0;
};

class TNoticeDriver {
public:
    // Act runs on the helper thread with the notice window; Shot names the screenshot that
    // the script takes when TAVRINO_NOTICE_SHOTS names a directory.
    TNoticeDriver(std::function<void(HWND)> Act, std::string Shot = {});
    ~TNoticeDriver();
    TNoticeDriver(const TNoticeDriver&) = delete;
    TNoticeDriver& operator=(const TNoticeDriver&) = delete;
    // Waits for the helper thread; what it saw.
    const TSeenNotice& Seen();

private:
    void Run();
    DWORD FUIThread;
    std::function<void(HWND)> FAct;
    std::string FShot;
    TSeenNotice FSeen;
    std::thread FThread;
};

// A click on a button or a static control of the notice, as the mouse makes it.
void ClickControl(HWND Notice, int Id);
