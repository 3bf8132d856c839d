#pragma once
// What the translation routine sees of a window: its name (the section of
// the language file), its caption, and its visual controls in creation
// order, each with a name, a text and a hint. Windows of any toolkit offer
// this view; the routine itself needs no toolkit.

#include <cstddef>
#include <string>

namespace pst::texts {

class TranslatableWindow {
public:
    virtual ~TranslatableWindow() = default;

    virtual std::string windowName() const = 0;
    virtual std::string caption() const = 0;
    virtual void setCaption(const std::string& text) = 0;

    virtual std::size_t controlCount() const = 0;
    virtual std::string controlName(std::size_t index) const = 0;
    // Caption of labels, buttons, group boxes, radio buttons, check boxes
    // and tab pages; the content of edits, combo boxes and memos.
    virtual std::string controlText(std::size_t index) const = 0;
    virtual void setControlText(std::size_t index, const std::string& text) = 0;
    virtual std::string controlHint(std::size_t index) const = 0;
    virtual void setControlHint(std::size_t index, const std::string& text) = 0;
};

}  // namespace pst::texts
