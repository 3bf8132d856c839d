#pragma once
// TFrmPara, for now only its frame: the caption, the eight pages, the status
// bar and the hand-over with the main window. While it is shown it is the
// window the worker reports to; when it closes, the main window is again,
// and the link must be tested anew before it opens next time.

#include <QMainWindow>
#include <cstdint>
#include <memory>

#include "app/widget_translation.h"
#include "platform/message_target.h"

class QLabel;
class QTabWidget;

namespace pst::app {

class MainWindow;

class ParamWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit ParamWindow(MainWindow& main, QWidget* parent = nullptr);
    ~ParamWindow() override;

    ParamWindow(const ParamWindow&) = delete;
    ParamWindow& operator=(const ParamWindow&) = delete;

    // Shows the window centred on the main window, which has hidden itself.
    void ShowFromMainWindow(const QWidget& mainWindow);

    WidgetTranslationView& translationView() { return view_; }
    const std::shared_ptr<MessageTarget>& messageTarget() const { return target_; }

    QTabWidget* PageControl1 = nullptr;
    QLabel* statusPanel0 = nullptr;
    QLabel* statusPanel1 = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void FormShow();
    void FormClose();
    void OnWorkerMessage(unsigned message, std::intptr_t wParam, std::intptr_t lParam);

    MainWindow& main_;
    WidgetTranslationView view_;
    std::shared_ptr<MessageTarget> target_;
    bool closing_ = false;
};

}  // namespace pst::app
