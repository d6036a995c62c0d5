// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/NoTypeComboBox.h"

#include <QAccessible>
#include <QAccessibleWidget>

namespace stepora {
namespace {

// A drop-down list as Qt presents one (its open list as the only child, an action that
// opens and closes it), named by its accessible name; its value stays its current item.
class NoTypeComboAccessible : public QAccessibleWidget {
public:
    explicit NoTypeComboAccessible(QComboBox* box)
        : QAccessibleWidget(box, QAccessible::ComboBox) {}

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name && !Box()->accessibleName().isEmpty())
            return Box()->accessibleName();
        if (t == QAccessible::Name || t == QAccessible::Value) return Box()->currentText();
        return QAccessibleWidget::text(t);
    }
    int childCount() const override { return 1; }
    QAccessibleInterface* child(int index) const override {
        return index == 0 ? QAccessible::queryAccessibleInterface(Box()->view()) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        return child && child->object() == Box()->view() ? 0 : -1;
    }
    QStringList actionNames() const override {
        return {showMenuAction(), pressAction(), setFocusAction()};
    }
    void doAction(const QString& name) override {
        if (name != showMenuAction() && name != pressAction())
            return QAccessibleWidget::doAction(name);
        if (Box()->view()->isVisible())
            Box()->hidePopup();
        else
            Box()->showPopup();
    }

private:
    QComboBox* Box() const { return static_cast<QComboBox*>(widget()); }
};

QAccessibleInterface* NoTypeComboFactory(const QString& className, QObject* object) {
    if (className == QLatin1String("stepora::CNoTypeComboBox") && object)
        return new NoTypeComboAccessible(static_cast<QComboBox*>(object));
    return nullptr;
}

}  // namespace

CNoTypeComboBox::CNoTypeComboBox(QWidget* parent) : QComboBox(parent) {
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(NoTypeComboFactory);
        return true;
    }();
    (void)factoryInstalled;
    setEditable(false);
    view()->installEventFilter(this);
}

}  // namespace stepora
