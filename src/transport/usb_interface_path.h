#pragma once
// What a Windows USB device-interface path says about its device. Such a
// path has four parts separated by '#': a prefix ending in "usb", the
// hardware part ("vid_1234&pid_811e", or "vid_1234&pid_811e&mi_00" for one
// function of a composite device), an instance part and the interface
// class in braces. Pure text, so it is checked on every system.

#include <string>
#include <string_view>

namespace pst {

// The part between the first and the second '#', upper-cased:
// "\\?\usb#vid_1234&pid_811e#5&2c1b&0&1#{a5dcbf10-...}" gives
// "VID_1234&PID_811E". Without a second '#' the rest after the first is
// taken whole; without any '#', the whole path.
std::string usbIdentifierOfPath(std::string_view path);

}  // namespace pst
