// SPDX-License-Identifier: GPL-3.0-or-later
#include "graph/PreviewFrame.h"

#include <QAction>
#include <QActionGroup>
#include <QEvent>
#include <QGuiApplication>
#include <QIcon>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QScreen>
#include <QToolBar>

#include "app/FileChooser.h"
#include "app/MessageBox.h"
#include "app/QtText.h"

namespace stepora {
namespace {

// Where the eight texts go.
enum TextIndex : size_t {
    kPrintText,
    kNextPageText,
    kPreviousPageText,
    kTwoPagesText,
    kOnePageText,
    kZoomInText,
    kZoomOutText,
    kCloseText,
};

}  // namespace

CPreviewFrame::CPreviewFrame(PageCallback callback, QWidget* parent, QWidget* owner, int option,
                             const std::vector<std::string>& texts)
    : QMainWindow(owner ? owner : parent, Qt::Window),
      callback_(std::move(callback)),
      owner_(owner) {
    (void)option;  // the program passes 0; no option is defined
    setAttribute(Qt::WA_DeleteOnClose);
    // What the eight texts leave out comes from the language table too.
    const QString title = Qs(GetLangString(PRINT_STR10));
    setWindowTitle(title);
    if (owner) owner->installEventFilter(this);

    // A screen capture of a wide window: the page lies on its side unless the person
    // chooses otherwise in the page setup.
    printer_.setPageOrientation(QPageLayout::Landscape);
    printer_.setDocName(title);
    preview_ = new QPrintPreviewWidget(&printer_, this);
    preview_->setAccessibleName(title);
    setCentralWidget(preview_);
    connect(preview_, &QPrintPreviewWidget::paintRequested, this,
            [this](QPrinter* printer) { RenderPage(*printer); });
    connect(preview_, &QPrintPreviewWidget::previewChanged, this,
            &CPreviewFrame::UpdatePageActions);

    auto text = [&texts](size_t index, const char* fallback) {
        return index < texts.size() ? Qs(texts[index]) : Qs(fallback);
    };
    auto* toolBar = addToolBar(title);
    toolBar->setMovable(false);
    toolBar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    auto add = [&](const char* icon, const QString& label, QKeySequence key, auto slot) {
        auto* action = toolBar->addAction(QIcon::fromTheme(icon), label);
        action->setShortcut(key);
        connect(action, &QAction::triggered, this, slot);
        actions_.push_back(action);
        return action;
    };
    // In the order of Command.
    add("document-print", text(kPrintText, "Print..."), QKeySequence::Print,
        &CPreviewFrame::OnPrint);
    add("document-export", Qs(GetLangString(PRINT_STR11)), QKeySequence(),
        &CPreviewFrame::OnExportPdf);
    toolBar->addSeparator();
    add("go-previous", text(kPreviousPageText, "Previous page"), QKeySequence::MoveToPreviousPage,
        [this] { preview_->setCurrentPage(preview_->currentPage() - 1); });
    add("go-next", text(kNextPageText, "Next page"), QKeySequence::MoveToNextPage,
        [this] { preview_->setCurrentPage(preview_->currentPage() + 1); });
    auto* views = new QActionGroup(this);
    views
        ->addAction(add("view-paged", text(kOnePageText, "One page"), QKeySequence(),
                        [this] { preview_->setViewMode(QPrintPreviewWidget::SinglePageView); }))
        ->setCheckable(true);
    views
        ->addAction(add("view-dual", text(kTwoPagesText, "Two pages"), QKeySequence(),
                        [this] { preview_->setViewMode(QPrintPreviewWidget::FacingPagesView); }))
        ->setCheckable(true);
    Action(Command::OnePage)->setChecked(true);
    toolBar->addSeparator();
    add("zoom-in", text(kZoomInText, "Zoom in"), QKeySequence::ZoomIn,
        [this] { preview_->zoomIn(); });
    add("zoom-out", text(kZoomOutText, "Zoom out"), QKeySequence::ZoomOut,
        [this] { preview_->zoomOut(); });
    add("zoom-fit-best", Qs(GetLangString(PRINT_STR12)), QKeySequence(),
        [this] { preview_->fitInView(); });
    add("document-page-setup", Qs(GetLangString(PRINT_STR13)), QKeySequence(),
        &CPreviewFrame::OnPageSetup);
    toolBar->addSeparator();
    add("window-close", text(kCloseText, "Close"), QKeySequence::Close, &QWidget::close);

    preview_->fitInView();
    const QScreen* screen = QGuiApplication::primaryScreen();
    resize(screen ? screen->availableSize() * 3 / 4 : QSize(900, 650));
}

QAction* CPreviewFrame::Action(Command command) const {
    return actions_.at(static_cast<size_t>(command));
}

bool CPreviewFrame::eventFilter(QObject* watched, QEvent* event) {
    // The owner closing (hidden by the program, not minimised) takes its preview along.
    if (watched == owner_ && event->type() == QEvent::Hide && !event->spontaneous()) close();
    return QMainWindow::eventFilter(watched, event);
}

bool CPreviewFrame::RenderPage(QPrinter& printer) {
    QPainter painter;
    if (!painter.begin(&printer)) return false;
    // The painter's origin is the top left of the printable area.
    const QRect drawRect(QPoint(0, 0),
                         printer.pageLayout().paintRectPixels(printer.resolution()).size());
    if (callback_) callback_(painter, drawRect, printer, owner_);
    return painter.end();
}

void CPreviewFrame::OnPrint() {
    QPrintDialog dialog(&printer_, this);
    if (RunModal(dialog) != QDialog::Accepted) return;
    if (!RenderPage(printer_))
        DoMessageBox(GetLangString(PRINT_STR15), MsgButtons::Ok, MsgIcon::Stop, this);
}

void CPreviewFrame::OnExportPdf() {
    FileChooserRequest request;
    request.kind = FileChooserRequest::SaveFile;
    request.title = Us(Action(Command::ExportPdf)->text());
    request.filter = GetLangString(PRINT_STR9);
    request.defaultSuffix = "pdf";
    const auto path = ChooseFile(request, this);
    if (!path) return;

    QPrinter pdf(QPrinter::HighResolution);
    pdf.setOutputFormat(QPrinter::PdfFormat);
    pdf.setOutputFileName(PathText(*path));
    pdf.setPageLayout(printer_.pageLayout());
    pdf.setDocName(printer_.docName());
    if (!RenderPage(pdf))
        DoMessageBox(NamedMessage(PRINT_STR14, Us(PathText(*path))), MsgButtons::Ok, MsgIcon::Stop,
                     this);
}

void CPreviewFrame::OnPageSetup() {
    QPageSetupDialog dialog(&printer_, this);
    if (RunModal(dialog) == QDialog::Accepted) preview_->updatePreview();
}

void CPreviewFrame::UpdatePageActions() {
    const int page = preview_->currentPage();
    Action(Command::PreviousPage)->setEnabled(page > 1);
    Action(Command::NextPage)->setEnabled(page < preview_->pageCount());
}

}  // namespace stepora
