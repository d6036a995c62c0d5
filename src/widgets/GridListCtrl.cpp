// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/GridListCtrl.h"

#include <QHeaderView>
#include <algorithm>

namespace stepora {

CGridListCtrl::CGridListCtrl(QWidget* parent) : QTableWidget(parent) {
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    // The column titles are empty: a header would only take height from the rows, and
    // screen readers see the cells as a table without it.
    horizontalHeader()->hide();
    horizontalHeader()->setSectionsClickable(false);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setShowGrid(true);
    // The columns are laid out a little wider than the client on purpose (the first
    // takes the remainder and a margin); a scroll bar would hide the last row instead.
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

void CGridListCtrl::SetRowHeight(int pixels) {
    QHeaderView* rows = verticalHeader();
    rows->setMinimumSectionSize(std::min(rows->minimumSectionSize(), pixels));
    rows->setDefaultSectionSize(pixels);
    for (int row = 0; row < rowCount(); ++row) setRowHeight(row, pixels);
}

int CGridListCtrl::BuildGrid(int columns, int rows) {
    clear();
    setRowCount(0);
    setColumnCount(0);
    if (columns < 1 || rows < 0) return 0;

    setColumnCount(columns);
    // Empty titles, or the view would number the columns.
    setHorizontalHeaderLabels(QStringList(columns, QString()));
    const int client = contentsRect().width();
    if (columns == 1) {
        setColumnWidth(0, client + 10);
    } else {
        const int c = client - 10, q = c / columns, r = c % columns;
        for (int j = 0; j < columns; ++j) setColumnWidth(j, std::max(q, 0));
        setColumnWidth(0, std::max(q + r + 10, 0));
        setColumnWidth(columns - 1, std::max(client - (columns - 1) * q, 0));
    }

    setRowCount(rows);
    for (int i = 0; i < rows; ++i)
        for (int j = 0; j < columns; ++j) setItem(i, j, new QTableWidgetItem);
    return rows;
}

void CGridListCtrl::ShowTable(const std::vector<std::vector<std::string>>& table, int columns) {
    const int rows = BuildGrid(columns, int(table.size()));
    for (int i = 0; i < rows; ++i) {
        const auto& line = table[size_t(i)];
        const int filled = std::min(columns, int(line.size()));
        for (int j = 0; j < filled; ++j)
            item(i, j)->setText(QString::fromStdString(line[size_t(j)]));
    }
}

}  // namespace stepora
