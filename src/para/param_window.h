#pragma once
// TFrmPara: the parameter window. Eight pages of printer settings; every
// value the user typed is kept in "sysconfig.ini" (section "ParaDefault")
// between runs. While it is shown it is the window the worker reports to;
// when it closes, the main window is again, and the link must be tested
// anew before it opens next time.

#include <QMainWindow>
#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>

#include "app/main_window_link.h"
#include "app/parameter_window_link.h"
#include "app/widget_translation.h"
#include "para/elided_label.h"
#include "para/file_chooser.h"
#include "para/para_actions.h"
#include "requests/para_record.h"
#include "engine/worker_events.h"

class QLabel;
class QPushButton;
class QLineEdit;
class QProgressBar;
class QTabWidget;


namespace pst::para {

class BasicPage;
class BluetoothPage;
class WifiPage;
class NetworkPage;
class InfraredPage;
class DownloadPage;
class BlackMarkPage;
class ProductPage;

class ParamWindow : public QMainWindow, public app::ParameterWindowLink, public ParaActions {
    Q_OBJECT
public:
    explicit ParamWindow(app::MainWindowLink& main, QWidget* parent = nullptr);
    ~ParamWindow() override;

    ParamWindow(const ParamWindow&) = delete;
    ParamWindow& operator=(const ParamWindow&) = delete;

    // Shows the window centred on the main window, which has hidden itself.
    void showFromMainWindow(const QWidget& mainWindow) override;
    app::WidgetTranslationView& translationView() override { return view_; }
    // What this window hears from the worker while it is open.
    const std::shared_ptr<const WorkerEvents>& workerEvents() const { return events_; }
    // Whether a run this window started has not been heard to end.
    bool runGoing() const { return started_.has_value(); }

    void send(const std::function<MaybeRequest()>& build) override;
    void showMessage(const std::string& text) override;
    bool confirm(const std::string& text) override;
    void refuseThenClick(const std::string& text, QAbstractButton* pressedButton) override;
    void showSecondStatus(const std::string& text) override;

    // The controls' values as the record holds them, and back.
    ParaValues currentValues() const;
    void applyValues(const ParaValues& values);

    // Where the profile buttons ask for file names (tests answer at once).
    void setFileChooser(FileChooser& chooser) { chooser_ = &chooser; }

    QTabWidget* PageControl1 = nullptr;
    // A profile is the record in a file of its own, for the command line
    // or another machine.
    QPushButton* btn_ImportProfile = nullptr;
    QPushButton* btn_ExportProfile = nullptr;
    ElidedLabel* statusPanel0 = nullptr;
    QLabel* statusPanel1 = nullptr;
    // Shown while a download or read-back runs, with the button that stops
    // it between two blocks.
    QProgressBar* transferBar = nullptr;
    QPushButton* btn_Stop = nullptr;
    BasicPage* TabSheet1 = nullptr;
    BluetoothPage* TabSheet2 = nullptr;
    WifiPage* TabSheet3 = nullptr;
    NetworkPage* TabSheet4 = nullptr;
    InfraredPage* TabSheet5 = nullptr;
    DownloadPage* TabSheet6 = nullptr;
    BlackMarkPage* TabSheet8 = nullptr;
    ProductPage* TabSheet7 = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void FormShow();
    void FormClose();
    void replaceItemLists();
    bool isOwnRun(RunId run) const;
    void onStatus(const StatusUpdate& update);
    void onRunDone(const RunOutcome& outcome);
    void onRunFailed(const WorkerFailure& failure);
    void stopClick();
    void start(Request request);
    void startQueued();
    // The run's text in the first panel, whole in its tooltip.
    void showRunText(const std::string& text);
    void endRunDisplay();
    void stepSerialNumber();
    void exportProfileClick();
    void importProfileClick();
    std::string captionOfKey(std::string_view key) const;
    void showRefusal(const std::string& text);
    QLineEdit* fieldNamed(std::string_view control) const;
    static std::string accessibleNameOf(const QLineEdit* field);
    std::string settingsPath() const;

    app::MainWindowLink& main_;
    app::WidgetTranslationView view_;
    std::shared_ptr<const WorkerEvents> events_;
    bool closing_ = false;
    DialogFileChooser dialogs_;
    FileChooser* chooser_ = &dialogs_;
    // While a click stopped by a field's refusal is made after all.
    bool clickAfterRefusal_ = false;
    // The run this window started, until its end is heard.
    struct StartedRun {
        RunId run = 0;
        Operation operation = Operation::LinkTest;
    };
    std::optional<StartedRun> started_;
    // A click made after the worker had finished that run, before its end
    // was heard: started once it is.
    MaybeRequest queued_;
    // A question asked while a request was worked out was answered no.
    bool declined_ = false;
    // Stop was asked for the run going on; its last text in the first panel.
    bool stopping_ = false;
    std::string lastRunText_;
    // The record as it was read when the window was shown: its close saves
    // only what changed since, so that what another program saved meanwhile
    // stays.
    ParaValues loadedValues_;
};

}  // namespace pst::para
