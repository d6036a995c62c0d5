// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The account commands of the main window as flows: each asks the person through the
// prompts, which the window fills with its real dialogs, and changes the store. Nothing
// here shows a window, so a test runs every question and its order without one.
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/FileChooserRequest.h"
#include "app/LangTable.h"

namespace stepora {

class CApEnvironment;
class UserStore;

// A name and a password, as the add and edit dialogs show and accept them.
struct Account {
    std::string name, password;
};

struct AccountPrompts {
    // The password typed in the prompt headed by `userLine`; nothing when cancelled.
    std::function<std::optional<std::string>(const std::string& userLine)> askPassword;
    // The add or edit dialog, opened showing `shown`; what it accepted, nothing when cancelled.
    std::function<std::optional<Account>(const Account& shown)> editAccount;
    // A yes/no question, shown as a warning when `warning`; true for yes.
    std::function<bool(const std::string& question, bool warning)> confirm;
    std::function<void(const std::string& text)> showMessage;
    // A file or folder chooser; nothing when cancelled.
    std::function<std::optional<std::filesystem::path>(const FileChooserRequest&)> chooseFile;
    // Told as soon as the users changed, before any closing message, so the list behind
    // that message is already the new one.
    std::function<void()> usersChanged;
};

// Asks for the stored password until it is typed exactly, showing `wrongKey` after each
// wrong answer; false when the person cancels. An empty stored password passes at once,
// unless `askWhenEmpty` (then only an empty answer passes).
bool CheckPassword(const AccountPrompts& prompts, const std::string& stored,
                   const std::string& userLine, LangKey wrongKey, bool askWhenEmpty = false);

// Each flow returns whether it did what was asked.
bool AddUserAccount(UserStore& store, const AccountPrompts& prompts);
// `selectedRows` counts the rows selected, `names` the names read from them.
bool EditUserAccount(UserStore& store, int selectedRows, const std::vector<std::string>& names,
                     const AccountPrompts& prompts);
// Each user in turn: the password, then two questions; a refusal skips that user only.
bool DeleteUserAccounts(UserStore& store, const std::vector<std::string>& names,
                        const AccountPrompts& prompts);
// The first selected user, once its password was typed: the user whose graph window opens.
std::optional<std::string> LogInUser(UserStore& store, const std::vector<std::string>& names,
                                     const AccountPrompts& prompts);
// A user file chosen and added as a new user named after it.
bool ImportUserFile(UserStore& store, const CApEnvironment& environment,
                    const AccountPrompts& prompts);
// The first selected user written as a user file into a chosen folder.
bool ExportUserFile(const UserStore& store, const CApEnvironment& environment,
                    const std::vector<std::string>& names, const AccountPrompts& prompts);

}  // namespace stepora
