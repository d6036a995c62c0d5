// The graph window's commands that bring days in or take them out: download from the
// pedometer, CSV export and CSV import.
#include "app/AppGlobals.h"
#include "app/FileChooser.h"
#include "app/MessageBox.h"
#include "csv/CsvExport.h"
#include "csv/CsvExportDlg.h"
#include "csv/CsvImport.h"
#include "device/UserMatchDlg.h"
#include "graph/UseGraphDlg.h"
#include "store/UserStore.h"

namespace stepora {
namespace {

constexpr const char* kSection = "AP_ENVIRONMENT";
constexpr const char* kCsvFilter = "CSV file(*.csv *.CSV);;*";

void Tell(const std::string& text, QWidget* parent) {
    DoMessageBox(text, MsgButtons::Ok, MsgIcon::None, parent);
}

}  // namespace

void CUseGraphDlg::OnCsvExport() {
    const UserFileHeader& header = aggregation_.Header();
    csvExportDlg_->SetStoredDays(header.firstDay, header.lastDay);
    if (csvExportDlg_->Run() != QDialog::Accepted) return;
    const CsvUser user{userName_, header.unitSystem, header.weight, header.stride};
    const bool exported = ExportCsv(TheUserStore(), user, csvExportDlg_->ExportPath(),
                                    csvExportDlg_->FromDay(), csvExportDlg_->ToDay());
    Tell(GetLangString(exported ? CSV_STR2 : CSV_STR1), this);
}

void CUseGraphDlg::OnCsvImport() {
    CApEnvironment& environment = Globals().apEnvironment;
    const std::string remembered = environment.ReadConfig(kSection, "CSVImportDir");
    const auto chosen = ChooseFile(
        {FileChooserRequest::OpenFile, GetLangString(CSV_STR41),
         remembered == "NULL" ? std::filesystem::path() : std::filesystem::path(remembered),
         kCsvFilter},
        this);
    if (!chosen) return;
    // The folder is remembered before the file is examined.
    environment.WriteConfig(kSection, "CSVImportDir", CsvImportFolder(*chosen));
    if (!HasCsvExtension(*chosen)) return Tell(NamedMessage(CSV_STR42, chosen->string()), this);

    CsvImportCallbacks callbacks;
    callbacks.showMessage = [this](LangKey key) { Tell(GetLangString(key), this); };
    callbacks.chooseUser = [this](const CsvMatchRequest& request) -> std::optional<CsvUserChoice> {
        matchDlg_->SetRequest(request, /*adoptEnabled=*/true, /*adoptChecked=*/false);
        if (matchDlg_->Run() != QDialog::Accepted) return std::nullopt;
        return CsvUserChoice{matchDlg_->ChosenName(), matchDlg_->AdoptProfile()};
    };
    const CsvImportResult result =
        ImportCsv(TheUserStore(), *chosen, userName_, aggregation_.Header(), callbacks);
    if (!result.ok) return Tell(GetLangString(CSV_STR44), this);
    ShowUser(result.receivingUser);
    Tell(GetLangString(CSV_STR45), this);
}

}  // namespace stepora
