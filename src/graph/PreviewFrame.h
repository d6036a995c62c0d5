// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QMainWindow>
#include <QPointer>
#include <QPrinter>
#include <functional>
#include <string>
#include <vector>

class QAction;
class QPainter;
class QPrintPreviewWidget;

namespace stepora {

// The print preview: a modeless window that shows the page, zooms, and prints it to a
// printer or a PDF file. It renders its page through the callback it was given, and frees
// itself when closed (or when its owner is hidden, so it never outlives the window whose
// page it shows).
class CPreviewFrame : public QMainWindow {
    Q_OBJECT
public:
    // Draws the one page into drawRect (painter coordinates, page pixels of the printer).
    using PageCallback =
        std::function<void(QPainter&, const QRect& drawRect, QPrinter&, QWidget* owner)>;

    // The toolbar commands.
    enum class Command {
        Print,
        ExportPdf,
        PreviousPage,
        NextPage,
        OnePage,
        TwoPages,
        ZoomIn,
        ZoomOut,
        FitPage,
        PageSetup,
        Close,
    };

    // texts: "Print...", "Next page", "Previous page", "Two pages", "One page", "Zoom in",
    // "Zoom out", "Close", in that order. The window's Qt parent is the owner (else the
    // parent), so that it takes input while its owner runs modally. No option is defined.
    CPreviewFrame(PageCallback callback, QWidget* parent, QWidget* owner, int option,
                  const std::vector<std::string>& texts);

    QAction* Action(Command command) const;
    QPrintPreviewWidget* Preview() const { return preview_; }
    QPrinter& Printer() { return printer_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool RenderPage(QPrinter& printer);
    void OnPrint();
    void OnExportPdf();
    void OnPageSetup();
    void UpdatePageActions();

    PageCallback callback_;
    QPointer<QWidget> owner_;
    QPrinter printer_{QPrinter::HighResolution};
    QPrintPreviewWidget* preview_ = nullptr;
    std::vector<QAction*> actions_;  // by Command
};

}  // namespace stepora
