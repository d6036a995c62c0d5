// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QTableWidget>
#include <string>
#include <vector>

namespace stepora {

// A fixed grid of texts prepared elsewhere (the summary and best-days tables). Cells
// hold their texts as items, so a screen reader walks them as a table; nothing is
// editable. Column j of the grid is column j of the table (no leading spacer column).
class CGridListCtrl : public QTableWidget {
    Q_OBJECT
public:
    explicit CGridListCtrl(QWidget* parent = nullptr);

    // Every row exactly this many pixels high, including rows added later.
    void SetRowHeight(int pixels);
    // Clears everything and lays out `columns` columns over the client width, computed
    // once now, and `rows` rows of empty cells. Returns the number of rows.
    int BuildGrid(int columns, int rows);
    // BuildGrid(columns, rows of the table), then every cell from the table (UTF-8).
    void ShowTable(const std::vector<std::vector<std::string>>& table, int columns);
};

}  // namespace stepora
