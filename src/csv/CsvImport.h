// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "accounts/UserMatchRequest.h"
#include "app/LangTable.h"
#include "store/UserFile.h"
#include "store/UserStore.h"

namespace stepora {

// What the user match dialog is shown when the file does not go straight to the current user.
using CsvMatchRequest = UserMatchRequest;

using CsvUserChoice = ReceivingUser;

struct CsvImportCallbacks {
    std::function<void(LangKey)> showMessage;
    // Runs the user match dialog; nothing when it is cancelled.
    std::function<std::optional<CsvUserChoice>(const CsvMatchRequest&)> chooseUser;
};

struct CsvImportResult {
    bool ok = false;
    std::string receivingUser;  // when ok: the user to show
};

// Imports a CSV file: checks its whole header, finds the receiving user (the current one,
// or whom chooseUser names), then writes its days under a backup. A failure leaves the
// receiving user's file as it was.
CsvImportResult ImportCsv(UserStore& store, const std::filesystem::path& path,
                          const std::string& currentName, const UserFileHeader& current,
                          const CsvImportCallbacks& callbacks);

// The header of a CSV file as import reads it; weight and stride are 0 when never filled in.
struct CsvFileHeader {
    uint32_t unit = 0, weight = 0, stride = 0, firstDay = 0, lastDay = 0;
    std::string user;
};

// Why a whole file could not be read; line counts from 1 (the first day is line 8).
struct CsvReadFailure {
    enum Kind { None, CannotOpen, BadHeader, BadDay } kind = None;
    uint32_t line = 0;
};

// Reads a whole CSV file by the rules import applies: the header and one record for each
// day firstDay … lastDay. Nonzero on success.
int ReadCsvDays(const std::filesystem::path& path, CsvFileHeader& header,
                std::vector<DayRecord>& days, CsvReadFailure* failure = nullptr);

// For the import command: whether the chosen file is a CSV file (the extension "csv" in
// any case), and the folder to remember for the next choice (empty when 2048 bytes or longer).
bool HasCsvExtension(const std::filesystem::path& path);
std::string CsvImportFolder(const std::filesystem::path& path);

}  // namespace stepora
