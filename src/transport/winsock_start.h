#pragma once
// Winsock works only after WSAStartup; the program starts it once, at its
// first socket, and leaves it started until it ends. Windows only; internal
// to the transport library.

namespace pst {

void startWinsock();

}  // namespace pst
