#pragma once
// The system's own words for a Windows error code (GetLastError(),
// WSAGetLastError()), without the trailing full stop and line end, for the
// detail of a failure. Windows only.

#include <string>

namespace pst {

std::string windowsErrorText(unsigned long code);

}  // namespace pst
