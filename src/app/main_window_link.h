#pragma once
// What the parameter window needs of the main window: the worker both
// report through, the main window's own worker events to hand back when
// the parameter window closes, the program folder, how messages are shown, the chosen
// language, the link choice copied into the connection settings, and the
// way back when the parameter window closes.

#include <memory>
#include <string>

class QFont;

namespace pst {
class TCommThread;
struct WorkerEvents;
}  // namespace pst

namespace pst::app {

class Prompter;

class MainWindowLink {
public:
    virtual ~MainWindowLink() = default;

    virtual TCommThread& worker() = 0;
    virtual const std::shared_ptr<const WorkerEvents>& workerEvents() const = 0;
    virtual const std::string& programFolder() const = 0;
    virtual Prompter& prompter() const = 0;
    // The language box's item index; -1 when its text is none of its items.
    virtual int languageIndex() const = 0;
    // The parameter window shows in the main window's font.
    virtual QFont programFont() const = 0;

    // Copies the chosen link's parameters into the connection settings.
    // Throws EConvertError when a speed box does not hold a whole number.
    virtual void RefreshConnectionSettings() = 0;

    // The parameter window closed: the link must be tested anew before it
    // opens again, and the main window shows again.
    virtual void returnFromParameterWindow() = 0;
};

}  // namespace pst::app
