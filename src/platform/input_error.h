#pragma once
// Input that a window (or the command line) must refuse before anything is
// started. A refusal either names an entry of the message table (shown in
// the chosen language by InputRefusalText) or carries its text in plain
// words.

#include <stdexcept>
#include <string>

namespace pst {

class EInvalidInput : public std::runtime_error {
public:
    // A refusal told in plain words, shown as it is.
    explicit EInvalidInput(const std::string& text) : std::runtime_error(text) { }

    // A refusal whose text is the message table's entry `key`, followed by
    // `detail` when there is one. what() gives the key and the detail, for
    // logs; the user is shown the looked-up text.
    static EInvalidInput withMessageKey(std::string key, std::string detail = {})
    {
        EInvalidInput refusal(key + detail);
        refusal.messageKey_ = std::move(key);
        refusal.detail_ = std::move(detail);
        return refusal;
    }

    // Empty for a refusal in plain words.
    const std::string& messageKey() const { return messageKey_; }
    const std::string& detail() const { return detail_; }

private:
    std::string messageKey_;
    std::string detail_;
};

}  // namespace pst
