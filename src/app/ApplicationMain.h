#pragma once

// The program's life once the platform's application exists, the same on every platform: the
// one application object's start-up. Returns the process's exit code.
int RunApplication();
