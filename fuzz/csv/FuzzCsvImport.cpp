// SPDX-License-Identifier: GPL-3.0-or-later
// Arbitrary bytes imported as a CSV file into a scratch store: whatever the file holds,
// a failed import leaves the user file byte for byte as it was.
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "app/Clock.h"
#include "app/LangTable.h"
#include "csv/CsvImport.h"

using namespace stepora;
namespace fs = std::filesystem;

namespace {

std::string Slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const fs::path root = fs::temp_directory_path() / ("fuzz-csv-import-" + std::to_string(getpid()));
    static UserStore store;
    static LangTable* table = [] {
        fs::remove_all(root);
        fs::create_directories(root / "User");
        fs::copy(fs::path(STEPORA_DATA_DIR) / "Language", root / "Language", fs::copy_options::recursive);
        auto* t = new LangTable(root);
        InstallLangTable(t);
        SetLocalTodayOverride([] { return LocalDate{2009, 5, 2}; });
        store.SetDirectory(root / "User");
        return t;
    }();
    (void)table;
    // A fresh user each time: Anna, 2009-05-01, metric 70 kg, 75 cm.
    fs::remove(root / "User" / "Anna.usr");
    if (!store.Create("Anna", "")) abort();
    UserFileHeader h;
    store.ReadHeader("Anna", h);
    h.weight = 70;
    h.stride = 75;
    store.WriteHeader("Anna", h);
    const std::string before = Slurp(root / "User" / "Anna.usr");

    const fs::path csv = root / "in.csv";
    std::ofstream(csv, std::ios::binary).write(reinterpret_cast<const char*>(data), std::streamsize(size));
    CsvImportCallbacks callbacks;
    callbacks.showMessage = [](LangKey) {};
    callbacks.chooseUser = [](const CsvMatchRequest&) { return std::optional<CsvUserChoice>(CsvUserChoice{"Anna", true}); };
    CsvImportResult r = ImportCsv(store, csv, "Anna", h, callbacks);
    if (!r.ok && Slurp(root / "User" / "Anna.usr") != before) abort();
    if (fs::exists(root / "User" / "Anna_bk.bin")) abort();
    return 0;
}
