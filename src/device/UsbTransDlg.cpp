// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/UsbTransDlg.h"

#include <QApplication>
#include <QEventLoop>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QSocketNotifier>

#include "app/DialogUnits.h"
#include "app/MessageBox.h"
#include "app/QtText.h"

namespace stepora {
namespace {

using D = CUsbTransDlg;
constexpr int kWidth = 160, kHeight = 56;
// A monitor without a descriptor to wait on is looked at this often.
constexpr int kMonitorPollMs = 10;

constexpr ControlSpec kControls[] = {
    {D::IDC_STATUS, Ctl::Static, 7, 7, 146, 24, kAlignCenter | kWrap},
    {D::IDC_TEST, Ctl::Button, 40, 36, 80, 14, 0, USBTRANS_STR2},
};

PedometerLink& Link() {
    static PedometerLink link;
    return link;
}

class RegistrationEvent : public QEvent {
public:
    explicit RegistrationEvent(uint64_t registration)
        : QEvent(Type(D::kInterfaceClosedEvent)), registration(registration) {}
    uint64_t registration;
};

void Post(QObject* to, int type) {
    QCoreApplication::postEvent(to, new QEvent(QEvent::Type(type)));
}

}  // namespace

void SetPedometerLink(PedometerLink link) {
    Link() = std::move(link);
}

CUsbTransDlg::CUsbTransDlg(QWidget* parent)
    : CDialogBase(parent),
      startTimer_(kStartDelayMs, true, [this] { OnStartTimer(); }),
      pollTimer_(kPollDelayMs, true,
                 [this] {
                     if (connected_) Post(this, kPollRoundEvent);
                 }),
      monitorTimer_(kMonitorPollMs, false, [this] { TakeDeviceEvents(); }) {
    // A frame without caption or system menu; the title is still there for assistive
    // technology.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint);
    setFont(DialogFont());
    setFixedSize(DialogUnits(font()).Size(kWidth, kHeight));
    BuildControls(kControls);
    SetTitleKey(USBTRANS_STR1);
    // Enter must not press the button: the dialog swallows it.
    Control<QPushButton>(IDC_TEST)->setAutoDefault(false);
    connect(Control<QPushButton>(IDC_TEST), &QPushButton::clicked, this,
            &CUsbTransDlg::OnTestTransfer);
}

CUsbTransDlg::~CUsbTransDlg() {
    Release();
}

void CUsbTransDlg::OnOpen() {
    ended_ = false;
    transferDone_ = false;
    waiting_ = true;
    data_ = {};
    pedometerNodes_.clear();
    receiver_.Reset();

    // Without a link there is no pedometer to find: the window only waits.
    if (const PedometerLink& link = Link(); link.makeBackend && link.makeMonitor) {
        backend_ = link.makeBackend();
        monitor_ = link.makeMonitor();
        device_ = std::make_unique<PedometerDevice>(*backend_, monitor_.get());
        if (monitor_->EventFd() >= 0) {
            notifier_ = new QSocketNotifier(monitor_->EventFd(), QSocketNotifier::Read, this);
            connect(notifier_, &QSocketNotifier::activated, this, &CUsbTransDlg::TakeDeviceEvents);
        } else {
            monitorTimer_.Start();
        }
    }

    connected_ = device_ && FindPedometer(*device_);
    deviceAbsent_ = !connected_;
    if (connected_) NotePedometerNodes();
    SetStatus(connected_ ? USBTRANS_STR3 : USBTRANS_STR4);
    startTimer_.Start();
}

int CUsbTransDlg::exec() {
    QPointer<CUsbTransDlg> self(this);
    QEventLoop loop;
    loop_ = &loop;
    setAttribute(Qt::WA_ShowModal, true);
    show();
    if (!ended_) loop.exec(QEventLoop::DialogExec);
    if (!self) return Rejected;
    loop_ = nullptr;
    setAttribute(Qt::WA_ShowModal, false);
    return result();
}

void CUsbTransDlg::done(int result) {
    if (ended_) return;
    ended_ = true;
    waiting_ = false;
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
    // Every message the dialog still has up goes with it.
    for (QMessageBox* box : findChildren<QMessageBox*>(Qt::FindDirectChildrenOnly)) box->close();
    if (notifier_) {
        notifier_->setEnabled(false);
        notifier_->deleteLater();
        notifier_ = nullptr;
    }
    // The device goes first: closing it drops its registrations with the monitor.
    device_.reset();
    monitor_.reset();
    backend_.reset();
    connected_ = false;
}

bool CUsbTransDlg::event(QEvent* e) {
    switch (int(e->type())) {
        case kPollRoundEvent:
            PollRound();
            return true;
        case kInterfaceClosedEvent:
            if (monitor_) monitor_->Unregister(static_cast<RegistrationEvent*>(e)->registration);
            return true;
        case kPedometerGoneEvent:
            OnDeviceLost();
            return true;
        case kDeviceConnectedEvent:
            OnDeviceConnected();
            return true;
        default:
            return CDialogBase::event(e);
    }
}

void CUsbTransDlg::keyPressEvent(QKeyEvent* e) {
    // The window cannot be closed from the keyboard.
    switch (e->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Escape:
            e->accept();
            return;
        default:
            CDialogBase::keyPressEvent(e);
    }
}

void CUsbTransDlg::OnInterfaceClosed(uint64_t registration) {
    QCoreApplication::postEvent(this, new RegistrationEvent(registration));
}

void CUsbTransDlg::OnPedometerGone() {
    Post(this, kPedometerGoneEvent);
}

void CUsbTransDlg::TakeDeviceEvents() {
    if (!monitor_ || !device_) return;
    for (const DeviceEvent& event : monitor_->TakeEvents()) {
        if (event.kind == DeviceEvent::Arrived) {
            if (!connected_ && OpenFromNode(*device_, event.node)) {
                connected_ = true;
                NotePedometerNodes();
                Post(this, kDeviceConnectedEvent);
            }
            continue;
        }
        std::vector<HidHandle> handles = monitor_->HandlesOnNode(event.node);
        // After a finished transfer the dialog closed the pedometer itself; pulling it out
        // still counts as losing it, which takes the success message down.
        if (handles.empty() && pedometerNodes_.count(event.node)) handles.push_back(kNoHidHandle);
        for (HidHandle handle : handles)
            if (HandleRemoval(*device_, handle, this)) connected_ = false;
    }
}

void CUsbTransDlg::NotePedometerNodes() {
    for (const HidInterface* i : {&device_->dataInterface, &device_->commandInterface})
        if (i->isOpen) pedometerNodes_.insert(backend_->NodeOfPath(i->devicePath));
}

void CUsbTransDlg::OnStartTimer() {
    if (!connected_) return;
    DismissBox(Box::Lost);
    pollTimer_.Start();
}

void CUsbTransDlg::PollRound() {
    if (!waiting_ || !connected_) return;
    transferDone_ = false;
    if (receiver_.PollOnce(*device_) == BlockReceiver::Outcome::PollAgain) {
        pollTimer_.Start();
        return;
    }
    data_ = receiver_.Data();
    transferDone_ = true;
    waiting_ = false;
    CloseAll(*device_);
    connected_ = false;
    hide();
    if (!ShowBox(Box::Received, LangText(APP_NAME), USBTRANS_STR8, QMessageBox::NoIcon)) return;
    if (transferDone_) accept();
}

void CUsbTransDlg::OnDeviceConnected() {
    if (ended_ || !deviceAbsent_) return;
    deviceAbsent_ = false;
    receiver_.Reset();
    startTimer_.Start();
    show();
    SetStatus(USBTRANS_STR7);
}

void CUsbTransDlg::OnDeviceLost() {
    if (ended_ || deviceAbsent_) return;
    deviceAbsent_ = true;
    startTimer_.Stop();
    pollTimer_.Stop();
    receiver_.Reset();
    hide();
    if (connected_) {
        CloseAll(*device_);
        connected_ = false;
    }
    if (transferDone_) {
        DismissBox(Box::Received);
        return;
    }
    if (!ShowBox(Box::Lost, QString::fromLatin1(kErrorCaption), USBTRANS_STR6,
                 QMessageBox::Warning))
        return;
    if (!transferDone_ && !connected_) reject();
}

// The sample block, as if the pedometer had sent it: a transfer without hardware. Its days
// then go through the same choice of the receiving user as any download.
void CUsbTransDlg::OnTestTransfer() {
    if (!waiting_) return;
    waiting_ = false;
    startTimer_.Stop();
    pollTimer_.Stop();
    receiver_.Reset();
    if (connected_) {
        CloseAll(*device_);
        connected_ = false;
    }
    data_ = {};
    if (!DecodeBlock(kSampleBlock.data(), kSampleBlock.size(), data_)) {
        QMessageBox box(QMessageBox::Warning, QString::fromLatin1(kErrorCaption), "USB TEST",
                        QMessageBox::Ok, this);
        RunModal(box);
    }
    accept();
}

void CUsbTransDlg::SetStatus(LangKey key) {
    SetTextKey(IDC_STATUS, key);
    Control<QLabel>(IDC_STATUS)->setText(LangText(key));
}

bool CUsbTransDlg::ShowBox(Box kind, const QString& caption, LangKey text, QMessageBox::Icon icon) {
    QPointer<CUsbTransDlg> self(this);
    QPointer<QMessageBox> box =
        new QMessageBox(icon, caption, LangText(text), QMessageBox::NoButton, this);
    box->addButton(QMessageBox::Ok)->setText("&" + LangText(APP_OK));
    box->setWindowModality(Qt::ApplicationModal);
    QEventLoop loop;
    connect(box, &QDialog::finished, &loop, &QEventLoop::quit);
    const QPointer<QMessageBox> outer = box_;
    const Box outerKind = boxKind_;
    box_ = box;
    boxKind_ = kind;
    box->show();
    loop.exec(QEventLoop::DialogExec);
    if (!self) return false;
    delete box.data();
    box_ = outer;
    boxKind_ = outerKind;
    return !ended_;
}

void CUsbTransDlg::DismissBox(Box kind) {
    // As if its button were pressed.
    if (box_ && boxKind_ == kind) box_->button(QMessageBox::Ok)->click();
}

}  // namespace stepora
