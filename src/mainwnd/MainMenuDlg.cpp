#include "mainwnd/MainMenuDlg.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QIcon>
#include <QKeyEvent>
#include <QMessageBox>
#include <QUrl>
#include <QVBoxLayout>

#include "app/MessageBox.h"
#include "app/PedometerApp.h"

namespace stepora {
namespace {

struct MenuItemSpec {
    int id;  // 0: a separator
    LangKey key;
};

constexpr MenuItemSpec kUserMenu[] = {
    {ID_USER_IMPORT, MENU_ITEM2_IMPORT},
    {ID_USER_EXPORT, MENU_ITEM2_EXPORT},
    {0, MENU_ITEM2_EXPORT},
    {ID_USER_NEW, MENU_ITEM2_NEW},
    {ID_USER_DELETE, MENU_ITEM2_DEL},
    {ID_USER_EDIT, MENU_ITEM2_EDIT},
    {0, MENU_ITEM2_EDIT},
    {ID_USER_LOGIN, MENU_ITEM2_LOGIN},
};
constexpr MenuItemSpec kHelpMenu[] = {{ID_HELP_DOC, MENU_ITEM4_DOC},
                                      {ID_HELP_ABOUT, MENU_ITEM4_ABOUT}};

QString Text(LangKey key) {
    return QString::fromStdString(GetLangString(key));
}

}  // namespace

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

    auto addItem = [this](QMenu* menu, const MenuItemSpec& item) {
        if (item.id == 0) {
            menu->addSeparator();
            return;
        }
        QAction* action = menu->addAction(QString());
        const int id = item.id;
        connect(action, &QAction::triggered, this, [this, id] { OnCommand(id); });
        items_[id] = action;
    };
    addItem(fileMenu_, {ID_FILE_EXIT, MENU_ITEM1_EXIT});
    for (const auto& item : kUserMenu) addItem(userMenu_, item);
    for (const auto& item : kHelpMenu) addItem(helpMenu_, item);

    client_ = new QWidget(this);
    client_->setFixedSize(DialogUnits(font()).Size(kTemplateWidth, kTemplateHeight));
    layout->addWidget(client_);
    setWindowTitle("Pedometer");
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

    QIcon icon(QString::fromStdString((workDir / "Ptn" / "APPTitle.ico").string()));
    if (!icon.isNull() && !icon.availableSizes().isEmpty()) setWindowIcon(icon);

    Globals().apEnvironment.Init(workDir);
    BuildMenus();
    ApplyWindowTexts();
    return true;
}

void CMainMenuDlg::BuildMenus() {
    fileMenu_->setTitle(Text(MENU_TITLE_FILE));
    userMenu_->setTitle(Text(MENU_TITLE_USER));
    languageMenu_->setTitle(Text(MENU_TITLE_LANG));
    helpMenu_->setTitle(Text(MENU_TITLE_HELP));

    items_[ID_FILE_EXIT]->setText(Text(MENU_ITEM1_EXIT));
    for (const auto& item : kUserMenu)
        if (item.id) items_[item.id]->setText(Text(item.key));
    for (const auto& item : kHelpMenu) items_[item.id]->setText(Text(item.key));

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
        QAction* action = languageMenu_->addAction(QString::fromStdString(name));
        const int id = ID_LANGUAGE_FIRST + static_cast<int>(i);
        action->setData(id);
        action->setCheckable(true);
        action->setChecked(i == current);
        languageGroup_->addAction(action);
        connect(action, &QAction::triggered, this, [this, id] { OnCommand(id); });
    }
    menuBar_->update();
}

namespace {

CMainMenuDlg::DocumentOpener& Opener() {
    static CMainMenuDlg::DocumentOpener opener;
    return opener;
}

}  // namespace

void CMainMenuDlg::SetDocumentOpener(DocumentOpener opener) {
    Opener() = std::move(opener);
}

// The guide of the current language, in the work directory's doc folder.
void CMainMenuDlg::OpenUserGuide() {
    const std::filesystem::path path =
        Globals().apEnvironment.DocDir() / GetLangString(MAINMENU_STR26);
    const QString file = QString::fromStdString(path.string());
    const bool opened =
        Opener() ? Opener()(file)
                 : QFileInfo(file).isFile() && QDesktopServices::openUrl(QUrl::fromLocalFile(file));
    if (!opened) DoMessageBox(GetLangString(MAINMENU_STR27), MsgButtons::Ok, MsgIcon::Warning);
}

void CMainMenuDlg::ApplyWindowTexts() {
    setWindowTitle(Text(MAINMENU_TITLE));
}

void CMainMenuDlg::OnCommand(int id) {
    if (id == ID_FILE_EXIT) {
        QMetaObject::invokeMethod(this, &QDialog::close, Qt::QueuedConnection);
    } else if (id == ID_HELP_DOC) {
        OpenUserGuide();
    } else if (id >= ID_LANGUAGE_FIRST && id <= ID_LANGUAGE_LAST) {
        SwitchLanguage(static_cast<uint32_t>(id - ID_LANGUAGE_FIRST));
    }
}

void CMainMenuDlg::SwitchLanguage(uint32_t index) {
    if (!StrictSetCurrentLanguage(index)) return;
    BuildMenus();
    ApplyWindowTexts();
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
