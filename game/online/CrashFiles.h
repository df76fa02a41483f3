#pragma once
// The crash files the engine leaves in the user data folder when the game fails: "crash." + game id +
// ".log" (the log), ".mdmp" (the dump), ".jpg" (the screenshot) and ".net" (the traffic record). Each
// path is the user data folder followed by the name.
#include <string>

#include "engine/core/UString.h"

UString getCrashLogFileName();
UString getCrashLogPath();
UString getCrashDumpFileName();
UString getCrashDumpPath();
UString getCrashScreenshotFileName();
UString getCrashScreenshotPath();
UString getCrashTrafficFileName();
UString getCrashTrafficPath();

namespace CrashFiles {
// A crash report is offered when the log or the dump was left behind.
bool reportWaiting();
// Removes all four files (missing ones are no error).
void removeAll();
} // namespace CrashFiles
