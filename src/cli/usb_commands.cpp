#include "cli/usb_commands.h"

#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

#include "cli/command_help.h"
#include "cli/json_attach.h"
#include "texts/engine_texts.h"
#include "texts/message_texts.h"
#include "transport/usb_comm.h"
#include "transport/usb_device_list.h"

namespace pst::cli {

std::optional<std::vector<std::string>> usbDeviceIdentifiers(std::ostream& err)
{
    std::vector<std::string> identifiers;
    try {
        // Listed once: no need to watch devices come and go.
        TUSBComm usb(UsbSystemPaths::fromEnvironment(), false);
        usb.ListDevices(identifiers);
    } catch (const ECommsError& failure) {
        err << EngineTextInLanguage(failure.what()) << '\n';
        if (!failure.detail().empty())
            err << "  " << MessageText("sCauseMsg") << ": " << failure.detail() << '\n';
        return std::nullopt;
    }
    return identifiers;
}

int runListUsb(const CliOptions& options, std::ostream& out, std::ostream& err)
{
    if (!options.arguments.empty())
        return usageError(err, MessageWithValues("sNoArgumentsMsg", {"list-usb"}), "list-usb");
    const auto listed = usbDeviceIdentifiers(err);
    if (!listed)
        return 1;
    const std::vector<std::string>& identifiers = *listed;

    if (options.json) {
        nlohmann::ordered_json all = nlohmann::ordered_json::array();
        for (const auto& identifier : identifiers)
            all.push_back({{"identifier", identifier}, {"printer", IsPrinterIdentifier(identifier)}});
        attachJsonResult("devices", all);
        return 0;
    }
    bool printerFound = false;
    for (const auto& identifier : identifiers) {
        const bool printer = IsPrinterIdentifier(identifier);
        printerFound = printerFound || printer;
        out << (printer ? "* " : "  ") << identifier << '\n';
    }
    if (identifiers.empty()) {
        out << MessageText("sNoUsbDevicesMsg") << '\n';
        if (const std::string gap = usbListingGap(); !gap.empty())
            err << gap << '\n';
    }
    else if (!printerFound)
        out << MessageText("sNoUsbPrinterMsg") << '\n';
    return 0;
}

}  // namespace pst::cli
