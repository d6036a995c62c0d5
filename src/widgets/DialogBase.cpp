// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/DialogBase.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <string>

#include "app/DialogUnits.h"
#include "app/MessageBox.h"
#include "widgets/FilterEdits.h"
#include "widgets/GridListCtrl.h"
#include "widgets/NoTypeComboBox.h"
#include "widgets/ShapeButton.h"

namespace stepora {
namespace {

Qt::Alignment AlignmentOf(uint32_t flags) {
    if (flags & kAlignCenter) return Qt::AlignHCenter | Qt::AlignVCenter;
    if (flags & kAlignRight) return Qt::AlignRight | Qt::AlignVCenter;
    return Qt::AlignLeft | Qt::AlignVCenter;
}

QWidget* MakeControl(const ControlSpec& control, QWidget* parent) {
    switch (control.kind) {
        case Ctl::Static: {
            auto* label = new QLabel(parent);
            label->setAlignment(AlignmentOf(control.flags) | Qt::AlignTop);
            if (control.flags & kAlignCenter) label->setAlignment(Qt::AlignCenter);
            label->setWordWrap(control.flags & kWrap);
            return label;
        }
        case Ctl::Picture:
            return new QLabel(parent);
        case Ctl::GroupBox:
            return new QGroupBox(parent);
        case Ctl::EtchedLine: {
            auto* line = new QFrame(parent);
            line->setFrameShape(QFrame::HLine);
            line->setFrameShadow(QFrame::Sunken);
            return line;
        }
        case Ctl::Button: {
            auto* button = new QPushButton(parent);
            // Qt makes the first button of a dialog its default; Enter would then run a
            // command nobody aimed at. Only a kDefault button is one.
            button->setAutoDefault(control.flags & kDefault);
            if (control.flags & kDefault) button->setDefault(true);
            return button;
        }
        case Ctl::Radio:
            return new QRadioButton(parent);
        case Ctl::Check:
            return new QCheckBox(parent);
        case Ctl::Edit:
            return new QLineEdit(parent);
        case Ctl::PasswordEdit:
            return new CPasswordEdit(parent);
        case Ctl::UserNameEdit:
            return new CUserNameEdit(parent);
        case Ctl::DecimalEdit:
            return new CDecimalEdit(parent);
        case Ctl::IntegerEdit:
            return new CIntegerEdit(parent);
        case Ctl::NoTypeCombo:
            return new CNoTypeComboBox(parent);
        case Ctl::ShapeButton:
            return new CShapeButton(parent);
        case Ctl::GridList:
            return new CGridListCtrl(parent);
        case Ctl::Custom:
            break;
    }
    return nullptr;
}

}  // namespace

CDialogBase::CDialogBase(QWidget* parent) : QDialog(parent) {}

int TextRoom(const QAbstractButton* button) {
    const QStyle* style = button->style();
    if (qobject_cast<const QRadioButton*>(button))
        return button->width() - style->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth) -
               style->pixelMetric(QStyle::PM_RadioButtonLabelSpacing) - 2;
    if (qobject_cast<const QCheckBox*>(button))
        return button->width() - style->pixelMetric(QStyle::PM_IndicatorWidth) -
               style->pixelMetric(QStyle::PM_CheckBoxLabelSpacing) - 2;
    QStyleOptionButton option;
    option.initFrom(button);
    option.rect = button->rect();
    return style->subElementRect(QStyle::SE_PushButtonContents, &option, button).width() - 4;
}

// A language's text may be longer than the control the layout gives it: a label then
// wraps, a button shows the text shortened with "…" and keeps the whole text for
// assistive technology and as its tool tip. Neither ever runs into another control.
void SetControlText(QWidget* widget, const QString& text) {
    if (auto* label = qobject_cast<QLabel*>(widget)) {
        label->setText(text);
        if (!label->wordWrap() && label->fontMetrics().horizontalAdvance(text) > label->width())
            label->setWordWrap(true);
    } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        const int room = TextRoom(button);
        const QFontMetrics metrics(button->font());
        const bool fits = qobject_cast<CShapeButton*>(button) || room <= 0 ||
                          metrics.horizontalAdvance(QString(text).remove('&')) <= room;
        button->setText(fits ? text
                             : metrics.elidedText(QString(text).remove('&'), Qt::ElideRight, room));
        button->setAccessibleName(fits ? QString() : QString(text).remove('&'));
        button->setToolTip(fits ? QString() : QString(text).remove('&'));
    } else if (auto* group = qobject_cast<QGroupBox*>(widget))
        group->setTitle(text);
    else if (auto* edit = qobject_cast<QLineEdit*>(widget))
        edit->setText(text);
}

void CDialogBase::AddCustomControl(int id, QWidget* widget) {
    controls_[id] = widget;
}

void CDialogBase::BuildControls(std::span<const ControlSpec> table, QWidget* parent) {
    if (!parent) parent = this;
    const DialogUnits units(font());
    for (const ControlSpec& control : table) {
        QWidget* widget = nullptr;
        if (control.kind == Ctl::Custom) {
            widget = ControlWidget(control.id);
            if (!widget) continue;
            widget->setParent(parent);
        } else {
            widget = MakeControl(control, parent);
        }
        widget->setGeometry(units.Rect(control.x, control.y, control.w, control.h));
        if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
            edit->setAlignment(AlignmentOf(control.flags));
            edit->setReadOnly(control.flags & kReadOnly);
        }
        if (control.kind == Ctl::Radio) {
            if ((control.flags & kGroup) || !radioGroup_) {
                radioGroup_ = new QButtonGroup(this);
                radioGroup_->setExclusive(true);
            }
            radioGroup_->addButton(static_cast<QRadioButton*>(widget), control.id);
        }
        if (control.fixedText) SetControlText(widget, QString::fromUtf8(control.fixedText));
        if (control.text != kNoText) texts_.push_back({widget, control.text});
        if (control.id > 0) controls_[control.id] = widget;
        widget->show();
    }
}

void CDialogBase::BadControl(int id, const char* type) const {
    const bool exists = controls_.count(id) != 0;
    qFatal("%s: control %d %s", metaObject()->className(), id,
           exists ? (std::string("is no ") + type).c_str() : "does not exist");
}

void CDialogBase::LinkLabel(int labelId, int fieldId) {
    if (auto* label = qobject_cast<QLabel*>(ControlWidget(labelId)))
        label->setBuddy(ControlWidget(fieldId));
}

void CDialogBase::SetTextKey(int id, LangKey key) {
    QWidget* widget = ControlWidget(id);
    if (!widget) return;
    for (auto& binding : texts_)
        if (binding.widget == widget) {
            binding.key = key;
            return;
        }
    texts_.push_back({widget, key});
}

void CDialogBase::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && (event->modifiers() & ~Qt::KeypadModifier) == 0) {
        QWidget* focus = focusWidget();
        QAbstractButton* target = nullptr;
        for (const auto& [field, button] : enterTargets_)
            if (focus && ControlWidget(field) == focus)
                target = qobject_cast<QAbstractButton*>(ControlWidget(button));
        if (!target && (qobject_cast<QPushButton*>(focus) || qobject_cast<CShapeButton*>(focus)))
            target = static_cast<QAbstractButton*>(focus);
        if (target) {
            if (target->isEnabled() && target->isVisible()) target->click();
            event->accept();
            return;
        }
    }
    QDialog::keyPressEvent(event);
}

void CDialogBase::ApplyTexts() {
    if (titleKey_ != kNoText) setWindowTitle(QString::fromStdString(GetLangString(titleKey_)));
    for (const auto& binding : texts_)
        SetControlText(binding.widget, QString::fromStdString(GetLangString(binding.key)));
}

}  // namespace stepora

namespace stepora {

int CDialogBase::Run() {
    endAtOpen_ = false;
    ApplyTexts();
    OnOpen();
    if (endAtOpen_) {
        setResult(QDialog::Rejected);
        return QDialog::Rejected;
    }
    return RunModal(*this);
}

}  // namespace stepora
