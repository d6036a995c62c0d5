// SPDX-License-Identifier: GPL-3.0-or-later
#include "accounts/MatchUserListCtrl.h"

#include "app/LangTable.h"
#include "store/UserStore.h"
#include "widgets/FixedHeaderCtrl.h"

namespace stepora {

namespace {

QString Text(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

}  // namespace

CMatchUserListCtrl::CMatchUserListCtrl(QWidget* parent) : QTableWidget(parent) {
    auto* header = new CFixedHeaderCtrl(this);
    setHorizontalHeader(header);
    header->setSectionsClickable(false);  // this list does not sort
    header->setDefaultAlignment(Qt::AlignCenter);
    verticalHeader()->hide();
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setShowGrid(true);
}

void CMatchUserListCtrl::SetFilter(int mode, uint32_t unitSystem, uint32_t weight,
                                   uint32_t stride) {
    mode_ = mode;
    unitSystem_ = unitSystem;
    weight_ = weight;
    stride_ = stride;
}

bool CMatchUserListCtrl::Passes(const UserFileHeader& header) const {
    const bool unit = header.unitSystem == unitSystem_;
    const bool weight = header.weight == weight_;
    const bool stride = header.stride == stride_;
    switch (mode_) {
        case kSameProfile:
            return unit && weight && stride;
        case kSameUnit:
            return unit;
        case kSameUnitAndWeight:
            return unit && weight;
        case kSameUnitAndStride:
            return unit && stride;
        case kEveryUser:
            return true;
        default:
            return false;
    }
}

void CMatchUserListCtrl::Reload(UserStore& store) {
    clear();
    setRowCount(0);
    setColumnCount(4);
    setHorizontalHeaderLabels(
        {Text(GetLangString(USERMATCH_DLG_STR46)), Text(GetLangString(USERMATCH_DLG_STR47)),
         Text(GetLangString(USERMATCH_DLG_STR50)), Text(GetLangString(USERMATCH_DLG_STR51))});
    const int client = contentsRect().width();
    const int q = (client - 5) / 4;
    setColumnWidth(0, q + 5);
    setColumnWidth(1, q);
    setColumnWidth(2, q);
    setColumnWidth(3, client - 5 - 3 * q);

    store.EnumUsers([this](const std::string& name, const UserFileHeader& header) {
        if (Passes(header)) AddUser(name, header);
    });
}

void CMatchUserListCtrl::AddUser(const std::string& name, const UserFileHeader& header) {
    const bool imperial = IsImperial(header);
    std::string weight = "----", stride = "----";
    if (header.weight != 0) weight = WeightText(header.weight);
    if (header.stride != 0) stride = StrideText(header.unitSystem, header.stride);
    const QString cells[] = {
        Text(name), Text(GetLangString(imperial ? USERMATCH_DLG_STR53 : USERMATCH_DLG_STR52)),
        Text(weight), Text(stride)};

    insertRow(0);  // newest at the top: the list reads in reverse enumeration order
    for (int column = 0; column < 4; ++column) {
        auto* cell = new QTableWidgetItem(cells[column]);
        cell->setTextAlignment(Qt::AlignCenter);
        setItem(0, column, cell);
    }
}

std::string CMatchUserListCtrl::SelectedName() const {
    const QList<QTableWidgetItem*> selected = selectedItems();
    for (const QTableWidgetItem* cell : selected)
        if (cell->column() == 0) return cell->text().toStdString();
    return {};
}

}  // namespace stepora
