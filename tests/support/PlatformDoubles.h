// The platform bundle over test doubles: the in-memory registry, inline threads, and fake
// network, update check, shell and update system, for tests that build the main window.
#pragma once

#include "app/Platform.h"
#include "support/FakeNetwork.h"
#include "support/FakeShell.h"
#include "support/FakeUpdate.h"
#include "support/InlineThreads.h"
#include "support/MemoryRegistry.h"
#include "support/UpdateDoubles.h"

struct TPlatformDoubles {
    TMemoryRegistry Registry;
    TInlineThreads Threads;
    TFakeNetwork Network;
    TFakeUpdate Update;
    TFakeShell Shell;
    TUpdateTestSystem System;
    TPlatform Platform{Registry, Threads, Network, Update, Shell, System};
};
