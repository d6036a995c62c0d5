// SPDX-License-Identifier: GPL-3.0-or-later
#include "accounts/AccountFlows.h"

#include <algorithm>
#include <cctype>

#include "app/ApEnvironment.h"
#include "store/UserStore.h"

namespace stepora {
namespace {

void Say(const AccountPrompts& prompts, const std::string& text) {
    if (prompts.showMessage) prompts.showMessage(text);
}

void Say(const AccountPrompts& prompts, LangKey key) {
    Say(prompts, GetLangString(key));
}

void Say(const AccountPrompts& prompts, AddedKey key) {
    Say(prompts, GetLangString(key));
}

void Changed(const AccountPrompts& prompts) {
    if (prompts.usersChanged) prompts.usersChanged();
}

// A remembered folder that could not be written is said, and the command goes on.
void SayIfNotSaved(const AccountPrompts& prompts, const CApEnvironment& environment, bool saved) {
    if (!saved) Say(prompts, environment.NotSavedMessage());
}

}  // namespace

bool CheckPassword(const AccountPrompts& prompts, const std::string& stored,
                   const std::string& userLine, LangKey wrongKey, bool askWhenEmpty) {
    if (stored.empty() && !askWhenEmpty) return true;
    for (;;) {
        const std::optional<std::string> typed =
            prompts.askPassword ? prompts.askPassword(userLine) : std::nullopt;
        if (!typed) return false;
        if (*typed == stored) return true;
        Say(prompts, wrongKey);
    }
}

bool AddUserAccount(UserStore& store, const AccountPrompts& prompts) {
    Account account;
    for (;;) {
        std::optional<Account> accepted = prompts.editAccount(account);
        if (!accepted) return false;
        account = *accepted;
        // The dialog reopens with what was typed. A pasted name can hold what typing cannot.
        if (!IsValidUserName(account.name))
            Say(prompts, ADDUSER_STR3);
        else if (store.Exists(account.name))
            Say(prompts, MAINMENU_STR21);
        else
            break;
    }
    if (!store.Create(account.name, account.password)) {
        Say(prompts, MAINMENU_STR22);
        return false;
    }
    Changed(prompts);
    return true;
}

bool EditUserAccount(UserStore& store, int selectedRows, const std::vector<std::string>& names,
                     const AccountPrompts& prompts) {
    if (selectedRows == 0) return Say(prompts, MAINMENU_STR13), false;
    if (selectedRows > 1) return Say(prompts, MAINMENU_STR14), false;
    if (names.empty()) return Say(prompts, MAINMENU_STR15), false;
    const std::string& name = names.front();

    UserFileHeader header;
    if (!store.ReadHeader(name, header)) return Say(prompts, MAINMENU_STR16), false;
    const std::string password = HeaderPassword(header);
    if (!CheckPassword(prompts, password, NamedMessage(MAINMENU_STR17, name), MAINMENU_STR18))
        return false;
    std::optional<Account> accepted{{name, password}};
    while ((accepted = prompts.editAccount(*accepted)) && !IsValidUserName(accepted->name))
        Say(prompts, EDITUSER_STR3);  // reopened with what was typed
    if (!accepted) return false;
    if (!store.Rename(name, accepted->name, accepted->password))
        return Say(prompts, MAINMENU_STR19), false;
    Changed(prompts);
    Say(prompts, MAINMENU_STR20);
    return true;
}

bool DeleteUserAccounts(UserStore& store, const std::vector<std::string>& names,
                        const AccountPrompts& prompts) {
    if (names.empty()) return Say(prompts, MAINMENU_STR6), false;
    for (const std::string& name : names) {
        UserFileHeader header;
        if (!store.ReadHeader(name, header)) {
            Say(prompts, NamedMessage(MAINMENU_STR7, name));
            continue;
        }
        if (!CheckPassword(prompts, HeaderPassword(header), NamedMessage(MAINMENU_STR8, name),
                           MAINMENU_STR9))
            continue;
        if (!prompts.confirm(NamedMessage(MAINMENU_STR10, name), false)) continue;
        if (!prompts.confirm(GetLangString(MAINMENU_STR11), true)) continue;
        if (!store.Delete(name)) Say(prompts, NamedMessage(MAINMENU_STR12, name));
    }
    Changed(prompts);
    return true;
}

std::optional<std::string> LogInUser(UserStore& store, const std::vector<std::string>& names,
                                     const AccountPrompts& prompts) {
    if (names.empty()) return Say(prompts, MAINMENU_STR5), std::nullopt;
    const std::string& name = names.front();
    UserFileHeader header;
    if (!store.ReadHeader(name, header)) return Say(prompts, MAINMENU_STR4), std::nullopt;
    if (!CheckPassword(prompts, HeaderPassword(header), GetLangString(MAINMENU_STR3),
                       MAINMENU_STR2))
        return std::nullopt;
    return name;
}

bool ImportUserFile(UserStore& store, const CApEnvironment& environment,
                    const AccountPrompts& prompts) {
    using Folder = CApEnvironment::Folder;
    const auto chosen =
        prompts.chooseFile({FileChooserRequest::OpenFile, GetLangString(MAINMENU_STR28),
                            environment.RememberedFolder(Folder::UserImport),
                            GetLangString(MAINMENU_STR40) + ";;" + GetLangString(MAINMENU_STR41)});
    if (!chosen) return false;
    const std::string path = chosen->string();

    // The folder is remembered before the file is examined.
    SayIfNotSaved(
        prompts, environment,
        environment.RememberFolder(Folder::UserImport, CApEnvironment::FolderToRemember(*chosen)));

    std::string extension = chosen->extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return std::tolower(c); });
    if (extension != ".usr") return Say(prompts, NamedMessage(MAINMENU_STR29, path)), false;

    if (!store.CheckExportFile(*chosen))
        return Say(prompts, NamedMessage(MAINMENU_STR30, path)), false;
    const std::string name = chosen->stem().string();
    // An existing user is never overwritten.
    if (store.Exists(name)) return Say(prompts, NamedMessage(MAINMENU_STR31, name)), false;
    if (!store.ImportFile(name, *chosen)) return Say(prompts, MAINMENU_STR32), false;
    Changed(prompts);
    Say(prompts, MAINMENU_STR33);
    return true;
}

bool ExportUserFile(const UserStore& store, const CApEnvironment& environment,
                    const std::vector<std::string>& names, const AccountPrompts& prompts) {
    using Folder = CApEnvironment::Folder;
    if (names.empty()) return Say(prompts, MAINMENU_STR34), false;
    // Only the first selected user is exported.
    const std::string& name = names.front();

    const auto folder = prompts.chooseFile({FileChooserRequest::ChooseFolder,
                                            GetLangString(MAINMENU_STR35),
                                            environment.RememberedFolder(Folder::UserExport),
                                            {}});
    if (!folder) return false;
    SayIfNotSaved(prompts, environment,
                  environment.RememberFolder(Folder::UserExport, folder->string()));

    const std::filesystem::path target = *folder / (name + ".usr");
    std::error_code ec;
    if (std::filesystem::exists(target, ec) &&
        !prompts.confirm(GetLangString(MAINMENU_STR36), false))
        return false;
    if (!store.ExportFile(name, target)) return Say(prompts, MAINMENU_STR37), false;
    Say(prompts, MAINMENU_STR38);
    return true;
}

}  // namespace stepora
