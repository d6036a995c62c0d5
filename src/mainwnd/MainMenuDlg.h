#pragma once
#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>
#include <functional>
#include <map>

#include "app/DialogUnits.h"
#include "app/LangTable.h"

namespace stepora {

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

// The main window: the program's one top-level window, run modally.
class CMainMenuDlg : public CDialogBase {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 102;
    static constexpr int kTemplateWidth = 516;  // dialog units
    static constexpr int kTemplateHeight = 307;

    explicit CMainMenuDlg(QWidget* parent = nullptr);

    // Work directory, icon, settings, menus and texts; false when the window must close
    // (the work directory could not be found).
    bool OnInitDialog();

    // Runs a menu command as the menu would.
    void OnCommand(int id);

    QMenuBar* MenuBar() const { return menuBar_; }
    QAction* MenuItem(int id) const;
    QMenu* LanguageMenu() const { return languageMenu_; }
    QWidget* Client() const { return client_; }

    // Opens a document with the desktop's viewer; false when that failed. Tests replace it.
    using DocumentOpener = std::function<bool(const QString& path)>;
    static void SetDocumentOpener(DocumentOpener opener);

    // Rebuilds every menu text and the Language menu from the language table.
    void BuildMenus();
    // Caption, labels and button texts from the language table.
    void ApplyWindowTexts();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void SwitchLanguage(uint32_t index);
    void OpenUserGuide();

    QMenuBar* menuBar_ = nullptr;
    QWidget* client_ = nullptr;
    QMenu* fileMenu_ = nullptr;
    QMenu* userMenu_ = nullptr;
    QMenu* languageMenu_ = nullptr;
    QMenu* helpMenu_ = nullptr;
    QActionGroup* languageGroup_ = nullptr;
    std::map<int, QAction*> items_;
};

}  // namespace stepora
