// Everything the main window uses of the system, gathered in one place: the program entry
// passes the Windows implementations, the tests pass doubles.
#pragma once

#include "common/UpdateService.h"
#include "system/NetworkService.h"
#include "system/RegistryFacility.h"
#include "system/Shell.h"
#include "system/Threads.h"

class IUpdateSystem;

struct TPlatform {
    IRegistry& Registry;
    IThreads& Threads;
    INetwork& Network;
    IUpdateCheck& Update;
    IShell& Shell;
    IUpdateSystem& System;  // the program file's version and the random generator
};
