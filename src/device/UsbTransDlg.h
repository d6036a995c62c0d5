// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QMessageBox>
#include <QPointer>
#include <vector>

#include "app/ClockTimer.h"
#include "device/PedometerLink.h"
#include "device/TransferSession.h"
#include "widgets/DialogBase.h"

class QEventLoop;
class QSocketNotifier;

namespace stepora {

// Where every transfer dialog looks for the pedometer from now on. Until it is set (and
// after it is set to an empty link) there is no pedometer: the dialog waits for one in vain.
void SetPedometerLink(PedometerLink link);

// The small window that stands on screen while the program waits for the pedometer and
// receives its block. It ends with OK when a block was received and decoded, or the
// person took the sample days (Data() holds them), and with Cancel when the pedometer
// was lost and did not come back or the person left it (Cancel, Escape, closing it)
// before the block was complete. Its TransferSession decides; the window turns its
// timers, device notifications, keys and boxes into the session's events and carries
// out its actions.
class CUsbTransDlg : public CDialogBase {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 157;
    enum ControlId : int { IDCANCEL = 2, IDC_STATUS = 1147, IDC_TEST = 1029 };
    // Events the dialog posts to itself, numbered as the window messages they always were
    // (WM_USER + 1, + 4, + 5, + 10). All lie above QEvent::User and only this dialog
    // receives them, so they need no registration.
    enum EventType : int {
        kInterfaceClosedEvent = 1025,
        kPedometerGoneEvent = 1028,
        kDeviceConnectedEvent = 1029,
        kPollRoundEvent = 1034,
    };
    static constexpr int kStartDelayMs = 20;  // from (re)connection to the first poll
    static constexpr int kPollDelayMs = 5;    // between poll rounds
    static constexpr const char* kErrorCaption = "ERROR";

    explicit CUsbTransDlg(QWidget* parent = nullptr);
    ~CUsbTransDlg() override;

    // The block of the last opening that ended with OK.
    const DeviceData& Data() const { return session_.Data(); }
    // The message the dialog is waiting on (pedometer lost, or block received), if any.
    QMessageBox* ActiveBox() const { return boxes_.empty() ? nullptr : boxes_.back().data(); }

    // Runs until done(): hiding the window while a message is up must not end the dialog,
    // as it would end QDialog::exec().
    int exec() override;
    void done(int result) override;
    // Cancel, Escape and the close request: the session decides whether it may end here.
    void reject() override;

protected:
    void OnOpen() override;
    bool event(QEvent* e) override;

private:
    void Carry(const TransferSession::Actions& actions);
    void TakeDeviceEvents();
    void SetStatus(const TransferSession::Text& text);
    void ShowBox(const TransferSession::Action& action);
    void DismissBox();
    void Release();

    TransferSession session_;
    QPointer<QSocketNotifier> notifier_;
    // On the program's clock, so tests step time instead of waiting for it.
    ClockTimer startTimer_, pollTimer_, monitorTimer_;
    std::vector<QPointer<QMessageBox>> boxes_;  // the session's boxes, the topmost last
    QEventLoop* loop_ = nullptr;
};

}  // namespace stepora
