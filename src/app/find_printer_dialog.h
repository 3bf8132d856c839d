#pragma once
// The printer search as the main window shows it: a small list that fills
// as printers answer, the attempt under way, and a button that stops the
// search. Choosing a printer hands its link back to the main window.

#include <QDialog>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "requests/printer_search.h"

class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;

namespace pst {
class Dispatcher;
}

namespace pst::app {

class FindPrinterDialog : public QDialog {
    Q_OBJECT
public:
    using Choose = std::function<void(const requests::FoundPrinter& printer)>;

    // Starts the search at once. `choose` hears the printer the user picks.
    FindPrinterDialog(requests::SearchPlan plan, const std::string& programFolder, Choose choose,
                      QWidget* parent = nullptr);
    // Stops the search: at most the clean-up of the attempt under way.
    ~FindPrinterDialog() override;

    FindPrinterDialog(const FindPrinterDialog&) = delete;
    FindPrinterDialog& operator=(const FindPrinterDialog&) = delete;

    bool searching() const { return searching_; }

    QLabel* statusLabel = nullptr;
    QProgressBar* progressBar = nullptr;
    QListWidget* printerList = nullptr;
    QPushButton* useButton = nullptr;
    QPushButton* stopButton = nullptr;

private:
    requests::SearchEvents uiEvents();
    void onProgress(const std::string& trying, std::size_t done, std::size_t all);
    void onFound(const requests::FoundPrinter& printer);
    void onUnusable(const std::string& where, const std::string& reason);
    void onFinished(bool cancelled);
    void useSelected();
    void stopOrClose();

    std::shared_ptr<Dispatcher> dispatcher_;
    Choose choose_;
    std::vector<requests::FoundPrinter> found_;
    bool searching_ = true;
    std::unique_ptr<requests::PrinterSearch> search_;
};

}  // namespace pst::app
