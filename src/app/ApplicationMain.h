#pragma once

#include "app/CommandLine.h"

// The program's life once the platform's application exists, the same on every platform: the
// one application object's start-up, for what the command line asked. Returns the process's
// exit code.
int RunApplication(const RunOptions& options);
