#include "cli/printer_lists.h"

#include <initializer_list>
#include <span>
#include <string_view>

#include "texts/message_texts.h"
#include "protocol/value_mappings.h"

namespace pst::cli {

namespace {

// Fixed item texts; a code-page item is also known by its name before the
// colon or blank ("CP850" for "CP850:Latin1;Western European").
ListNames fromItems(std::span<const std::string_view> items, bool withShortName = false)
{
    ListNames names;
    for (std::string_view item : items) {
        std::vector<std::string> spellings{std::string(item)};
        const std::size_t cut = item.find_first_of(": ");
        if (withShortName && cut != std::string_view::npos)
            spellings.push_back(std::string(item.substr(0, cut)));
        names.push_back(std::move(spellings));
    }
    return names;
}

// English names, one list per position, then the translatable item texts.
ListNames withItemList(std::initializer_list<std::initializer_list<const char*>> english,
                       std::string_view section)
{
    ListNames names;
    for (const auto& spellings : english)
        names.emplace_back(spellings.begin(), spellings.end());
    const std::vector<std::string> items = ItemList(section);
    for (std::size_t i = 0; i < items.size() && i < names.size(); ++i)
        names[i].push_back(items[i]);
    return names;
}

}  // namespace

ListNames codePageNames()
{
    // Exact texts first: "Iran" must not also match "Iran II" by its short name.
    ListNames names = fromItems(kCodePageItems, true);
    for (std::size_t i = 0; i < names.size(); ++i)
        for (std::size_t j = 0; j < names.size(); ++j)
            if (i != j && names[i].size() > 1 && names[i][1] == names[j][0])
                names[i].pop_back();
    return names;
}

ListNames baudRateNames()
{
    return fromItems(kBaudRateItems);
}

ListNames densityNames()
{
    return withItemList({{"light"}, {"normal"}, {"slightly-dark"}, {"dark"}}, "Dark description");
}

ListNames fontNames()
{
    return fromItems(kFontItems);
}

ListNames paperFeedNames()
{
    return {{"0x0A", "LF"}, {"0x0D", "CR"}};
}

ListNames flowControlNames()
{
    return withItemList({{"software", "xon-xoff"}, {"hardware", "rts-cts"}}, "Flow control");
}

ListNames bluetoothHidingNames()
{
    return withItemList({{"on", "hide"}, {"off", "show"}}, "Bluetooth SEEK");
}

ListNames bluetoothModeNames()
{
    return withItemList({{"none"}, {"single"}, {"dual"}}, "Blue ToolthMode");
}

ListNames passwordCheckNames()
{
    return withItemList({{"required"}, {"masked"}, {"none"}}, "Blue PSWCheck");
}

ListNames workModeNames()
{
    return withItemList({{"high-speed"}, {"normal"}}, "BlueToolth WorkMode");
}

ListNames infraredSpeedNames()
{
    return fromItems(kInfraredSpeedItems);
}

ListNames irdaProtocolNames()
{
    return withItemList({{"raw"}, {"irda"}}, "irda Protecl");
}

ListNames usbTypeNames()
{
    return withItemList({{"virtual-serial"}, {"printer"}}, "USB Device Type");
}

ListNames paperTypeNames()
{
    return withItemList({{"receipt"}, {"label"}}, "Paper Type");
}

ListNames printOrderNames()
{
    return withItemList({{"reverse"}, {"normal"}}, "Printer Order");
}

}  // namespace pst::cli
