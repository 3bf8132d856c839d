#pragma once
// The messages the worker sends to the window that started an operation.

namespace pst {

inline constexpr unsigned WM_USER = 1024;
inline constexpr unsigned UM_LINK_OK = WM_USER;          // sent, waits; lParam = device type
inline constexpr unsigned UM_STATUS = WM_USER + 1;       // posted; a new status text is ready
inline constexpr unsigned UM_OP_DONE = WM_USER + 2;      // sent, waits; the run succeeded
inline constexpr unsigned UM_OP_FAILED = WM_USER + 3;    // posted; wParam = error code 1 or 2
inline constexpr unsigned UM_LINK_FAILED = WM_USER + 4;  // sent, waits; lParam = device type
// Posted after a run whose "debug.log" could not be written; the reason is
// the status board's logSaveError().
inline constexpr unsigned UM_LOG_NOT_SAVED = WM_USER + 5;

}  // namespace pst
