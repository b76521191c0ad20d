// One instance per logon, through the named mutex "TavrinoMutex" (per-logon namespace).
#pragma once

// True when another instance already made the mutex; the caller then ends at once, silently.
// Otherwise the mutex is created with this process as its initial owner, and its handle stays
// open until the process ends.
bool AnotherInstanceRunning();
