#pragma once

// Whether a file without write permission stays closed to writing for this process. Not for
// root on Linux, which may write any file; always on Windows, where even an administrator
// must first take a file's read-only attribute away.
bool WriteProtectionHolds();
