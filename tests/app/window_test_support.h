#pragma once
// What the window tests share: a prompter that records the message boxes
// instead of showing them, and small text helpers.

#include <QString>
#include <string>
#include <vector>

#include "app/prompter.h"

namespace pst::test {

class RecordingPrompter : public app::Prompter {
public:
    void showMessage(const std::string& text) override { messages.push_back(text); }
    std::vector<std::string> messages;
};

inline QString qs(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

inline bool hasChineseCharacter(const QString& text)
{
    for (const QChar c : text)
        if (c.unicode() >= 0x3000)
            return true;
    return false;
}

}  // namespace pst::test
