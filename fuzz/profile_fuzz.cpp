// Profiles ("sysconfig.ini" and any INI file) as apply and the parameter
// window's import read them: any text gives groups that are either sendable
// or refused with an input error that names why, and never another failure;
// a group the check finds sendable builds requests for every printer.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "platform/ini_file.h"
#include "platform/input_error.h"
#include "platform/int_conversion.h"
#include "requests/profile.h"

namespace {

using namespace pst::requests;

// Refused or built: an input error is a refusal, any other exception a fault.
bool builds(const ProfileGroup& group, const Profile& profile, const ProfileLists& lists, std::size_t printer)
{
    try {
        (void)GroupRequests(group, profile, lists, printer);
        return true;
    } catch (const pst::EInvalidInput&) {
    } catch (const pst::EConvertError&) {
    } catch (const std::exception& other) {
        std::fprintf(stderr, "group %s fails other than by refusing its input: %s\n",
                     std::string(group.name).c_str(), other.what());
        std::abort();
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // The section the profile lives in, so that short inputs reach the groups.
    const std::string text = "[ParaDefault]\n" + std::string(reinterpret_cast<const char*>(data), size);
    const Profile profile = Profile::read(pst::IniDocument::parse(text));
    const ProfileLists lists;  // the built-in texts; reading language files would make each run slow

    for (const GroupCheck& check : CheckProfile(profile, lists)) {
        PST_FUZZ_CHECK(check.group != nullptr);
        PST_FUZZ_CHECK(check.present == check.missingKeys.empty());
        PST_FUZZ_CHECK(check.present == profile.holds(*check.group));
        if (!check.present || check.empty) {
            PST_FUZZ_CHECK(check.error.empty());
            continue;
        }
        PST_FUZZ_CHECK(builds(*check.group, profile, lists, 0) == check.error.empty());
        if (check.error.empty())
            (void)builds(*check.group, profile, lists, 7);  // the serial number stepped
    }
    // Stepped three times; a serial number that is no number is refused as
    // the product group refuses it (SteppedSerialNumber).
    try {
        (void)SerialNumberFor(profile, 3);
    } catch (const pst::EConvertError&) {
    }

    const ImportedProfile imported = ImportProfile(profile, ReadParaRecord(pst::IniDocument()), lists);
    PST_FUZZ_CHECK(imported.values.size() == ReadParaRecord(pst::IniDocument()).size());
    return 0;
}
