#pragma once
// The numbered operations the worker runs. The numbers are the ones the
// windows and the command line have always started them by, and are kept:
// events and log lines still carry them.

namespace pst {

enum class Operation : int {
    LinkTest = 1,
    ReadMemoryBlock = 2,
    FontDownload = 3,
    ProgramUpdate = 4,
    SetIp = 5,
    SetCodePage = 6,
    LogoDownload = 7,
    SetBaudRate = 8,
    SetSwitchOptionsAlone = 9,  // the same command as SetSwitchOptions, started by no control
    RestoreDefaults = 10,
    SetBluetooth = 11,
    SetWifiStation = 12,
    CloseWifi = 13,
    SetInfrared = 14,
    SetProduct = 15,
    ReadFontMemory = 16,
    PrintLogos = 17,
    SetSleepTimes = 18,
    SetAllParameters = 19,
    SetSwitchOptions = 20,
    SetWifiAccessPoint = 21,
    SendBluetoothControl = 22,
    SetInterfaceOption = 23,  // USB device type, paper type or print order
    SetRecyclingTime = 24,
    FirmwareUpdate = 25,
    RawPair8D00 = 26,
    BluetoothHidingOff = 27,
    BootHandshake = 28,
    RawPair8D01 = 29,
    BluetoothHidingOn = 30,
    SetBlackMarkMode = 31,
    CancelBlackMark = 32,
    SetBlackMarkDistance = 33,
    SetBlackMarkWidth = 34,
    SetFeedAfterMark = 35,
    FindBlackMark = 36,
    SetEthernetMask = 37,
    SetEthernetGateway = 38,
    SetEthernetPort = 39,
    SetEthernetMac = 40,
    SetEthernetIp = 41,
    FlowControlSoftware = 42,
    FlowControlHardware = 43,
    FindBlackMarkAndCut = 44,
    BlackMarkTestPrint = 45,
};

inline constexpr int kFirstOperation = 1;
inline constexpr int kLastOperation = 45;

constexpr int operationNumber(Operation operation) { return static_cast<int>(operation); }

}  // namespace pst
