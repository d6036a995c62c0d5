// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QPointer>
#include <filesystem>
#include <memory>
#include <string>

#include "graph/PeriodAggregation.h"
#include "graph/PrintGraph.h"
#include "widgets/DialogBase.h"

namespace stepora {

class CDrawGraph;
class CUseGraphDlg;
class CCsvExportDlg;
class CPreviewFrame;
class CUserGraphPropSheet;
class CUserMatchDlg;
class CPasswordCheckDlg;
class CUsbTransDlg;

// The graph window's texts: labels, user information, period captions and the logo.
class CUseGraphUi {
public:
    void Bind(CUseGraphDlg* window, const std::filesystem::path& ptnDir);
    // Button captions, shapes and colours; the current mode and kind are marked by colour
    // and checked.
    void ApplyControlTexts(DisplayMode mode, GraphKind kind);
    void ApplyUnitLabels(uint32_t unitSystem);
    void ShowUserInfo(const std::string& name, const UserFileHeader& header);
    void ShowPeriodCaptions(const std::string& modeCaption, const std::string& rangeCaption);
    void PaintLogo();

private:
    CUseGraphDlg* window_ = nullptr;
    std::filesystem::path ptnDir_;
};

// The window in which one logged-in user works: the graph of a period, its summary, the
// best days, and the commands that change the user's data.
class CUseGraphDlg : public CDialogBase {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 130;
    static constexpr int kTemplateWidth = 620;   // dialog units
    static constexpr int kTemplateHeight = 414;  // 400, and a line for the goal figures
    enum ControlId : int {
        IDC_STEPS = 1029,
        IDC_DISTANCE = 1032,
        IDC_CALORIES = 1033,
        IDC_DOWNLOAD = 1035,
        IDC_CSV_IMPORT = 1036,
        IDC_OPTIONS = 1037,
        IDC_PRINT = 1038,
        IDC_CSV_EXPORT = 1039,
        IDC_WEEKLY = 1041,
        IDC_MONTHLY = 1042,
        IDC_YEARLY = 1043,
        IDC_ALL = 1044,
        IDC_PREVIOUS = 1045,
        IDC_NEXT = 1046,
        IDC_RECENTLY = 1047,
        IDC_CLOSE = 1048,
        IDC_GO = 1050,
        IDC_GRAPH = 1051,
        IDC_DAILY = 1052,
        IDC_LOGO = 1078,
        IDC_NAME_LABEL = 1086,
        IDC_WEIGHT_LABEL = 1089,
        IDC_STRIDE_LABEL = 1090,
        IDC_MODE_CAPTION = 1091,
        IDC_RANGE_CAPTION = 1092,
        IDC_SUMMARY = 1145,
        IDC_USER_NAME = 1146,
        IDC_WEIGHT = 1149,
        IDC_STRIDE = 1150,
        IDC_FRAME = 1151,
        IDC_BEST_DAYS = 1217,
        IDC_GO_YEAR = 1220,
        IDC_GO_MONTH = 1221,
        IDC_GO_DAY = 1222,
        IDC_GOAL_LINE = 1223,  // added: days on goal and runs, below the graph
    };

    explicit CUseGraphDlg(QWidget* parent = nullptr);
    ~CUseGraphDlg() override;

    // The user the window shows; set by the main window before it runs the window.
    void SetUserName(const std::string& name) { userName_ = name; }
    const std::string& UserName() const { return userName_; }
    CDrawGraph* Graph() const { return graph_; }
    const GraphData& ShownGraph() const { return graphData_; }
    const PeriodAggregation& Aggregation() const { return aggregation_; }
    CUsbTransDlg& TransferDialog() const { return *transferDlg_; }
    CUserGraphPropSheet& OptionsSheet() const { return *optionsSheet_; }

    // Runs a button's command.
    void OnCommand(int id);
    // Makes `name` the window's user and shows it as if the window had just opened.
    void ShowUser(const std::string& name);

protected:
    void OnOpen() override;

private:
    void Refresh();
    void Show(const RefreshResult& result);
    void OnMode(DisplayMode mode);
    void OnKind(GraphKind kind);
    void OnGo();
    void OnOptions();
    void OnPrint();
    void OnCsvExport();
    void OnCsvImport();
    void OnDownload();

    std::string userName_;
    PeriodAggregation aggregation_;
    GraphData graphData_;
    CDrawGraph* graph_ = nullptr;
    CUseGraphUi ui_;
    CUserGraphPropSheet* optionsSheet_ = nullptr;
    CCsvExportDlg* csvExportDlg_ = nullptr;
    CUserMatchDlg* matchDlg_ = nullptr;
    CPasswordCheckDlg* passwordDlg_ = nullptr;
    CUsbTransDlg* transferDlg_ = nullptr;
    PrintPicture printPicture_;
    QPointer<CPreviewFrame> lastPreview_;  // frees itself when closed
    std::filesystem::path iconPath_;       // of the window icon set, once it is set
    bool opening_ = false;
};

}  // namespace stepora
