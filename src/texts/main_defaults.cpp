#include "texts/main_defaults.h"

namespace pst::texts {

MainDefaults readMainDefaults(const IniDocument& file)
{
    MainDefaults defaults;
    defaults.ipAddress = file.readString(kMainDefaultSection, "IP Address", defaults.ipAddress);
    defaults.language = file.readInteger(kMainDefaultSection, "Language", 0);
    defaults.languageStored = file.value(kMainDefaultSection, "Language").has_value();
    const int tranMode = file.readInteger(kMainDefaultSection, "TranMode", 0);
    if (tranMode >= 0 && tranMode <= 3)
        defaults.tranMode = tranMode;
    return defaults;
}

std::string saveMainDefaults(const std::string& path, const std::string& ipAddress, int language,
                             int tranMode)
{
    return changeIniFile(path, [&](IniDocument& file) {
        file.writeString(kMainDefaultSection, "IP Address", ipAddress);
        file.writeInteger(kMainDefaultSection, "Language", language);
        file.writeInteger(kMainDefaultSection, "TranMode", tranMode);
    });
}

}  // namespace pst::texts
