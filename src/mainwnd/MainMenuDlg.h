// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>
#include <functional>
#include <map>
#include <memory>

#include "accounts/AccountFlows.h"
#include "app/LangTable.h"
#include "mainwnd/MainMenuUi.h"
#include "widgets/DialogBase.h"

namespace stepora {

class CAccountDlg;
class CAddUserDlg;
class CEditUserDlg;
class CPasswordCheckDlg;
class CUseGraphDlg;
class CUserListCtrl;
class UserStore;

// Command ids of the main window's menu.
enum MainMenuCommand : int {
    ID_FILE_EXIT = 32773,
    ID_USER_IMPORT = 32789,
    ID_USER_EXPORT = 32790,
    ID_USER_NEW = 32791,
    ID_USER_DELETE = 32792,
    ID_USER_EDIT = 32793,
    ID_HELP_DOC = 32796,
    ID_HELP_ABOUT = 32797,
    ID_USER_LOGIN = 32798,
    ID_LANGUAGE_FIRST = 0xFF00,  // language i has the id 0xFF00 + i
    ID_LANGUAGE_LAST = 0xFFFF,
};

// Opens a document with the desktop's viewer; false when that failed. Tests replace it.
using DocumentOpener = std::function<bool(const QString& path)>;
void SetDocumentOpenerOverride(DocumentOpener opener);

// The main window: the program's one top-level window, run modally. It lists the users
// of the work directory and runs the user commands.
class CMainMenuDlg : public CDialogBase {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 102;
    static constexpr int kTemplateWidth = 516;  // dialog units
    static constexpr int kTemplateHeight = 307;

    enum ControlId : int {
        IDC_USERLIST = 1000,
        IDC_SEARCH_PICTURE = 1001,
        IDC_USERNAME_LABEL = 1003,
        IDC_SEARCH_TEXT = 1004,
        IDC_SEARCH = 1009,
        IDC_LISTALL = 1010,
        IDC_ADD = 1011,
        IDC_EDIT = 1015,
        IDC_DELETE = 1016,
        IDC_LOGIN = 1017,
        IDC_IMPORT = 1018,
        IDC_COUNT_CAPTION = 1021,
        IDC_COUNT = 1022,
        IDC_LOGO = 1023,
        IDC_EXPORT = 1024,
    };

    explicit CMainMenuDlg(QWidget* parent = nullptr);
    ~CMainMenuDlg() override;

    // Work directory, icon, settings, menus, texts and the user list; false when the
    // window must close (the work directory could not be found).
    bool OnInitDialog();

    // Runs a command of a button or menu item.
    void OnCommand(int id);

    QMenuBar* MenuBar() const { return menuBar_; }
    QAction* MenuItem(int id) const;
    QMenu* LanguageMenu() const { return languageMenu_; }
    QWidget* Client() const { return client_; }
    CUserListCtrl* UserList() const { return userList_; }
    CUseGraphDlg& GraphWindow() const { return *graphDlg_; }
    CMainMenuUi& Ui() { return ui_; }

    // Rebuilds every menu text and the Language menu from the language table.
    void BuildMenus();
    // Caption, labels, button texts and menus from the language table.
    void ApplyTexts() override;

    // Reloads every user; the count shows them all. Returns the number listed.
    int ReloadAll();
    // Reloads the users whose name contains `pattern`; the count is left alone.
    int ReloadMatching(const std::string& pattern);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void SwitchLanguage(uint32_t index);
    void OpenUserGuide();
    void OnSearch();
    void OnListAll();
    void OnAbout();
    void OnSelectionChanged();
    // The user commands (AccountCommands.cpp).
    AccountPrompts Prompts(CAccountDlg* accountDlg = nullptr);
    void OnAddUser();
    void OnEditUser();
    void OnDeleteUsers();
    void OnLogin();
    void OnImportUser();
    void OnExportUser();
    void SetCountFonts();

    QMenuBar* menuBar_ = nullptr;
    QWidget* client_ = nullptr;
    QMenu* fileMenu_ = nullptr;
    QMenu* userMenu_ = nullptr;
    QMenu* languageMenu_ = nullptr;
    QMenu* helpMenu_ = nullptr;
    QActionGroup* languageGroup_ = nullptr;
    std::map<int, QAction*> items_;
    CUserListCtrl* userList_ = nullptr;
    CMainMenuUi ui_;
    CAddUserDlg* addUserDlg_ = nullptr;
    CEditUserDlg* editUserDlg_ = nullptr;
    CPasswordCheckDlg* passwordDlg_ = nullptr;
    std::unique_ptr<CUseGraphDlg> graphDlg_;  // a window of its own, not a child
};

}  // namespace stepora
