// The settings file (sysconfig.ini) and the language files as the programs
// read them: any bytes parse, the text written back reads the same, a key
// written is read back as written, and a language file of any content
// switches the message table, the item lists and a window without harm.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_check.h"
#include "platform/ini_file.h"
#include "texts/message_texts.h"
#include "texts/translation.h"

namespace {

// A window whose controls are named after keys the language files use, so
// that inputs holding such keys reach the setters.
class FuzzWindow : public pst::texts::TranslatableWindow {
public:
    std::string windowName() const override { return "Form1"; }
    std::string caption() const override { return caption_; }
    void setCaption(const std::string& text) override { caption_ = text; }
    std::size_t controlCount() const override { return texts_.size(); }
    std::string controlName(std::size_t index) const override { return "Control" + std::to_string(index); }
    std::string controlText(std::size_t index) const override { return texts_[index]; }
    void setControlText(std::size_t index, const std::string& text) override { texts_[index] = text; }
    std::string controlHint(std::size_t index) const override { return hints_[index]; }
    void setControlHint(std::size_t index, const std::string& text) override { hints_[index] = text; }

private:
    std::string caption_ = "caption";
    std::vector<std::string> texts_{"text", "", "text"};
    std::vector<std::string> hints_{"", "hint", "hint"};
};

// A value that survives trimming and unquoting unchanged.
std::string plainValue(std::string_view text)
{
    std::string value;
    for (const char c : text)
        if (c > ' ' && c < 0x7F && c != '"' && c != '\'')
            value += c;
    return value.substr(0, 64);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const pst::IniDocument document = pst::IniDocument::parse(text);
    const std::string_view firstLine = text.substr(0, text.find('\n'));

    // A saved file saves again unchanged. (Not from the first save on: a
    // stray carriage return ending a line of a file with bare line feeds
    // makes the saved file look like one with CR LF line ends.)
    const std::string saved = pst::IniDocument::parse(document.text()).text();
    PST_FUZZ_CHECK(pst::IniDocument::parse(saved).text() == saved);
    // A byte-order mark is kept, so a file starting with two reads the same
    // after a save.
    PST_FUZZ_CHECK(pst::IniDocument::parse(document.text()).value(firstLine, firstLine) ==
                   document.value(firstLine, firstLine));

    // Reading: sections and keys the programs ask for, and any the input
    // itself names in its first line.
    (void)document.readString("Setup", "Language", "0");
    (void)document.readInteger("Form1", "Caption", 7);
    (void)document.value(firstLine, firstLine);
    (void)document.readInteger(firstLine, "1", -1);

    // Writing one key changes what that key reads, and the saved text keeps it.
    pst::IniDocument changed = document;
    const std::string value = plainValue(text);
    changed.writeString("FuzzSection", "FuzzKey", value);
    PST_FUZZ_CHECK(changed.readString("FuzzSection", "FuzzKey", "(missing)") == value);
    PST_FUZZ_CHECK(pst::IniDocument::parse(changed.text()).readString("FuzzSection", "FuzzKey", "(missing)") ==
                   value);
    changed.writeInteger("fuzzsection", "fuzzkey", -12345);
    PST_FUZZ_CHECK(changed.readInteger("FuzzSection", "FuzzKey", 0) == -12345);

    // The same bytes as a language file, in one language or the other (both
    // would double the slowest part of each run: every message looked up).
    FuzzWindow window;
    pst::texts::translateAll(document, size % 2 == 0 ? 0 : pst::texts::kEnglish, {&window});
    (void)pst::texts::linkKindText(0);
    pst::ResetMessageTexts();
    return 0;
}
