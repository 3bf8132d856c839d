#include "texts/engine_texts.h"

#include <array>
#include <string_view>

#include "texts/message_texts.h"

namespace pst {

namespace {

struct FixedText {
    std::string_view english;
    std::string_view key;
};

// Longer texts come before any text they contain, so that each part of a
// failure is replaced once and as a whole.
constexpr std::array<FixedText, 15> kFixedTexts{{
    {"Failed to open handle to HID device set", "sUsbListFailedMsg"},
    {"the user needs to be in the dialout group", "sDialoutHintMsg"},
    {"File handle is not a comm handle", "sNotCommHandleMsg"},
    {"This serial port already opened", "sSerialAlreadyOpenMsg"},
    {"in use by another program", "sInUseMsg"},
    {"Error opening serial port", "sOpenSerialFailedMsg"},
    {"Download Data Failed", "sDownloadDataFailedMsg"},
    {"Error open USB DEVICE", "sOpenUsbFailedMsg"},
    {"not a serial device", "sNotSerialDeviceMsg"},
    {"Set Baudrate Failed", "sSetSpeedFailedMsg"},
    {"Connecting Failed", "sConnectingFailedMsg"},
    {"Undefined Error", "sUndefinedErrorMsg"},
    {"Received Failed", "sReceivedFailedMsg"},
    {"Broadcast and multicast addresses are not a printer's address", "sGroupAddressMsg"},
    {"Cannot write", "sCannotWriteMsg"},
}};

}  // namespace

std::string EngineTextInLanguage(std::string text)
{
    // The search goes on after each replacement, so a translation that
    // contains its own English is not replaced again.
    for (const FixedText& fixed : kFixedTexts) {
        const std::string translation = MessageText(fixed.key);
        if (translation == fixed.english)
            continue;
        for (std::size_t at = text.find(fixed.english); at != std::string::npos;
             at = text.find(fixed.english, at + translation.size()))
            text.replace(at, fixed.english.size(), translation);
    }
    return text;
}

}  // namespace pst
