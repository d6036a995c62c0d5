#pragma once
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "app/LangTable.h"
#include "device/UserMatchRequest.h"
#include "store/UserFile.h"
#include "store/UserStore.h"

namespace stepora {

// What the user match dialog is shown when the file does not go straight to the current user.
using CsvMatchRequest = UserMatchRequest;

struct CsvUserChoice {
    std::string name;           // the user who receives the days
    bool adoptProfile = false;  // that user takes over the file's unit, weight and stride
};

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

// For the import command: whether the chosen file is a CSV file (the extension "csv" in
// any case), and the folder to remember for the next choice (empty when 2048 bytes or longer).
bool HasCsvExtension(const std::filesystem::path& path);
std::string CsvImportFolder(const std::filesystem::path& path);

}  // namespace stepora
