// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QTableWidget>
#include <functional>
#include <string>
#include <vector>

#include "store/UserFile.h"

namespace stepora {

class CApEnvironment;
class UserStore;

// The main window's list of users: name, weight and step length, sorted by the shown
// text of one column, with fixed column widths. The sort settings number the columns
// 1 to 3; the list's own columns are 0 to 2.
class CUserListCtrl : public QTableWidget {
    Q_OBJECT
public:
    enum Column { kName = 0, kWeight = 1, kStride = 2, kColumnCount = 3 };

    CUserListCtrl(CApEnvironment& environment, UserStore& store, QWidget* parent = nullptr);

    // Columns, widths and headers; call once the list has its size.
    void Init();
    // Every user of the store; returns the number listed.
    int ReloadAll();
    // The users whose name contains `pattern`, ignoring letter case; returns the number.
    int ReloadMatching(const std::string& pattern);
    // Sorts by the environment's sort settings and shows the arrow on the sorted column.
    void SortRows();
    void ApplyHeaders();

    int SelectedCount() const;
    // Selected rows in list order.
    std::vector<int> SelectedRows() const;
    // Names of the selected rows, in list order.
    std::vector<std::string> SelectedNames() const;
    std::string RowName(int row) const;
    std::string CellText(int row, int column) const;

    // Called with the number of listed users after each added row of a reload.
    std::function<void(int)> onCountChanged;

private:
    struct Row {
        std::string texts[kColumnCount];
    };
    int Reload(const std::string* pattern);
    void ShowRows();
    void AddRow(const std::string& name, const UserFileHeader& header);
    void OnHeaderClicked(int section);

    CApEnvironment& environment_;
    UserStore& store_;
    std::vector<Row> rows_;
};

}  // namespace stepora
