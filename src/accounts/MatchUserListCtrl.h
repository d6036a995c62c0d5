// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QTableWidget>
#include <cstdint>
#include <string>

namespace stepora {

class UserStore;
struct UserFileHeader;

// The users a downloaded or imported profile may belong to: name, unit system, weight
// and stride, filtered by the profile, the last user of the store's enumeration at the
// top. Column widths are fixed when the list is loaded.
class CMatchUserListCtrl : public QTableWidget {
    Q_OBJECT
public:
    // Filter modes: which of the profile's fields a user must share.
    enum FilterMode {
        kSameProfile = 0,  // unit system, weight and stride
        kSameUnit = 1,
        kSameUnitAndWeight = 2,
        kSameUnitAndStride = 3,
        kEveryUser = 4,  // any other mode lets no user through
    };

    explicit CMatchUserListCtrl(QWidget* parent = nullptr);

    void SetFilter(int mode, uint32_t unitSystem, uint32_t weight, uint32_t stride);
    void Reload(UserStore& store);
    std::string SelectedName() const;  // empty when no row is selected
    int RowCount() const { return rowCount(); }

    bool Passes(const UserFileHeader& header) const;

private:
    void AddUser(const std::string& name, const UserFileHeader& header);

    int mode_ = kEveryUser;
    uint32_t unitSystem_ = 0, weight_ = 0, stride_ = 0;
};

}  // namespace stepora
