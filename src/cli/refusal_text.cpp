#include "cli/refusal_text.h"

#include <string_view>

#include "platform/int_conversion.h"
#include "requests/field_refusal.h"
#include "texts/engine_texts.h"
#include "texts/input_refusal_text.h"

namespace pst::cli {

namespace {

struct FieldName {
    std::string_view field;  // SettingField::name
    std::string_view cli;
};

constexpr FieldName kFieldNames[] = {
    {"sleepTime", "--sleep"},        {"poweroffTime", "--poweroff"}, {"BlueToolthType", "--type"},
    {"IPaddress", "--ip"},           {"Maskaddress", "--mask"},      {"Gatewayaddress", "--gateway"},
    {"Port", "--port"},              {"NetIPAddress", "ADDRESS"},    {"Subnetmask", "ADDRESS"},
    {"Gateway", "ADDRESS"},          {"NetPort", "PORT"},            {"WaitTime", "--wait"},
    {"FontAddress", "ADDRESS_HEX"},  {"LogoThreshold", "--threshold"}, {"StartAddress", "ADDRESS_HEX"},
    {"ReadLength", "LENGTH"},        {"Blacklookdistance", "MM"},    {"Blackwidth", "MM"},
    {"Cutteroptocoupler", "MM"},     {"DeviceSerialNo", "--serial"},
};

}  // namespace

std::string CliFieldName(const requests::SettingField& field)
{
    if (!field.cli.empty())
        return std::string(field.cli);
    for (const FieldName& name : kFieldNames)
        if (name.field == field.name)
            return std::string(name.cli);
    return std::string(field.name);
}

std::string CliRefusalText(const std::exception& refusal)
{
    if (const auto* field = dynamic_cast<const requests::EFieldRefusal*>(&refusal))
        return field->textFor(CliFieldName(field->field()));
    if (const auto* keyed = dynamic_cast<const EInvalidInput*>(&refusal))
        return InputRefusalText(*keyed);
    if (const auto* conversion = dynamic_cast<const EConvertError*>(&refusal))
        return InputRefusalText(*conversion);
    return EngineTextInLanguage(refusal.what());
}

}  // namespace pst::cli
