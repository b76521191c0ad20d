// Marks of the start-up's steps, for the benchmark's breakdown of the time from the creation
// of the process to its first painted window. They exist only in a build configured with
// TAVRINO_STARTUP_TRACE (the benchmark's own, never the shipped one): each step is noted once,
// with the milliseconds since the process was created, and the first paint of a window writes
// the notes to the file that the environment variable TAVRINO_STARTUP_TRACE names. Elsewhere
// a mark is nothing.
#pragma once

#ifdef TAVRINO_STARTUP_TRACE
void StartupMark(const char* step);
#else
inline void StartupMark(const char*) {}
#endif
