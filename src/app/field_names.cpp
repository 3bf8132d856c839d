#include "app/field_names.h"

#include <string_view>

namespace pst::app {

namespace {

bool endsWith(std::string_view text, std::string_view tail)
{
    return text.size() >= tail.size() && text.substr(text.size() - tail.size()) == tail;
}

}  // namespace

std::string FieldNameFromLabel(const std::string& label, int place)
{
    std::string name;
    name.reserve(label.size());
    // "&" marks a shortcut letter; "&&" is a written "&".
    for (std::size_t i = 0; i < label.size(); ++i) {
        if (label[i] == '&' && i + 1 < label.size())
            ++i;
        name += label[i];
    }
    for (bool trimmed = true; trimmed;) {
        trimmed = false;
        for (std::string_view tail : {":", "：", " "}) {
            if (endsWith(name, tail)) {
                name.resize(name.size() - tail.size());
                trimmed = true;
            }
        }
    }
    if (place > 1)
        name += " " + std::to_string(place);
    return name;
}

}  // namespace pst::app
