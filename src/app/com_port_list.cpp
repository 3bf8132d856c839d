#include "app/com_port_list.h"

#include <algorithm>

namespace pst::app {

ComPortChoices comPortChoices(const std::vector<std::string>& foundPorts,
                              const std::vector<std::string>& namedPorts)
{
    ComPortChoices choices;
    for (const auto* list : {&namedPorts, &foundPorts})
        for (const auto& port : *list)
            if (!port.empty() &&
                std::find(choices.items.begin(), choices.items.end(), port) == choices.items.end())
                choices.items.push_back(port);
    if (!choices.items.empty()) {
        choices.selectFirst = true;
        return choices;
    }
    for (int n = 1; n <= 30; ++n)
        choices.items.push_back("COM" + std::to_string(n));
    return choices;
}

}  // namespace pst::app
