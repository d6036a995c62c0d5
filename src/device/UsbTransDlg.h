// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QMessageBox>
#include <QPointer>
#include <memory>
#include <set>
#include <string>

#include "app/ClockTimer.h"
#include "device/HidInterface.h"
#include "device/PedometerLink.h"
#include "device/TransferProtocol.h"
#include "widgets/DialogBase.h"

class QEventLoop;
class QSocketNotifier;

namespace stepora {

// Where every transfer dialog looks for the pedometer from now on. Until it is set (and
// after it is set to an empty link) there is no pedometer: the dialog waits for one in vain.
void SetPedometerLink(PedometerLink link);

// The small window that stands on screen while the program waits for the pedometer and
// receives its block. It ends with OK when a block was received and decoded (Data()
// holds it), and with Cancel when the pedometer was lost and did not come back or the
// person pressed the button.
class CUsbTransDlg : public CDialogBase, private NotificationSink {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 157;
    enum ControlId : int { IDC_STATUS = 1147, IDC_TEST = 1029 };
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
    const DeviceData& Data() const { return data_; }
    // The message the dialog is waiting on (pedometer lost, or block received), if any.
    QMessageBox* ActiveBox() const { return box_; }

    // Runs until done(): hiding the window while a message is up must not end the dialog,
    // as it would end QDialog::exec().
    int exec() override;
    void done(int result) override;

protected:
    void OnOpen() override;
    bool event(QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    enum class Box { None, Lost, Received };

    void OnInterfaceClosed(uint64_t registration) override;
    void OnPedometerGone() override;

    void TakeDeviceEvents();
    void NotePedometerNodes();
    void OnStartTimer();
    void OnTestTransfer();
    void PollRound();
    void OnDeviceConnected();
    void OnDeviceLost();
    void SetStatus(LangKey key);
    // Shows a message and waits for it; false when the dialog was destroyed meanwhile.
    bool ShowBox(Box kind, const QString& caption, LangKey text, QMessageBox::Icon icon);
    void DismissBox(Box kind);
    void Release();

    std::shared_ptr<HidBackend> backend_;
    std::shared_ptr<DeviceMonitor> monitor_;
    std::unique_ptr<PedometerDevice> device_;
    QPointer<QSocketNotifier> notifier_;
    std::set<std::string> pedometerNodes_;  // where the pedometer was seen this opening

    bool connected_ = false;     // both interfaces are open
    bool transferDone_ = false;  // a block was received, decoded and acknowledged
    bool deviceAbsent_ = true;   // the window shows the no-device state
    bool waiting_ = false;       // still waiting for a block
    bool ended_ = true;          // done() was called since the last opening
    BlockReceiver receiver_;
    DeviceData data_;

    // On the program's clock, so tests step time instead of waiting for it.
    ClockTimer startTimer_, pollTimer_, monitorTimer_;
    QPointer<QMessageBox> box_;
    Box boxKind_ = Box::None;
    QEventLoop* loop_ = nullptr;
};

}  // namespace stepora
