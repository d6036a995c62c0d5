// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QDialog>
#include <cstdint>
#include <map>
#include <span>
#include <vector>

#include "app/LangTable.h"

class QButtonGroup;

namespace stepora {

// The kinds of control a dialog table can hold.
enum class Ctl : uint8_t {
    Static,        // QLabel
    Picture,       // QLabel that shows a picture file
    GroupBox,      // QGroupBox (a frame, titled when it has a text)
    EtchedLine,    // a sunken horizontal line
    Button,        // QPushButton
    Radio,         // QRadioButton; kGroup starts a new exclusive group
    Check,         // QCheckBox
    Edit,          // QLineEdit
    PasswordEdit,  // CPasswordEdit
    UserNameEdit,  // CUserNameEdit
    DecimalEdit,   // CDecimalEdit
    IntegerEdit,   // CIntegerEdit
    NoTypeCombo,   // CNoTypeComboBox
    ShapeButton,   // CShapeButton
    GridList,      // CGridListCtrl
    Custom,        // made by the dialog with AddCustomControl before BuildControls
};

enum CtlFlags : uint32_t {
    kAlignLeft = 0,
    kAlignCenter = 1 << 0,
    kAlignRight = 1 << 1,
    kReadOnly = 1 << 2,
    kDefault = 1 << 3,  // the button Enter presses from any other control
    kGroup = 1 << 4,    // a radio button that starts a new group
    kWrap = 1 << 5,     // a static whose text wraps
};

inline constexpr LangKey kNoText = LANG_KEY_COUNT;

// One control of a dialog template: its id (0 for controls nobody addresses), kind,
// place in dialog units, flags, and the key of its text (or a fixed text).
struct ControlSpec {
    int id;
    Ctl kind;
    int x, y, w, h;
    uint32_t flags = 0;
    LangKey text = kNoText;
    const char* fixedText = nullptr;
};

// A dialog whose controls come from a table and are found by their numeric ids. Each
// control remembers its text key, so ApplyTexts() re-reads every text from the language
// table when the dialog opens and at a language switch.
class CDialogBase : public QDialog {
public:
    explicit CDialogBase(QWidget* parent = nullptr);

    template <class T>
    T* Control(int id) const {
        auto found = controls_.find(id);
        T* control = found == controls_.end() ? nullptr : qobject_cast<T*>(found->second);
#ifndef NDEBUG
        // A wrong id or type is a mistake in the code: stop where it is made.
        if (!control) BadControl(id, T::staticMetaObject.className());
#endif
        return control;
    }
    QWidget* ControlWidget(int id) const {
        auto found = controls_.find(id);
        return found == controls_.end() ? nullptr : found->second;
    }

    // Sets the window title and every control text from the language table.
    virtual void ApplyTexts();

    // Opens the dialog modally through RunModal: its texts are read from the language
    // table and OnOpen() fills its fields first, every time. A dialog whose OnOpen()
    // called EndAtOpen() is not shown and answers Rejected.
    int Run();

protected:
    virtual void OnOpen() {}
    void EndAtOpen() {
        endAtOpen_ = true;
    }

    // Creates, places and registers the controls of a table, in table order (which is
    // also the Tab order), as children of `parent` (the dialog itself when null).
    void BuildControls(std::span<const ControlSpec> table, QWidget* parent = nullptr);
    // A control the table cannot make; BuildControls places it and sets its text.
    void AddCustomControl(int id, QWidget* widget);
    // The label names the field for assistive technology (and its mnemonic focuses it).
    void LinkLabel(int labelId, int fieldId);
    void SetTitleKey(LangKey key) {
        titleKey_ = key;
    }
    // Gives a control a text key after the table was built.
    void SetTextKey(int id, LangKey key);
    // Enter in the control `fieldId` presses the button `buttonId`.
    void EnterPresses(int fieldId, int buttonId) {
        enterTargets_[fieldId] = buttonId;
    }
    // Enter presses the focused button, or the button the focused control names
    // (EnterPresses), or else the kDefault button; Escape rejects.
    void keyPressEvent(QKeyEvent* event) override;

    void RegisterControl(int id, QWidget* widget) {
        controls_[id] = widget;
    }

private:
    [[noreturn]] void BadControl(int id, const char* type) const;

    struct TextBinding {
        QWidget* widget;
        LangKey key;
    };
    std::map<int, QWidget*> controls_;
    std::vector<TextBinding> texts_;
    std::map<int, int> enterTargets_;
    LangKey titleKey_ = kNoText;
    QButtonGroup* radioGroup_ = nullptr;
    bool endAtOpen_ = false;
};

// Sets the visible text of a label, button, check box, group box or edit.
void SetControlText(QWidget* widget, const QString& text);

}  // namespace stepora
