#pragma once
// Input that a window (or the command line) must refuse before anything is
// started. A refusal either names an entry of the message table (shown in
// the chosen language by InputRefusalText) or carries its text in plain
// words.

#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace pst {

// A value put into the places ("%s", "%d") of a keyed refusal's text:
// shown as it is, or, naming a message key itself (a field's name, a
// reason), looked up in the chosen language too.
struct RefusalValue {
    RefusalValue(std::string shown) : text(std::move(shown)) { }
    static RefusalValue messageKey(std::string key)
    {
        RefusalValue value(std::move(key));
        value.isMessageKey = true;
        return value;
    }

    std::string text;
    bool isMessageKey = false;
};

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

    // A refusal whose text is the message table's entry `key` with `values`
    // in its places. The layers below the texts cannot look it up, so they
    // word it in English too: what() gives `logText`, for logs and for the
    // callers that show what() as it stands.
    static EInvalidInput withMessageValues(std::string key, std::vector<RefusalValue> values,
                                           const std::string& logText)
    {
        EInvalidInput refusal(logText);
        refusal.messageKey_ = std::move(key);
        refusal.values_ = std::move(values);
        return refusal;
    }

    // The same refusal with `more` after its text (a file's name, say).
    EInvalidInput followedBy(const std::string& more) const
    {
        EInvalidInput refusal(what() + more);
        refusal.messageKey_ = messageKey_;
        refusal.detail_ = detail_ + more;
        refusal.values_ = values_;
        return refusal;
    }

    // Empty for a refusal in plain words.
    const std::string& messageKey() const { return messageKey_; }
    const std::string& detail() const { return detail_; }
    const std::vector<RefusalValue>& values() const { return values_; }

private:
    std::string messageKey_;
    std::string detail_;
    std::vector<RefusalValue> values_;
};

}  // namespace pst
