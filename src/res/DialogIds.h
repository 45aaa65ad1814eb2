#pragma once

// Identifiers every dialog shares: its OK and Cancel buttons, which also close it.
constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;
