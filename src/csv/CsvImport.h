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

// Why a CSV file could not be read: the line (counted from 1; the first day is line 8)
// and what is wrong with it.
struct CsvReadFailure {
    enum Kind {
        None,
        CannotOpen,
        NotLaidOut,    // not seven quoted fields ended by CR LF
        FileEnds,      // before the last day of the file's period
        NoUnitNumber,  // line 1 names no unit system 0 or 1
        EmptyName,
        NotANumber,
        NotADate,        // not year.month.day of a real date
        DateOutside,     // before 2000 or after 2099
        DaysOutOfOrder,  // the last day before the first
        OutOfRange,      // a value beyond what a user file keeps
        UnknownUnit,     // a unit system not named as this language names it
    } kind = None;
    uint32_t line = 0;
    std::string text;  // the field at fault, as the file has it
};

// What the person reads about a failure, in the current language.
std::string CsvFailureText(const CsvReadFailure& failure);

struct CsvImportResult {
    bool ok = false;
    std::string receivingUser;  // when ok: the user to show
    CsvReadFailure failure;     // when the file itself is at fault
};

// Imports a CSV file: reads the whole of it, finds the receiving user (the current one, or
// whom chooseUser names), then writes its days under a backup. A failure leaves the
// receiving user's file as it was.
CsvImportResult ImportCsv(UserStore& store, const std::filesystem::path& path,
                          const std::string& currentName, const UserFileHeader& current,
                          const CsvImportCallbacks& callbacks);

// The header of a CSV file as import reads it; weight and stride are 0 when never filled in.
struct CsvFileHeader {
    uint32_t unit = 0, weight = 0, stride = 0, firstDay = 0, lastDay = 0;
    std::string user;
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
