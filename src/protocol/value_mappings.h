#pragma once
// How a list position or a check box becomes the byte the printer receives.
// Each mapping lives here and nowhere else; a position of -1 stands for a
// list with nothing selected.

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace pst {

inline constexpr int kNoSelection = -1;

// cbb_Codepage, 53 items.
inline constexpr std::array<std::string_view, 53> kCodePageItems{
    "CP932 SHIFT_JIS",
    "UNICODE UCS-2",
    "CP950:BIG5",
    "CP936:GBK",
    "CP437:USA/Standard Europe",
    "Katakana",
    "CP850:Latin1;Western European",
    "CP860:Portuguese",
    "CP863:French Canadian",
    "CP865:Nordic",
    "CP1251:Cyrillic",
    "CP866:Russian;Cyrillic",
    "CP1025:Cyrillic/Bulgarian",
    "CP773:Estonian/Lithuanian/Latvian",
    "Iran",
    "Reversed",
    "Reversed",
    "Reversed",
    "Reversed",
    "CP862:Hebrew",
    "CP1252:Latin1",
    "CP1253:Greek",
    "CP852:Latin2",
    "CP858:Latin1+Euro",
    "Iran II",
    "CP1117:Latvian",
    "CP864:Arabic",
    "ISO-8859-1:West Europe",
    "CP737:Greek",
    "CP1257:Baltic",
    "Thai",
    "CP720:Arabic",
    "CP855:Cyrillic",
    "CP857:Turkish",
    "CP1250:Central Eurpoe",
    "CP775:Estonian/Lithuanian/Latvian",
    "CP1254:Turkish",
    "CP1255:Hebrew",
    "CP1256:Arabic",
    "CP1258:Vietnam",
    "ISO-8859-2:Latin2",
    "ISO-8859-3:Latin3",
    "ISO-8859-4:Baltic",
    "ISO-8859-5:Cyrillic",
    "ISO-8859-6:Arabic",
    "ISO-8859-7:Greek",
    "ISO-8859-8:Hebrew",
    "ISO-8859-9:Turkish",
    "ISO-8859-15:Latin3",
    "Thai2",
    "CP856:Hebrew",
    "CP874:Thai",
    "EUC-KR",
};

// cbb_BauRate: the printer's serial speeds.
inline constexpr std::array<std::string_view, 9> kBaudRateItems{"1200",  "2400",  "4800",   "9600",  "19200",
                                                                "38400", "57600", "115200", "230400"};

// cbb_FontValue and cbb_Forcepaper.
inline constexpr std::array<std::string_view, 4> kFontItems{"9x17", "12x24", "9x24", "16x18"};
inline constexpr std::array<std::string_view, 2> kPaperFeedItems{"0X0A", "0X0D"};

// cbb_InfraredBaurate.
inline constexpr std::array<std::string_view, 5> kInfraredSpeedItems{"9600", "19200", "38400", "57600",
                                                                     "115200"};

// Item counts of the translatable lists (their texts are in the message
// texts' item lists).
inline constexpr int kDensityItemCount = 4;
inline constexpr int kBluetoothModeItemCount = 3;
inline constexpr int kPasswordCheckItemCount = 3;
inline constexpr int kWorkModeItemCount = 2;
inline constexpr int kIrdaProtocolItemCount = 2;
inline constexpr int kTwoItemListCount = 2;  // USB type, paper type, print order, flow control, hiding

// Code page byte: 252..255 for the first four items, position - 4 for the
// 48 single-byte pages, 250 for "EUC-KR", 255 with nothing selected.
std::uint8_t CodePageByte(int position);

// SpeedCode of the chosen cbb_BauRate item; 0 with nothing selected.
std::uint8_t BaudRateSpeedCode(int position);

// The speed a SpeedCode stands for; nothing for a code outside the table.
std::optional<std::uint32_t> SpeedForCode(std::uint32_t code);

// Option flags byte: density (cbb_Dark) as the starting value, 0xFF with
// nothing selected; font, cutter and buzzer bits ORed into it.
std::uint8_t OptionFlagsByte(int densityPosition, int fontPosition, bool cutter, bool buzzer);

// Paper-feed character byte: the cbb_Forcepaper position, 0xFF with nothing
// selected.
std::uint8_t PaperFeedByte(int position);

// rg_lyMode: no Bluetooth 0, single-mode 1, dual-mode 3.
std::uint8_t BluetoothModeByte(int position);

// rg_lyPswcheck: password required 1, required (masked) 2, none 0.
std::uint8_t PasswordCheckByte(int position);

// The third byte of the interface options: 12 55 n, 1F 41 n, 1B 7B n.
enum class InterfaceOption { UsbDeviceType = 0, PaperType = 1, PrintOrder = 2 };
std::uint8_t InterfaceOptionByte(InterfaceOption option, int position);

// Throws EInvalidInput naming `what` unless position is kNoSelection (when
// `allowNone`) or lies in 0..count-1.
void RequirePosition(int position, int count, std::string_view what, bool allowNone);

}  // namespace pst
