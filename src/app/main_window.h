#pragma once
// TFrmMain: where the user chooses and tests the link to the printer, picks
// the interface language, enters boot mode and goes on to the parameter
// window. The window owns the connection settings and the command worker.

#include <QMainWindow>
#include <QPointer>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/connection_refresh.h"
#include "app/find_printer_dialog.h"
#include "app/main_window_link.h"
#include "app/speed_boxes.h"
#include "app/prompter.h"
#include "app/qt_translation.h"
#include "app/widget_translation.h"
#include "engine/comm_thread.h"
#include "platform/serial_ports.h"

class QEventLoop;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTimer;

namespace pst {
class TUdpClient;
struct WorkerFailure;
}

namespace pst::requests {
struct FoundPrinter;
class BootHandshake;
class WorkerBootHandshake;
}

namespace pst::app {

class DispatcherPump;
class DropDownComboBox;
class ParameterWindowLink;

struct MainWindowSetup {
    // Where "sysconfig.ini" and "debug.log" live.
    std::string programFolder;
    // Searched in order for "Chinese.lng" and "English.lng".
    std::vector<std::string> languageFolders;
    Prompter* prompter = nullptr;
    std::string sysfsTtyFolder = std::string(kSysClassTty);
    // Ports to list ahead of the machine's own (a virtual printer's link).
    std::vector<std::string> namedPorts;
    // Where the worker's USB component looks for printers.
    UsbSystemPaths usbPaths = UsbSystemPaths::fromEnvironment();
    bool watchUsbDevices = true;
};

// Where the window's link stands. Whether the port is open is the worker's
// to say, not the window's.
enum class LinkState {
    Closed,       // no link test has succeeded since the link was last chosen
    Tested,       // the last link test succeeded
    BootPolling,  // boot mode: the handshake is polled every second
};

class MainWindow : public QMainWindow, public MainWindowLink {
    Q_OBJECT
public:
    explicit MainWindow(MainWindowSetup setup, QWidget* parent = nullptr);
    ~MainWindow() override;

    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    // The parameter window, created after this one; translated with it and
    // opened by the set-parameters button.
    void setParameterWindow(ParameterWindowLink* window);

    TCommThread& worker() override { return *worker_; }
    // What this window hears from the worker; the parameter window takes
    // over while it is open and gives these back.
    const std::shared_ptr<const WorkerEvents>& workerEvents() const override { return events_; }
    ConnectionSettingsStore& connectionSettings() { return *settings_; }
    const std::string& programFolder() const override { return setup_.programFolder; }
    // How the program shows a message box (the parameter window shows its
    // messages the same way).
    Prompter& prompter() const override { return *setup_.prompter; }
    QFont programFont() const override;

    LinkState linkState() const { return linkState_; }
    // Whether the last link test succeeded (boot mode keeps the outcome for
    // when it is left).
    bool linkTested() const { return testState() == LinkState::Tested; }

    // Copies the chosen link's parameters into the connection settings.
    // Throws EConvertError when a speed box does not hold a whole number.
    void RefreshConnectionSettings() override;
    void returnFromParameterWindow() override;

    // Loads the language file of `languageIndex` into every window, the
    // item lists and the message texts.
    void translate(int languageIndex);

    // The language box's item index; -1 when its text is none of its items.
    int languageIndex() const override;
    bool bootModeOn() const;

    WidgetTranslationView& translationView() { return view_; }
    // The printer search while its dialog is open.
    FindPrinterDialog* findDialog() const { return findDialog_.data(); }

    // The controls, under the names the language files use.
    QWidget* Panel1 = nullptr;
    QGroupBox* GroupBox1 = nullptr;
    QRadioButton* RadioButton1 = nullptr;
    QRadioButton* RadioButton2 = nullptr;
    QRadioButton* RadioButton3 = nullptr;
    QRadioButton* RadioButton4 = nullptr;
    DropDownComboBox* cbb_Comname = nullptr;
    QLabel* Label1 = nullptr;
    DropDownComboBox* cbb_DevBauRate = nullptr;
    QLabel* Label4 = nullptr;
    DropDownComboBox* cbb_TranBauRate = nullptr;
    QLabel* Label2 = nullptr;
    DropDownComboBox* cbb_Check = nullptr;
    QLabel* Label3 = nullptr;
    QLineEdit* edt_Ipaddress = nullptr;
    QLineEdit* edt_Port = nullptr;
    DropDownComboBox* cbb_UsbDeviceList = nullptr;
    DropDownComboBox* cbb_Lpt = nullptr;
    QLabel* lbl_language = nullptr;
    DropDownComboBox* cbb_Language = nullptr;
    QPushButton* but_bootIn = nullptr;
    QPushButton* but_bootOut = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    QLabel* lbl_TranMsg = nullptr;
    QPushButton* btn_Test = nullptr;
    // Looks for printers on the chosen kind of link.
    QPushButton* btn_Find = nullptr;
    QPushButton* btn_SetPara = nullptr;
    QLabel* statusPanel0 = nullptr;
    QLabel* statusPanel1 = nullptr;
    // Runs while boot mode looks for the loader.
    QProgressBar* bootBusy = nullptr;
    QTimer* Timer1 = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    // A run still going is stopped, once the user agrees, so that the
    // program ends within moments rather than when the run would have.
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void FormCreate();
    void FormShow();
    void comListRefresh();
    void cbb_ComnameDropDown() { comListRefresh(); }
    void cbb_LanguageChange();
    void radioButtonClick(int linkKind);
    void btn_TestClick();
    void btn_SetParaClick();
    void btn_FindClick();
    void useFoundPrinter(const requests::FoundPrinter& printer);
    std::vector<std::string> searchablePorts() const;
    void but_bootInClick();
    void but_bootOutClick();
    void Timer1Timer();
    void leaveBootMode();
    // The state a link test's outcome belongs to: the window's own, or in
    // boot mode the one it returns to.
    LinkState testState() const;
    void noteLinkTested(bool tested);
    WorkerEvents makeWorkerEvents();
    void onLinkFound();
    void onLinkFailed(const WorkerFailure& failure);
    void showUsbDevices(const UsbDeviceListing& listing);

    // Up to twenty 50 ms pauses, handling window messages throughout, until
    // the link test has succeeded.
    void waitForLinkTest();
    void writeMainDefaults();
    void showLinkKindText();
    void showBusy();
    int selectedLinkKind() const;
    QRadioButton* linkKindButton(int linkKind) const;
    LinkControls currentLinkControls() const;
    void noteChosenLinkKind();
    void noteChosenSpeedTexts();
    // Shows a device speed the worker stored after changing the printer's.
    void showStoredSpeeds();
    void setLinkControlsEnabled(bool enabled);
    // Shows the refusal of a link box the link cannot use (a speed box with
    // no listed speed, a port box with no port) and focuses the box; true
    // when there was one.
    bool refusedLinkBox();
    std::string linkBoxCaption(const ELinkBoxRefusal& refusal) const;

    MainWindowSetup setup_;
    WidgetTranslationView view_;
    QtOwnTexts qtTexts_;
    ParameterWindowLink* para_ = nullptr;
    DispatcherPump* pump_ = nullptr;
    std::shared_ptr<ConnectionSettingsStore> settings_;
    NotedSpeeds notedSpeeds_;  // what the speed boxes held when the store last heard of them
    ConnectionSettingsStore::Subscription settingsSubscription_ = 0;
    std::shared_ptr<const WorkerEvents> events_;
    std::shared_ptr<TUdpClient> UdpClient1;
    std::unique_ptr<TCommThread> worker_;
    std::unique_ptr<requests::WorkerBootHandshake> bootWorker_;
    std::unique_ptr<requests::BootHandshake> bootHandshake_;

    LinkState linkState_ = LinkState::Closed;
    LinkState stateAfterBoot_ = LinkState::Closed;
    std::int32_t testWaitCounter_ = 0;
    // The link test this window started last; its outcome alone counts.
    RunId linkRun_ = 0;
    QEventLoop* linkWait_ = nullptr;
    QPointer<FindPrinterDialog> findDialog_;
    bool closing_ = false;
};

}  // namespace pst::app
