// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A scratch work directory with the two scratch languages, the program's globals and its
// main window; message boxes and sub-dialogs are answered by script.
#include <gtest/gtest.h>

#include <QDialog>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/AppGlobals.h"
#include "app/Clock.h"
#include "app/MessageBox.h"
#include "mainwnd/MainMenuDlg.h"
#include "store/UserFile.h"
#include "support/TempDir.h"
#include "ui/ScratchLanguages.h"
#include "widgets/DialogBase.h"

namespace stepora::test {

// The dialogs a command opens, each answered by the next step of the script.
class ModalScript {
public:
    using Step = std::function<int(CDialogBase&)>;
    ModalScript();
    ~ModalScript();
    void Then(Step step) { steps_.push_back(std::move(step)); }
    bool Done() const { return steps_.empty(); }

private:
    std::deque<Step> steps_;
};

// Sets the text of an edit as if typed over, and clicks a button; returns the dialog's
// result, for a script step's return value.
void SetField(CDialogBase& dialog, int id, const std::string& text);
int Click(CDialogBase& dialog, int id);

struct UserSpec {
    UserSpec(std::string name, uint32_t unitSystem = 0, uint32_t weight = 0, uint32_t stride = 0, std::string password = {})
        : name(std::move(name)), unitSystem(unitSystem), weight(weight), stride(stride), password(std::move(password)) {}
    std::string name;
    uint32_t unitSystem, weight, stride;
    std::string password;
};

// The day the window tests take as today.
LocalDate FixedToday();

class MainWindowFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Starts the program's globals in the work folder and initialises the main window.
    bool Start();
    void AddUsers(const std::vector<UserSpec>& users);
    std::vector<std::string> ListedNames() const;
    void SelectRows(const std::vector<int>& rows);
    std::string Text(const char* key) const { return ScratchText("en", key); }
    std::string Config(const char* section, const char* key) const;

    TempDir work_;
    std::unique_ptr<AppGlobals> globals_;
    std::unique_ptr<CMainMenuDlg> dialog_;
    // Every message box shown, and the answers to give (OK, else Yes, when none is left).
    std::vector<std::string> boxes_;
    std::deque<int> answers_;
};

}  // namespace stepora::test
