// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwnd/UserListCtrl.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <algorithm>

#include "app/ApEnvironment.h"
#include "app/MessageBox.h"
#include "app/QtText.h"
#include "mainwnd/UserListRules.h"
#include "store/UserStore.h"
#include "widgets/FixedHeaderCtrl.h"

namespace stepora {

CUserListCtrl::CUserListCtrl(CApEnvironment& environment, UserStore& store, QWidget* parent)
    : QTableWidget(parent), environment_(environment), store_(store) {
    setHorizontalHeader(new CFixedHeaderCtrl(this));
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);
    setShowGrid(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    setColumnCount(kColumnCount);
    horizontalHeader()->setSectionsClickable(true);
    horizontalHeader()->setHighlightSections(false);
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this,
            &CUserListCtrl::OnHeaderClicked);
}

void CUserListCtrl::Init() {
    setColumnCount(kColumnCount);
    // The client width: the list's own width inside its frame (the viewport is not laid
    // out before the list is first shown).
    const int w = width() - 2 * frameWidth() - 5;
    horizontalHeader()->resizeSection(kName, w / 3 + 5);
    horizontalHeader()->resizeSection(kWeight, w / 3);
    horizontalHeader()->resizeSection(kStride, w - 2 * (w / 3));
    ApplyHeaders();
}

void CUserListCtrl::ApplyHeaders() {
    setHorizontalHeaderLabels({LangText(MAINMENU_LST_USERNAME), LangText(MAINMENU_BTN_USERWEIGHT),
                               LangText(MAINMENU_BTN_USERSTRIDE)});
    for (int column = kName; column < kColumnCount; ++column)
        horizontalHeaderItem(column)->setTextAlignment(Qt::AlignCenter);
    const int sorted = SortColumn(environment_.SortReference()) - 1;
    QHeaderView* header = horizontalHeader();
    header->setSortIndicatorShown(sorted >= 0);
    // The header draws an upward arrow for what Qt calls a descending order.
    if (sorted >= 0)
        header->setSortIndicator(sorted, environment_.SortDirection() == "inc"
                                             ? Qt::DescendingOrder
                                             : Qt::AscendingOrder);
}

void CUserListCtrl::AddRow(const std::string& name, const UserFileHeader& header) {
    Row row;
    const auto texts = UserRowTexts(name, header);
    for (int column = kName; column < kColumnCount; ++column) row.texts[column] = texts[column];
    rows_.push_back(std::move(row));
    if (onCountChanged) onCountChanged(static_cast<int>(rows_.size()));
}

int CUserListCtrl::Reload(const std::string* pattern) {
    rows_.clear();
    setRowCount(0);
    auto add = [this](const std::string& name, const UserFileHeader& header) {
        AddRow(name, header);
    };
    if (pattern)
        store_.EnumUsersMatching(*pattern, add);
    else
        store_.EnumUsers(add);
    SortRows();
    return static_cast<int>(rows_.size());
}

int CUserListCtrl::ReloadAll() {
    return Reload(nullptr);
}

int CUserListCtrl::ReloadMatching(const std::string& pattern) {
    return Reload(&pattern);
}

void CUserListCtrl::SortRows() {
    ApplyHeaders();
    // A sort moves the users, not the selection: whoever was selected stays selected,
    // and the keyboard stays on the same user.
    const std::vector<std::string> selected = SelectedNames();
    const std::string current = currentRow() >= 0 ? RowName(currentRow()) : std::string();
    const int column = SortColumn(environment_.SortReference()) - 1;
    if (column >= 0) {
        const std::string direction = environment_.SortDirection();
        std::stable_sort(rows_.begin(), rows_.end(), [&](const Row& a, const Row& b) {
            return SortsBefore(a.texts[column], b.texts[column], direction);
        });
    }
    // A reference that names no column keeps the rows in load order.
    ShowRows();
    QItemSelection selection;
    for (int row = 0; row < rowCount(); ++row) {
        const std::string name = RowName(row);
        if (std::find(selected.begin(), selected.end(), name) != selected.end())
            selection.select(model()->index(row, 0), model()->index(row, kColumnCount - 1));
        if (!current.empty() && name == current)
            selectionModel()->setCurrentIndex(model()->index(row, 0),
                                              QItemSelectionModel::NoUpdate);
    }
    selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
}

void CUserListCtrl::ShowRows() {
    const bool updates = updatesEnabled();
    setUpdatesEnabled(false);
    clearSelection();
    setRowCount(static_cast<int>(rows_.size()));
    for (int row = 0; row < static_cast<int>(rows_.size()); ++row) {
        for (int column = kName; column < kColumnCount; ++column)
            setItem(row, column, new QTableWidgetItem(Qs(rows_[row].texts[column])));
    }
    setUpdatesEnabled(updates);
}

void CUserListCtrl::OnHeaderClicked(int section) {
    const SortSettings next = SortAfterHeaderClick(
        section + 1, {environment_.SortReference(), environment_.SortDirection()});
    SayIfNotSaved(environment_.SetSort(next.reference, next.direction), this);
    SortRows();
}

std::vector<int> CUserListCtrl::SelectedRows() const {
    std::vector<int> rows;
    for (const QModelIndex& index : selectionModel()->selectedIndexes())
        rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

int CUserListCtrl::SelectedCount() const {
    return static_cast<int>(SelectedRows().size());
}

std::vector<std::string> CUserListCtrl::SelectedNames() const {
    std::vector<std::string> names;
    for (int row : SelectedRows()) names.push_back(RowName(row));
    return names;
}

std::string CUserListCtrl::RowName(int row) const {
    return CellText(row, kName);
}

std::string CUserListCtrl::CellText(int row, int column) const {
    const QTableWidgetItem* cell = item(row, column);
    return cell ? Us(cell->text()) : std::string();
}

}  // namespace stepora
