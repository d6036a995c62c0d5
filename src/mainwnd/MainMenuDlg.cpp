// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwnd/MainMenuDlg.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QFontInfo>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

#include "accounts/AccountDlgs.h"
#include "accounts/PasswordCheckDlg.h"
#include "app/AppGlobals.h"
#include "app/DialogUnits.h"
#include "app/Format.h"
#include "app/MessageBox.h"
#include "app/PedometerApp.h"
#include "app/QtText.h"
#include "app/WorkDirectory.h"
#include "graph/UseGraphDlg.h"
#include "mainwnd/AboutDlg.h"
#include "mainwnd/UserListCtrl.h"
#include "store/UserStore.h"

namespace stepora {
namespace {

using D = CMainMenuDlg;

// Template 102, in dialog units.
constexpr ControlSpec kControls[] = {
    {D::IDC_LOGO, Ctl::Picture, 7, 7, 96, 64},
    {D::IDC_IMPORT, Ctl::Button, 116, 15, 45, 45, 0, MAINMENU_BTN_IMPORT},
    {D::IDC_EXPORT, Ctl::Button, 166, 15, 45, 45, 0, MAINMENU_BTN_EXPORT},
    {D::IDC_ADD, Ctl::Button, 216, 15, 45, 45, 0, MAINMENU_BTN_ADDUSER},
    {D::IDC_EDIT, Ctl::Button, 266, 15, 45, 45, 0, MAINMENU_BTN_EDITUSER},
    {D::IDC_DELETE, Ctl::Button, 316, 15, 45, 45, 0, MAINMENU_BTN_DELUSER},
    {D::IDC_LOGIN, Ctl::Button, 366, 15, 45, 45, 0, MAINMENU_BTN_LOGIN},
    {0, Ctl::GroupBox, 418, 3, 91, 74},
    {D::IDC_COUNT_CAPTION, Ctl::Static, 421, 20, 85, 25, kAlignCenter | kWrap, MAINMENU_USERCNT},
    {D::IDC_COUNT, Ctl::Static, 422, 44, 84, 24, kAlignCenter},
    {0, Ctl::EtchedLine, 7, 100, 135, 1},
    {D::IDC_SEARCH_PICTURE, Ctl::Picture, 11, 118, 128, 40},
    {D::IDC_USERNAME_LABEL, Ctl::Static, 15, 173, 117, 18, 0, MAINMENU_USERNAME},
    {D::IDC_SEARCH_TEXT, Ctl::Edit, 15, 191, 117, 17},
    {D::IDC_SEARCH, Ctl::Button, 37, 221, 66, 26, 0, MAINMENU_BTN_SEARCH},
    {D::IDC_LISTALL, Ctl::Button, 37, 259, 66, 26, 0, MAINMENU_BTN_LISTALL},
    {0, Ctl::EtchedLine, 7, 299, 135, 1},
    {D::IDC_USERLIST, Ctl::Custom, 148, 80, 361, 220},
};

// The buttons and the menu items that run the same command.
constexpr struct {
    int button, item;
} kCommandPairs[] = {
    {D::IDC_IMPORT, ID_USER_IMPORT}, {D::IDC_EXPORT, ID_USER_EXPORT}, {D::IDC_ADD, ID_USER_NEW},
    {D::IDC_EDIT, ID_USER_EDIT},     {D::IDC_DELETE, ID_USER_DELETE}, {D::IDC_LOGIN, ID_USER_LOGIN},
};

struct MenuEntry {
    int id;  // 0: a separator
    LangKey key;
};

constexpr MenuEntry kUserMenu[] = {
    {ID_USER_IMPORT, MENU_ITEM2_IMPORT},
    {ID_USER_EXPORT, MENU_ITEM2_EXPORT},
    {0, kNoText},
    {ID_USER_NEW, MENU_ITEM2_NEW},
    {ID_USER_DELETE, MENU_ITEM2_DEL},
    {ID_USER_EDIT, MENU_ITEM2_EDIT},
    {0, kNoText},
    {ID_USER_LOGIN, MENU_ITEM2_LOGIN},
};
constexpr MenuEntry kFileMenu[] = {{ID_FILE_EXIT, MENU_ITEM1_EXIT}};
constexpr MenuEntry kHelpMenu[] = {{ID_HELP_DOC, MENU_ITEM4_DOC},
                                   {ID_HELP_ABOUT, MENU_ITEM4_ABOUT}};

DocumentOpener& Opener() {
    static DocumentOpener opener;
    return opener;
}

// The count texts use SimHei where it is installed, else the platform's sans face.
QFont CountFont(int pointSize) {
    QFont font(QStringLiteral("SimHei"), pointSize);
    font.setStyleHint(QFont::SansSerif);
    if (!QFontInfo(font).exactMatch()) font.setFamily(QFont().defaultFamily());
    font.setPointSize(pointSize);
    return font;
}

}  // namespace

void SetDocumentOpenerOverride(DocumentOpener opener) {
    Opener() = std::move(opener);
}

CMainMenuDlg::CMainMenuDlg(QWidget* parent) : CDialogBase(parent) {
    setFont(DialogFont());
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    menuBar_ = new QMenuBar(this);
    menuBar_->setNativeMenuBar(false);
    layout->setMenuBar(menuBar_);
    fileMenu_ = menuBar_->addMenu("File");
    userMenu_ = menuBar_->addMenu("User");
    languageMenu_ = menuBar_->addMenu("Language");
    helpMenu_ = menuBar_->addMenu("Help");
    languageGroup_ = new QActionGroup(this);
    languageGroup_->setExclusive(true);

    auto addItems = [this](QMenu* menu, std::span<const MenuEntry> items) {
        for (const auto& item : items) {
            if (item.id == 0) {
                menu->addSeparator();
                continue;
            }
            QAction* action = menu->addAction(QString());
            const int id = item.id;
            connect(action, &QAction::triggered, this, [this, id] { OnCommand(id); });
            items_[id] = action;
        }
    };
    addItems(fileMenu_, kFileMenu);
    addItems(userMenu_, kUserMenu);
    addItems(helpMenu_, kHelpMenu);

    client_ = new QWidget(this);
    client_->setFixedSize(DialogUnits(font()).Size(kTemplateWidth, kTemplateHeight));
    layout->addWidget(client_);

    userList_ = new CUserListCtrl(Globals().apEnvironment, TheUserStore(), client_);
    AddCustomControl(IDC_USERLIST, userList_);
    BuildControls(kControls, client_);
    LinkLabel(IDC_USERNAME_LABEL, IDC_SEARCH_TEXT);
    SetCountFonts();

    for (const auto& pair : kCommandPairs) {
        const int id = pair.button;
        connect(Control<QPushButton>(id), &QPushButton::clicked, this,
                [this, id] { OnCommand(id); });
    }
    connect(Control<QPushButton>(IDC_SEARCH), &QPushButton::clicked, this, [this] { OnSearch(); });
    // Enter in the search box searches.
    connect(Control<QLineEdit>(IDC_SEARCH_TEXT), &QLineEdit::returnPressed, this,
            [this] { OnSearch(); });
    connect(Control<QPushButton>(IDC_LISTALL), &QPushButton::clicked, this,
            [this] { OnListAll(); });
    // The desktop's conventions: Ctrl+Q quits, F1 opens the guide.
    items_[ID_FILE_EXIT]->setShortcut(QKeySequence::Quit);
    items_[ID_HELP_DOC]->setShortcut(QKeySequence::HelpContents);
    connect(userList_, &QTableWidget::itemSelectionChanged, this, [this] { OnSelectionChanged(); });
    connect(userList_, &QTableWidget::cellDoubleClicked, this, [this] { OnCommand(IDC_LOGIN); });
    EnterPresses(IDC_USERLIST, IDC_LOGIN);  // Enter on a user logs in, as a double click does
    userList_->onCountChanged = [this](int count) { ui_.ShowCount(count); };
    // The sub-dialogs live as long as the window and are reused by every command.
    addUserDlg_ = new CAddUserDlg(this);
    editUserDlg_ = new CEditUserDlg(this);
    passwordDlg_ = new CPasswordCheckDlg(this);
    graphDlg_ = std::make_unique<CUseGraphDlg>();
    setWindowTitle("Pedometer");
}

CMainMenuDlg::~CMainMenuDlg() = default;

void CMainMenuDlg::SetCountFonts() {
    // In the window's own text colour, which a dark theme makes light.
    for (auto [id, size] : {std::pair{IDC_COUNT_CAPTION, 12}, std::pair{IDC_COUNT, 20}})
        Control<QLabel>(id)->setFont(CountFont(size));
}

QAction* CMainMenuDlg::MenuItem(int id) const {
    auto found = items_.find(id);
    if (found != items_.end()) return found->second;
    for (QAction* action : languageMenu_->actions())
        if (action->data().toInt() == id) return action;
    return nullptr;
}

bool CMainMenuDlg::OnInitDialog() {
    std::filesystem::path workDir;
    if (!Globals().workDirectory.GetWorkDir(workDir)) {
        QMessageBox box(QMessageBox::Critical, "System Error",
                        "Fail to get AP's work directory, AP will be closed!", QMessageBox::Ok,
                        this);
        box.setWindowModality(Qt::ApplicationModal);
        RunModal(box);
        return false;
    }

    QIcon icon(PathText(workDir / "Ptn" / "APPTitle.ico"));
    if (!icon.isNull() && !icon.availableSizes().isEmpty()) setWindowIcon(icon);

    CApEnvironment& environment = Globals().apEnvironment;
    environment.Init(workDir);
    // A fresh work directory has no User folder yet: without one no user can be made.
    if (std::string why; !MakeUserFolder(environment.UserDir(), why)) {
        DoMessageBox(
            GetLangString(MAINMENU_STR39) + "(" + environment.UserDir().string() + ")\n" + why,
            MsgButtons::Ok, MsgIcon::Stop, this);
        return false;
    }
    TheUserStore().SetDirectory(environment.UserDir());
    ui_.Bind(this, environment.PtnDir());
    ApplyTexts();
    ui_.SetEnabling({});
    ui_.EnableSearch(true);
    ui_.EnableListAll(true);
    ui_.DrawPictures();
    userList_->Init();
    ReloadAll();
    return true;
}

void CMainMenuDlg::BuildMenus() {
    fileMenu_->setTitle(LangText(MENU_TITLE_FILE));
    userMenu_->setTitle(LangText(MENU_TITLE_USER));
    languageMenu_->setTitle(LangText(MENU_TITLE_LANG));
    helpMenu_->setTitle(LangText(MENU_TITLE_HELP));
    for (auto menu : {std::span<const MenuEntry>(kFileMenu), std::span<const MenuEntry>(kUserMenu),
                      std::span<const MenuEntry>(kHelpMenu)})
        for (const auto& item : menu)
            if (item.id) items_[item.id]->setText(LangText(item.key));

    // The chosen language's item may be the one whose signal is running right now: take
    // the old items out at once, but delete them only back in the event loop.
    for (QAction* old : languageMenu_->actions()) {
        languageMenu_->removeAction(old);
        languageGroup_->removeAction(old);
        old->deleteLater();
    }
    uint32_t count = 0, current = 0;
    StrictGetLanguageCount(count);
    StrictGetCurrentLanguage(current);
    for (uint32_t i = 0; i < count && i <= ID_LANGUAGE_LAST - ID_LANGUAGE_FIRST; ++i) {
        std::string name;
        StrictGetLanguageName(i, name);
        QAction* action = languageMenu_->addAction(Qs(name));
        const int id = ID_LANGUAGE_FIRST + static_cast<int>(i);
        action->setData(id);
        action->setCheckable(true);
        action->setChecked(i == current);
        languageGroup_->addAction(action);
        connect(action, &QAction::triggered, this, [this, id] { OnCommand(id); });
    }
    menuBar_->update();
}

void CMainMenuDlg::ApplyTexts() {
    BuildMenus();
    SetTitleKey(MAINMENU_TITLE);
    CDialogBase::ApplyTexts();
    // The list has no label of its own; the count's caption names what it lists.
    userList_->setAccessibleName(LangText(MAINMENU_USERCNT));
}

int CMainMenuDlg::ReloadAll() {
    ui_.SetEnabling({});
    ui_.ShowCount(0);
    const int listed = userList_->ReloadAll();
    ui_.SetEnabling(EnablingAfterReload(TheUserStore().GetCount()));
    return listed;
}

int CMainMenuDlg::ReloadMatching(const std::string& pattern) {
    ui_.SetEnabling({});
    // Matches are counted, but the shown count of all users stays.
    auto showCount = std::exchange(userList_->onCountChanged, nullptr);
    const int matches = userList_->ReloadMatching(pattern);
    userList_->onCountChanged = std::move(showCount);
    ui_.SetEnabling(EnablingAfterReload(TheUserStore().GetCount()));
    return matches;
}

void CMainMenuDlg::OnSelectionChanged() {
    ui_.SetEnabling(EnablingForSelection(ui_.Enabling(), userList_->SelectedCount()));
}

void CMainMenuDlg::OnSearch() {
    const std::string pattern = Us(Control<QLineEdit>(IDC_SEARCH_TEXT)->text());
    if (pattern.empty()) {
        ShowMessage(GetLangString(MAINMENU_STR1), this);
        return;
    }
    const int matches = ReloadMatching(pattern);
    DoMessageBox(Format("%s%d", GetLangString(MAINMENU_STR23).c_str(), matches), MsgButtons::Ok,
                 MsgIcon::None, this);
}

void CMainMenuDlg::OnListAll() {
    Control<QLineEdit>(IDC_SEARCH_TEXT)->clear();
    ReloadAll();
}

void CMainMenuDlg::OnAbout() {
    CAboutDlg about(Globals().apEnvironment.PtnDir(), this);
    RunModal(about);
}

// The guide of the current language, in the work directory's doc folder.
void CMainMenuDlg::OpenUserGuide() {
    const std::filesystem::path path =
        Globals().apEnvironment.DocDir() / GetLangString(MAINMENU_STR26);
    const QString file = PathText(path);
    const bool opened =
        Opener() ? Opener()(file)
                 : QFileInfo(file).isFile() && QDesktopServices::openUrl(QUrl::fromLocalFile(file));
    if (!opened) DoMessageBox(GetLangString(MAINMENU_STR27), MsgButtons::Ok, MsgIcon::Warning);
}

void CMainMenuDlg::OnCommand(int id) {
    switch (id) {
        case ID_FILE_EXIT:
            QMetaObject::invokeMethod(this, &QDialog::close, Qt::QueuedConnection);
            return;
        case ID_HELP_DOC:
            OpenUserGuide();
            return;
        case ID_HELP_ABOUT:
            OnAbout();
            return;
        case IDC_IMPORT:
        case ID_USER_IMPORT:
            OnImportUser();
            return;
        case IDC_EXPORT:
        case ID_USER_EXPORT:
            OnExportUser();
            return;
        case IDC_ADD:
        case ID_USER_NEW:
            OnAddUser();
            return;
        case IDC_EDIT:
        case ID_USER_EDIT:
            OnEditUser();
            return;
        case IDC_DELETE:
        case ID_USER_DELETE:
            OnDeleteUsers();
            return;
        case IDC_LOGIN:
        case ID_USER_LOGIN:
            OnLogin();
            return;
        default:
            break;
    }
    if (id >= ID_LANGUAGE_FIRST && id <= ID_LANGUAGE_LAST)
        SwitchLanguage(static_cast<uint32_t>(id - ID_LANGUAGE_FIRST));
}

void CMainMenuDlg::SwitchLanguage(uint32_t index) {
    if (!StrictSetCurrentLanguage(index)) return;
    FollowLanguageInQt();
    ApplyTexts();
    if (Control<QLineEdit>(IDC_SEARCH_TEXT)->text().isEmpty())
        ReloadAll();
    else
        ReloadMatching(Us(Control<QLineEdit>(IDC_SEARCH_TEXT)->text()));
    update();
}

void CMainMenuDlg::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        event->accept();  // Escape never closes the main window
        return;
    }
    CDialogBase::keyPressEvent(event);
}

}  // namespace stepora
