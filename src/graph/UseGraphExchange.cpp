// SPDX-License-Identifier: GPL-3.0-or-later
// The graph window's commands that bring days in or take them out: download from the
// pedometer, CSV export and CSV import.
#include "accounts/PasswordCheckDlg.h"
#include "accounts/UserMatchDlg.h"
#include "app/AppGlobals.h"
#include "app/FileChooser.h"
#include "app/MessageBox.h"
#include "csv/CsvExport.h"
#include "csv/CsvExportDlg.h"
#include "csv/CsvImport.h"
#include "device/DownloadMatch.h"
#include "device/UsbTransDlg.h"
#include "graph/UseGraphDlg.h"
#include "store/UserStore.h"

namespace stepora {
void CUseGraphDlg::OnDownload() {
    UserFileHeader header;
    if (!TheUserStore().ReadHeader(userName_, header))
        return ShowMessage(GetLangString(USEGRAPH_STR2), this);
    // The current user's password, even an empty one, is asked again.
    if (!CheckPassword(*passwordDlg_, HeaderPassword(header), GetLangString(APPEDN_STR1),
                       APPEDN_STR2, this, /*askWhenEmpty=*/true))
        return ShowMessage(GetLangString(APPEDN_STR3), this);
    if (DoMessageBox(GetLangString(USEGRAPH_STR12), MsgButtons::YesNo, MsgIcon::Question, this) !=
        kIdYes)
        return ShowMessage(GetLangString(USEGRAPH_STR13), this);
    if (transferDlg_->Run() != QDialog::Accepted) return;

    DownloadCallbacks callbacks;
    callbacks.showMessage = [this](LangKey key) { ShowMessage(GetLangString(key), this); };
    callbacks.chooseUser = [this](const UserMatchRequest& request) -> std::optional<std::string> {
        // A download always takes over the pedometer's profile.
        matchDlg_->SetRequest(request, /*adoptEnabled=*/false, /*adoptChecked=*/true);
        if (matchDlg_->Run() != QDialog::Accepted) return std::nullopt;
        return matchDlg_->ChosenName();
    };
    const auto receiver =
        StoreDownload(TheUserStore(), userName_, AssignDays(transferDlg_->Data()), callbacks);
    if (receiver) ShowUser(*receiver);
}

void CUseGraphDlg::OnCsvExport() {
    const UserFileHeader& header = aggregation_.Header();
    csvExportDlg_->SetStoredDays(header.firstDay, header.lastDay);
    if (csvExportDlg_->Run() != QDialog::Accepted) return;
    const CsvUser user{userName_, header.unitSystem, header.weight, header.stride};
    const bool exported = ExportCsv(TheUserStore(), user, csvExportDlg_->ExportPath(),
                                    csvExportDlg_->FromDay(), csvExportDlg_->ToDay());
    ShowMessage(GetLangString(exported ? CSV_STR2 : CSV_STR1), this);
}

void CUseGraphDlg::OnCsvImport() {
    CApEnvironment& environment = Globals().apEnvironment;
    const auto chosen =
        ChooseFile({FileChooserRequest::OpenFile, GetLangString(CSV_STR41),
                    environment.RememberedFolder(CApEnvironment::Folder::CsvImport),
                    GetLangString(CSV_STR47) + ";;" + GetLangString(MAINMENU_STR41)},
                   this);
    if (!chosen) return;
    // The folder is remembered before the file is examined.
    SayIfNotSaved(
        environment.RememberFolder(CApEnvironment::Folder::CsvImport, CsvImportFolder(*chosen)),
        this);
    if (!HasCsvExtension(*chosen))
        return ShowMessage(NamedMessage(CSV_STR42, chosen->string()), this);

    CsvImportCallbacks callbacks;
    callbacks.showMessage = [this](LangKey key) { ShowMessage(GetLangString(key), this); };
    callbacks.chooseUser = [this](const CsvMatchRequest& request) -> std::optional<CsvUserChoice> {
        matchDlg_->SetRequest(request, /*adoptEnabled=*/true, /*adoptChecked=*/false);
        if (matchDlg_->Run() != QDialog::Accepted) return std::nullopt;
        return CsvUserChoice{matchDlg_->ChosenName(), matchDlg_->AdoptProfile()};
    };
    const CsvImportResult result =
        ImportCsv(TheUserStore(), *chosen, userName_, aggregation_.Header(), callbacks);
    if (!result.ok) {
        // A file at fault says which line and why.
        const std::string why = CsvFailureText(result.failure);
        return ShowMessage(GetLangString(CSV_STR44) + (why.empty() ? "" : "\n" + why), this);
    }
    ShowUser(result.receivingUser);
    ShowMessage(GetLangString(CSV_STR45), this);
}

}  // namespace stepora
