// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/UsbTransDlg.h"

#include <QApplication>
#include <QEventLoop>
#include <QLabel>
#include <QPushButton>
#include <QSocketNotifier>

#include "app/DialogUnits.h"
#include "app/MessageBox.h"
#include "app/QtText.h"

namespace stepora {
namespace {

using D = CUsbTransDlg;
constexpr int kWidth = 220, kHeight = 78;
// A monitor without a descriptor to wait on is looked at this often.
constexpr int kMonitorPollMs = 10;

constexpr ControlSpec kControls[] = {
    {D::IDC_STATUS, Ctl::Static, 7, 7, 206, 48, kAlignCenter | kWrap},
    {D::IDC_TEST, Ctl::Button, 36, 59, 70, 14, 0, USBTRANS_STR2},
    {D::IDCANCEL, Ctl::Button, 114, 59, 70, 14, 0, APP_CANCEL},
};

std::string TextOf(const TransferSession::Text& text) {
    return std::visit([](auto key) { return GetLangString(key); }, text);
}

PedometerLink& Link() {
    static PedometerLink link;
    return link;
}

// Work the session hands back later, numbered by its kind.
class LaterEvent : public QEvent {
public:
    explicit LaterEvent(const TransferSession::Action& action)
        : QEvent(Type(kLaterTypes[int(action.later)])), action(action) {}
    // In the order of TransferSession::Later.
    static constexpr int kLaterTypes[] = {D::kPollRoundEvent, D::kInterfaceClosedEvent,
                                          D::kPedometerGoneEvent, D::kDeviceConnectedEvent};
    TransferSession::Action action;
};

}  // namespace

void SetPedometerLink(PedometerLink link) {
    Link() = std::move(link);
}

CUsbTransDlg::CUsbTransDlg(QWidget* parent)
    : CDialogBase(parent),
      startTimer_(kStartDelayMs, true, [this] { Carry(session_.StartTimerFired()); }),
      pollTimer_(kPollDelayMs, true, [this] { Carry(session_.PollTimerFired()); }),
      monitorTimer_(kMonitorPollMs, false, [this] { TakeDeviceEvents(); }) {
    // A caption with a close button, the way out the desktop offers every window.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setFont(DialogFont());
    setFixedSize(DialogUnits(font()).Size(kWidth, kHeight));
    BuildControls(kControls);
    SetTitleKey(USBTRANS_STR1);
    connect(Control<QPushButton>(IDC_TEST), &QPushButton::clicked, this,
            [this] { Carry(session_.TestPressed()); });
    connect(Control<QPushButton>(IDCANCEL), &QPushButton::clicked, this, &CUsbTransDlg::reject);
}

CUsbTransDlg::~CUsbTransDlg() {
    Release();
}

void CUsbTransDlg::OnOpen() {
    // Enter and Space on the focused Cancel leave at once.
    Control<QPushButton>(IDCANCEL)->setFocus();
    const TransferSession::Actions actions = session_.Open(Link());
    if (DeviceMonitor* monitor = session_.Monitor()) {
        if (monitor->EventFd() >= 0) {
            notifier_ = new QSocketNotifier(monitor->EventFd(), QSocketNotifier::Read, this);
            connect(notifier_, &QSocketNotifier::activated, this, &CUsbTransDlg::TakeDeviceEvents);
        } else {
            monitorTimer_.Start();
        }
    }
    Carry(actions);
}

int CUsbTransDlg::exec() {
    QPointer<CUsbTransDlg> self(this);
    QEventLoop loop;
    loop_ = &loop;
    setAttribute(Qt::WA_ShowModal, true);
    show();
    if (session_.Running()) loop.exec(QEventLoop::DialogExec);
    if (!self) return Rejected;
    loop_ = nullptr;
    setAttribute(Qt::WA_ShowModal, false);
    return result();
}

void CUsbTransDlg::done(int result) {
    if (!session_.Running()) return;
    Release();
    CDialogBase::done(result);
    if (loop_) loop_->quit();
}

void CUsbTransDlg::Release() {
    startTimer_.Stop();
    pollTimer_.Stop();
    monitorTimer_.Stop();
    for (int type :
         {kInterfaceClosedEvent, kPedometerGoneEvent, kDeviceConnectedEvent, kPollRoundEvent})
        QCoreApplication::removePostedEvents(this, type);
    if (notifier_) {
        notifier_->setEnabled(false);
        notifier_->deleteLater();
        notifier_ = nullptr;
    }
    // Closed first, so the boxes closing below are news to nobody.
    session_.Close();
    boxes_.clear();
    // Every message the dialog still has up goes with it.
    for (QMessageBox* box : findChildren<QMessageBox*>(Qt::FindDirectChildrenOnly)) box->close();
}

bool CUsbTransDlg::event(QEvent* e) {
    switch (int(e->type())) {
        case kInterfaceClosedEvent:
        case kPedometerGoneEvent:
        case kDeviceConnectedEvent:
        case kPollRoundEvent:
            Carry(session_.Resume(static_cast<LaterEvent*>(e)->action));
            return true;
        default:
            return CDialogBase::event(e);
    }
}

void CUsbTransDlg::reject() {
    Carry(session_.CancelPressed());
}

void CUsbTransDlg::TakeDeviceEvents() {
    Carry(session_.DeviceEvents());
}

void CUsbTransDlg::Carry(const TransferSession::Actions& actions) {
    using A = TransferSession::Action;
    for (const A& a : actions) {
        ClockTimer& timer = a.timer == TransferSession::Timer::Start ? startTimer_ : pollTimer_;
        switch (a.kind) {
            case A::SetStatus:
                SetStatus(a.text);
                break;
            case A::StartTimer:
                timer.Start();
                break;
            case A::StopTimer:
                timer.Stop();
                break;
            case A::ShowBox:
                ShowBox(a);
                break;
            case A::DismissBox:
                DismissBox();
                break;
            case A::Hide:
                hide();
                break;
            case A::Show:
                show();
                break;
            case A::Post:
                QCoreApplication::postEvent(this, new LaterEvent(a));
                break;
            case A::AskSample: {
                const bool yes = DoMessageBox(TextOf(a.text), MsgButtons::YesNo, MsgIcon::Question,
                                              this) == kIdYes;
                Carry(session_.SampleAnswered(yes));
                break;
            }
            case A::WarnTest: {
                QMessageBox box(QMessageBox::Warning, QString::fromLatin1(kErrorCaption),
                                "USB TEST", QMessageBox::Ok, this);
                RunModal(box);
                break;
            }
            case A::End:
                done(a.ok ? Accepted : Rejected);
                break;
        }
    }
}

void CUsbTransDlg::SetStatus(const TransferSession::Text& text) {
    // An original key is bound, as the table's texts are; an added one is only shown.
    if (const LangKey* key = std::get_if<LangKey>(&text)) SetTextKey(IDC_STATUS, *key);
    Control<QLabel>(IDC_STATUS)->setText(Qs(TextOf(text)));
}

void CUsbTransDlg::ShowBox(const TransferSession::Action& action) {
    const TransferSession::Box kind = action.box;
    const QString caption =
        action.caption ? LangText(*action.caption) : QString::fromLatin1(kErrorCaption);
    auto* box = new QMessageBox(
        kind == TransferSession::Box::Lost ? QMessageBox::Warning : QMessageBox::NoIcon, caption,
        Qs(TextOf(action.text)), QMessageBox::NoButton, this);
    box->addButton(QMessageBox::Ok)->setText("&" + LangText(APP_OK));
    box->setWindowModality(Qt::ApplicationModal);
    boxes_.push_back(box);
    // Closed by the person; the session's own dismissals are not news to it.
    connect(box, &QDialog::finished, this, [this, box, kind] {
        std::erase(boxes_, box);
        box->deleteLater();
        Carry(session_.BoxClosed(kind));
    });
    box->show();
}

void CUsbTransDlg::DismissBox() {
    if (boxes_.empty()) return;
    const QPointer<QMessageBox> box = boxes_.back();
    boxes_.pop_back();
    if (!box) return;
    box->disconnect(this);
    // As if its button were pressed.
    box->button(QMessageBox::Ok)->click();
    box->deleteLater();
}

}  // namespace stepora
