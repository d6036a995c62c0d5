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
// text of one column, with fixed column widths. Column 0 only carries each row's
// position and is never shown.
class CUserListCtrl : public QTableWidget {
    Q_OBJECT
public:
    enum Column { kPosition = 0, kName = 1, kWeight = 2, kStride = 3, kColumnCount = 4 };

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
    void OnHeaderClicked(int column);

    CApEnvironment& environment_;
    UserStore& store_;
    std::vector<Row> rows_;
};

}  // namespace stepora
