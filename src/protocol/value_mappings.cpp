#include "protocol/value_mappings.h"

#include <string>

#include "protocol/input_error.h"
#include "protocol/speed_code.h"

namespace pst {

void RequirePosition(int position, int count, std::string_view what, bool allowNone)
{
    if (position == kNoSelection && allowNone)
        return;
    if (position < 0 || position >= count)
        throw EInvalidInput("No such " + std::string(what) + " item: " + std::to_string(position) +
                            " (positions run from 0 to " + std::to_string(count - 1) + ")");
}

std::uint8_t CodePageByte(int position)
{
    RequirePosition(position, static_cast<int>(kCodePageItems.size()), "code page", true);
    switch (position) {
    case kNoSelection:
        return 255;
    case 0:
        return 252;
    case 1:
        return 253;
    case 2:
        return 254;
    case 3:
        return 255;
    case 52:
        return 250;
    default:
        return static_cast<std::uint8_t>(position - 4);
    }
}

std::uint8_t BaudRateSpeedCode(int position)
{
    RequirePosition(position, static_cast<int>(kBaudRateItems.size()), "baud rate", true);
    if (position == kNoSelection)
        return 0;
    return SpeedCode(static_cast<std::uint32_t>(std::stoul(std::string(kBaudRateItems[position]))));
}

std::optional<std::uint32_t> SpeedForCode(std::uint32_t code)
{
    if (code >= kSpeedByCode.size())
        return std::nullopt;
    return kSpeedByCode[code];
}

std::uint8_t OptionFlagsByte(int densityPosition, int fontPosition, bool cutter, bool buzzer)
{
    static constexpr std::array<std::uint8_t, 4> kDensity{0x00, 0x80, 0x01, 0x81};
    static constexpr std::array<std::uint8_t, 4> kFont{0x00, 0x40, 0x08, 0x48};
    RequirePosition(densityPosition, kDensityItemCount, "print density", true);
    RequirePosition(fontPosition, static_cast<int>(kFontItems.size()), "font", true);
    std::uint8_t flags = densityPosition == kNoSelection ? 0xFF : kDensity[densityPosition];
    if (fontPosition != kNoSelection)
        flags |= kFont[fontPosition];
    if (cutter)
        flags |= 0x20;
    if (buzzer)
        flags |= 0x04;
    return flags;
}

std::uint8_t PaperFeedByte(int position)
{
    RequirePosition(position, static_cast<int>(kPaperFeedItems.size()), "paper feed", true);
    return position == kNoSelection ? 0xFF : static_cast<std::uint8_t>(position);
}

std::uint8_t BluetoothModeByte(int position)
{
    static constexpr std::array<std::uint8_t, 3> kMode{0, 1, 3};
    RequirePosition(position, kBluetoothModeItemCount, "Bluetooth mode", false);
    return kMode[position];
}

std::uint8_t PasswordCheckByte(int position)
{
    static constexpr std::array<std::uint8_t, 3> kCheck{1, 2, 0};
    RequirePosition(position, kPasswordCheckItemCount, "password check", false);
    return kCheck[position];
}

std::uint8_t InterfaceOptionByte(InterfaceOption option, int position)
{
    switch (option) {
    case InterfaceOption::UsbDeviceType:
        RequirePosition(position, kTwoItemListCount, "USB device type", false);
        return static_cast<std::uint8_t>(position);
    case InterfaceOption::PaperType:
        RequirePosition(position, kTwoItemListCount, "paper type", false);
        return static_cast<std::uint8_t>(position);
    case InterfaceOption::PrintOrder:
        RequirePosition(position, kTwoItemListCount, "print order", false);
        return position == 0 ? 0xF1 : 0xF0;
    }
    throw EInvalidInput("No such interface option: " + std::to_string(static_cast<int>(option)));
}

}  // namespace pst
