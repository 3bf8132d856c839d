#pragma once
// A described setting group's request from texts, one per field in order
// (lists by position, check boxes 1 or 0), read as a front end reads them.

#include <string>
#include <vector>

#include "requests/field_refusal.h"
#include "requests/setting_group.h"

namespace pst::test {

class TextReader final : public requests::FieldReader {
public:
    explicit TextReader(std::vector<std::string> texts) : texts_(std::move(texts)) { }

    std::int32_t number(const requests::SettingField& field) override
    {
        return requests::FieldValue(field, text(field));
    }
    std::string text(const requests::SettingField&) override { return texts_.at(next_++); }
    int position(const requests::SettingField& field) override { return std::stoi(text(field)); }
    bool onOff(const requests::SettingField& field) override { return text(field) == "1"; }

private:
    std::vector<std::string> texts_;
    std::size_t next_ = 0;
};

inline std::vector<requests::Request> groupRequests(std::string_view group, std::vector<std::string> texts)
{
    TextReader reader(std::move(texts));
    return requests::GroupRequests(*requests::FindSettingGroup(group), reader);
}

}  // namespace pst::test
