// SPDX-License-Identifier: GPL-3.0-or-later
#include "graph/UseGraphDlg.h"

#include <QComboBox>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <algorithm>

#include "accounts/PasswordCheckDlg.h"
#include "accounts/UserMatchDlg.h"
#include "app/AppGlobals.h"
#include "app/DialogUnits.h"
#include "app/MessageBox.h"
#include "app/QtText.h"
#include "csv/CsvExport.h"
#include "csv/CsvExportDlg.h"
#include "device/UsbTransDlg.h"
#include "graph/DrawGraph.h"
#include "graph/GraphOptions.h"
#include "graph/PreviewFrame.h"
#include "graph/PrintGraph.h"
#include "graph/UserGraphPropSheet.h"
#include "store/UserStore.h"
#include "widgets/GridListCtrl.h"
#include "widgets/NoTypeComboBox.h"
#include "widgets/PictureFile.h"
#include "widgets/ShapeButton.h"

namespace stepora {
namespace {

using D = CUseGraphDlg;

// Template 130, in dialog units.
constexpr ControlSpec kControls[] = {
    {D::IDC_LOGO, Ctl::Picture, 7, 7, 96, 64},
    {D::IDC_DOWNLOAD, Ctl::Button, 135, 20, 42, 42, 0, USEGRAPH_MENU_STR1},
    {D::IDC_PRINT, Ctl::Button, 218, 20, 42, 42, 0, USEGRAPH_MENU_STR2},
    {D::IDC_OPTIONS, Ctl::Button, 301, 20, 42, 42, 0, USEGRAPH_MENU_STR3},
    {D::IDC_CSV_IMPORT, Ctl::Button, 384, 20, 42, 42, 0, USEGRAPH_MENU_STR4},
    {D::IDC_CSV_EXPORT, Ctl::Button, 467, 20, 42, 42, 0, USEGRAPH_MENU_STR5},
    {D::IDC_CLOSE, Ctl::Button, 550, 20, 42, 42, 0, USEGRAPH_MENU_STR6},
    {D::IDC_FRAME, Ctl::GroupBox, 7, 79, 606, 330},
    {D::IDC_NAME_LABEL, Ctl::Static, 9, 96, 61, 14, kAlignRight, USEGRAPH_MENU_STR19},
    {D::IDC_WEIGHT_LABEL, Ctl::Static, 9, 125, 61, 14, kAlignRight},
    {D::IDC_STRIDE_LABEL, Ctl::Static, 9, 154, 61, 14, kAlignRight},
    {D::IDC_USER_NAME, Ctl::Static, 72, 96, 76, 14, kAlignCenter},
    {D::IDC_WEIGHT, Ctl::Static, 72, 125, 76, 14, kAlignCenter},
    {D::IDC_STRIDE, Ctl::Static, 72, 154, 76, 14, kAlignCenter},
    {D::IDC_MODE_CAPTION, Ctl::Static, 165, 90, 94, 19, kAlignCenter},
    {D::IDC_DAILY, Ctl::ShapeButton, 273, 89, 43, 21},
    {D::IDC_WEEKLY, Ctl::ShapeButton, 342, 89, 43, 21},
    {D::IDC_MONTHLY, Ctl::ShapeButton, 411, 89, 43, 21},
    {D::IDC_YEARLY, Ctl::ShapeButton, 480, 89, 43, 21},
    {D::IDC_ALL, Ctl::ShapeButton, 549, 87, 43, 21},
    {D::IDC_STEPS, Ctl::ShapeButton, 152, 115, 106, 16},
    {D::IDC_CALORIES, Ctl::ShapeButton, 152, 137, 106, 16},
    {D::IDC_DISTANCE, Ctl::ShapeButton, 152, 159, 106, 16},
    {D::IDC_SUMMARY, Ctl::GridList, 266, 113, 340, 66},
    {D::IDC_RANGE_CAPTION, Ctl::Static, 9, 186, 247, 23, kAlignCenter | kWrap},
    {D::IDC_PREVIOUS, Ctl::ShapeButton, 273, 183, 47, 25},
    {D::IDC_RECENTLY, Ctl::ShapeButton, 353, 183, 47, 25},
    {D::IDC_NEXT, Ctl::ShapeButton, 433, 183, 47, 25},
    {D::IDC_GO_YEAR, Ctl::NoTypeCombo, 502, 191, 32, 14},
    {D::IDC_GO_MONTH, Ctl::NoTypeCombo, 532, 191, 24, 14},
    {D::IDC_GO_DAY, Ctl::NoTypeCombo, 555, 191, 24, 14},
    {D::IDC_GO, Ctl::Button, 579, 188, 20, 18, 0, USEGRAPH_MENU_STR18},
    {D::IDC_GRAPH, Ctl::Custom, 10, 214, 597, 175},
    {D::IDC_BEST_DAYS, Ctl::GridList, 10, 214, 535, 175},
    {D::IDC_GOAL_LINE, Ctl::Static, 10, 393, 597, 12},
};

struct ShapedButton {
    int id;
    LangKey caption;
    CShapeButton::Shape shape;
};
constexpr ShapedButton kShaped[] = {
    {D::IDC_DAILY, USEGRAPH_MENU_STR7, CShapeButton::Shape::Ellipse},
    {D::IDC_WEEKLY, USEGRAPH_MENU_STR8, CShapeButton::Shape::Ellipse},
    {D::IDC_MONTHLY, USEGRAPH_MENU_STR9, CShapeButton::Shape::Ellipse},
    {D::IDC_YEARLY, USEGRAPH_MENU_STR10, CShapeButton::Shape::Ellipse},
    {D::IDC_ALL, USEGRAPH_MENU_STR11, CShapeButton::Shape::Ellipse},
    {D::IDC_STEPS, USEGRAPH_MENU_STR12, CShapeButton::Shape::Capsule},
    {D::IDC_DISTANCE, USEGRAPH_MENU_STR13, CShapeButton::Shape::Capsule},
    {D::IDC_CALORIES, USEGRAPH_MENU_STR14, CShapeButton::Shape::Capsule},
    {D::IDC_PREVIOUS, USEGRAPH_MENU_STR15, CShapeButton::Shape::LeftArrow},
    {D::IDC_RECENTLY, USEGRAPH_MENU_STR16, CShapeButton::Shape::RoundRect},
    {D::IDC_NEXT, USEGRAPH_MENU_STR17, CShapeButton::Shape::RightArrow},
};

constexpr int kModeButtons[] = {D::IDC_DAILY, D::IDC_WEEKLY, D::IDC_MONTHLY, D::IDC_YEARLY,
                                D::IDC_ALL};
constexpr int kKindButtons[] = {D::IDC_STEPS, D::IDC_CALORIES, D::IDC_DISTANCE};

const QColor kCurrentColour(128, 0, 255), kOtherColour(206, 206, 206), kPressedColour(0, 0, 255),
    kHoverColour(255, 255, 128), kDisabledColour(200, 200, 200);

std::vector<std::vector<std::string>> Rows(const auto& table) {
    std::vector<std::vector<std::string>> rows;
    for (const auto& row : table) rows.emplace_back(row.begin(), row.end());
    return rows;
}

void FillBox(QComboBox* box, std::span<const std::string> items, int selection) {
    box->clear();
    for (const auto& item : items) box->addItem(Qs(item));
    box->setCurrentIndex(selection);
}

}  // namespace

void CUseGraphUi::Bind(CUseGraphDlg* window, const std::filesystem::path& ptnDir) {
    window_ = window;
    ptnDir_ = ptnDir;
}

void CUseGraphUi::ApplyControlTexts(DisplayMode mode, GraphKind kind) {
    window_->ApplyTexts();
    for (const ShapedButton& shaped : kShaped) {
        auto* button = window_->Control<CShapeButton>(shaped.id);
        button->SetCaption(LangText(shaped.caption));
        button->SetShape(shaped.shape);
        button->SetEdgeWidth(1);
        const bool current = shaped.id == kModeButtons[static_cast<int>(mode)] ||
                             shaped.id == kKindButtons[static_cast<int>(kind)];
        button->SetColours(current ? kCurrentColour : kOtherColour, kPressedColour, kHoverColour,
                           kDisabledColour);
        // Not by colour alone: the current mode and kind are checked for assistive technology.
        const bool choice = std::ranges::count(kModeButtons, shaped.id) +
                            std::ranges::count(kKindButtons, shaped.id);
        button->setCheckable(choice);
        button->setChecked(current);
    }
}

void CUseGraphUi::ApplyUnitLabels(uint32_t unitSystem) {
    const bool metric = !IsImperial(unitSystem);
    window_->Control<QLabel>(D::IDC_NAME_LABEL)->setText(LangText(USEGRAPH_MENU_STR19));
    window_->Control<QLabel>(D::IDC_WEIGHT_LABEL)
        ->setText(LangText(metric ? USEGRAPH_MENU_STR22 : USEGRAPH_MENU_STR24));
    window_->Control<QLabel>(D::IDC_STRIDE_LABEL)
        ->setText(LangText(metric ? USEGRAPH_MENU_STR23 : USEGRAPH_MENU_STR25));
}

void CUseGraphUi::ShowUserInfo(const std::string& name, const UserFileHeader& header) {
    window_->Control<QLabel>(D::IDC_USER_NAME)->setText(Qs(name));
    window_->Control<QLabel>(D::IDC_WEIGHT)
        ->setText(header.weight == 0 ? QString("---") : Qs(WeightText(header.weight)));
    std::string stride = "---";
    if (header.stride != 0) stride = StrideText(header.unitSystem, header.stride);
    window_->Control<QLabel>(D::IDC_STRIDE)->setText(Qs(stride));
}

void CUseGraphUi::ShowPeriodCaptions(const std::string& modeCaption,
                                     const std::string& rangeCaption) {
    window_->Control<QLabel>(D::IDC_MODE_CAPTION)->setText(Qs(modeCaption));
    window_->Control<QLabel>(D::IDC_RANGE_CAPTION)->setText(Qs(rangeCaption));
}

void CUseGraphUi::PaintLogo() {
    DrawPictureFile(window_->Control<QLabel>(D::IDC_LOGO), ptnDir_ / "CompanyLogo.ptn");
}

CUseGraphDlg::CUseGraphDlg(QWidget* parent)
    : CDialogBase(parent), aggregation_(TheUserStore(), std::string()) {
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFont(DialogFont());
    setFixedSize(DialogUnits(font()).Size(kTemplateWidth, kTemplateHeight));
    graph_ = new CDrawGraph(this);
    AddCustomControl(IDC_GRAPH, graph_);
    BuildControls(kControls);
    // The frame, made after the drawing control, lies over it: it must not take the
    // clicks and the pointer that explain a bar.
    Control<QGroupBox>(IDC_FRAME)->setAttribute(Qt::WA_TransparentForMouseEvents);
    SetTitleKey(USEGRAPH_STR1);
    graph_->SetGraphData(&graphData_);
    graph_->CalcLayout();
    Control<CGridListCtrl>(IDC_BEST_DAYS)->SetRowHeight(42);
    Control<CGridListCtrl>(IDC_SUMMARY)->SetRowHeight(22);

    optionsSheet_ = new CUserGraphPropSheet(this);
    csvExportDlg_ = new CCsvExportDlg(this);
    matchDlg_ = new CUserMatchDlg(TheUserStore(), this);
    passwordDlg_ = new CPasswordCheckDlg(this);
    transferDlg_ = new CUsbTransDlg(this);

    for (int id :
         {IDC_DOWNLOAD, IDC_PRINT, IDC_OPTIONS, IDC_CSV_IMPORT, IDC_CSV_EXPORT, IDC_CLOSE, IDC_GO})
        connect(Control<QPushButton>(id), &QPushButton::clicked, this,
                [this, id] { OnCommand(id); });
    for (int list : {IDC_GO_YEAR, IDC_GO_MONTH, IDC_GO_DAY}) EnterPresses(list, IDC_GO);
    for (const ShapedButton& shaped : kShaped) {
        const int id = shaped.id;
        connect(Control<CShapeButton>(id), &CShapeButton::clicked, this,
                [this, id] { OnCommand(id); });
    }
}

CUseGraphDlg::~CUseGraphDlg() = default;

void CUseGraphDlg::OnOpen() {
    const std::filesystem::path ptnDir =
        HaveGlobals() ? Globals().apEnvironment.PtnDir() : std::filesystem::path();
    // The icon is read once. Read anew at every opening it is a new icon each time, and
    // on X11 the pictures of each stay in Qt's pixmap cache: 14 kB more at every login,
    // until the cache is full (10 MB) and pushes out what the styles keep there.
    if (const std::filesystem::path iconPath = ptnDir / "APPTitle.ico"; iconPath != iconPath_) {
        iconPath_ = iconPath;
        QIcon icon(PathText(iconPath));
        if (!icon.isNull() && !icon.availableSizes().isEmpty()) setWindowIcon(icon);
    }
    ui_.Bind(this, ptnDir);
    ui_.PaintLogo();
    aggregation_.SetUser(userName_);  // a new run: the period starts from the header
    opening_ = true;
    Refresh();
    opening_ = false;
    // The keyboard starts on the mode shown, not on a command.
    Control<QWidget>(kModeButtons[static_cast<int>(aggregation_.State().mode)])->setFocus();
}

void CUseGraphDlg::ShowUser(const std::string& name) {
    userName_ = name;
    aggregation_.SetUser(name);
    Refresh();
}

void CUseGraphDlg::Refresh() {
    Show(aggregation_.Refresh());
}

void CUseGraphDlg::Show(const RefreshResult& r) {
    if (r.refreshed) {
        const PeriodState& period = r.period;
        const UserFileHeader& header = aggregation_.Header();
        ui_.ApplyControlTexts(period.mode, period.kind);
        ui_.ApplyUnitLabels(header.unitSystem);
        ui_.ShowUserInfo(userName_, header);
        ui_.ShowPeriodCaptions(r.modeCaption, r.rangeCaption);

        Control<CShapeButton>(IDC_PREVIOUS)->setEnabled(r.previousEnabled);
        Control<CShapeButton>(IDC_NEXT)->setEnabled(r.nextEnabled);
        Control<CShapeButton>(IDC_RECENTLY)->setEnabled(r.recentlyEnabled);
        for (int id : kKindButtons) Control<CShapeButton>(id)->setEnabled(r.kindsEnabled);
        auto* year = Control<QComboBox>(IDC_GO_YEAR);
        auto* month = Control<QComboBox>(IDC_GO_MONTH);
        auto* day = Control<QComboBox>(IDC_GO_DAY);
        FillBox(year, r.years, r.yearSelection);
        FillBox(month, r.months, r.monthSelection);
        FillBox(day, r.days, r.daySelection);
        year->setEnabled(r.yearBoxEnabled);
        month->setEnabled(r.monthBoxEnabled);
        day->setEnabled(r.dayBoxEnabled);
        Control<QPushButton>(IDC_GO)->setEnabled(r.goEnabled);
        // No label names the Go lists: each carries a name of its own.
        for (auto [box, key] : {std::pair{year, USEGRAPH_STR168}, std::pair{month, USEGRAPH_STR169},
                                std::pair{day, USEGRAPH_STR170}})
            box->setAccessibleName(LangText(key));

        auto* best = Control<CGridListCtrl>(IDC_BEST_DAYS);
        graph_->setVisible(r.showGraph);
        graph_->setEnabled(r.showGraph);
        best->setVisible(!r.showGraph);
        best->setEnabled(!r.showGraph);
        if (r.showGraph) {
            graphData_ = r.graph;
        } else {
            best->ShowTable(Rows(r.bestDays), 5);
            best->setAccessibleName(Qs(r.modeCaption));
        }
        auto* summary = Control<CGridListCtrl>(IDC_SUMMARY);
        summary->ShowTable(Rows(r.summary), static_cast<int>(r.summaryColumns));
        summary->setAccessibleName(Qs(r.modeCaption));
        auto* goalLine = Control<QLabel>(IDC_GOAL_LINE);
        goalLine->setText(Qs(r.goalLine));
        goalLine->setVisible(!r.goalLine.empty());
        graph_->Refresh();
    }
    if (!r.message.empty()) ShowMessage(r.message, this);
    if (r.closeWindow) {
        if (opening_)
            EndAtOpen();
        else
            reject();
    }
}

void CUseGraphDlg::OnMode(DisplayMode mode) {
    if (mode == aggregation_.State().mode) return;
    UserFileHeader header = aggregation_.Header();
    header.periodMode = static_cast<uint32_t>(mode);
    TheUserStore().WriteHeader(userName_, header);  // a failed write is not reported
    aggregation_.SetMode(mode);
    Refresh();
}

void CUseGraphDlg::OnKind(GraphKind kind) {
    if (kind == aggregation_.State().kind) return;
    UserFileHeader header = aggregation_.Header();
    header.dataKind = static_cast<uint32_t>(kind);
    TheUserStore().WriteHeader(userName_, header);
    aggregation_.SetKind(kind);
    Refresh();
}

void CUseGraphDlg::OnGo() {
    auto selected = [this](int id) -> uint32_t {
        auto* box = Control<QComboBox>(id);
        return box->currentIndex() < 0 ? 0 : box->currentText().toUInt();
    };
    Show(
        aggregation_.GoToDate(selected(IDC_GO_YEAR), selected(IDC_GO_MONTH), selected(IDC_GO_DAY)));
}

void CUseGraphDlg::OnOptions() {
    auto sheet = [this](const GraphOptions& shown) -> std::optional<OptionsChoice> {
        optionsSheet_->SetOptions(shown);
        if (optionsSheet_->Run() != QDialog::Accepted) return std::nullopt;
        return OptionsChoice{optionsSheet_->Options(), optionsSheet_->CaloriesTenths(),
                             optionsSheet_->DistanceHundredths()};
    };
    if (EditGraphOptions(TheUserStore(), userName_, aggregation_.Header(), sheet,
                         [this](LangKey key) { ShowMessage(GetLangString(key), this); }))
        Refresh();
}

// The lower part of the window, as it shows now, into a preview from which it is printed.
void CUseGraphDlg::OnPrint() {
    lastPreview_ = PrintGraphPage(Control<QGroupBox>(IDC_FRAME), this, printPicture_);
}

void CUseGraphDlg::OnCommand(int id) {
    for (int mode = 0; mode < 5; ++mode)
        if (id == kModeButtons[mode]) return OnMode(static_cast<DisplayMode>(mode));
    for (int kind = 0; kind < 3; ++kind)
        if (id == kKindButtons[kind]) return OnKind(static_cast<GraphKind>(kind));
    switch (id) {
        case IDC_PREVIOUS:
            Show(aggregation_.Previous());
            break;
        case IDC_NEXT:
            Show(aggregation_.Next());
            break;
        case IDC_RECENTLY:
            Show(aggregation_.Recently());
            break;
        case IDC_GO:
            OnGo();
            break;
        case IDC_OPTIONS:
            OnOptions();
            break;
        case IDC_PRINT:
            OnPrint();
            break;
        case IDC_CSV_EXPORT:
            OnCsvExport();
            break;
        case IDC_CSV_IMPORT:
            OnCsvImport();
            break;
        case IDC_DOWNLOAD:
            OnDownload();
            break;
        case IDC_CLOSE:
            accept();
            break;
        default:
            break;
    }
}

}  // namespace stepora
