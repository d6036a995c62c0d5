// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <string>

namespace stepora {

class UserStore;

// One change to an existing user, all or nothing. Making it takes the backup; Commit()
// makes the change final once it is on disk; a change that goes out of scope without a
// successful commit puts the user back as it was, so no path can forget the restore.
class StoreChange {
public:
    StoreChange(UserStore& store, std::string name);
    ~StoreChange();
    StoreChange(const StoreChange&) = delete;
    StoreChange& operator=(const StoreChange&) = delete;

    // False when the backup could not be taken: then nothing may be written.
    explicit operator bool() const { return started_; }
    // Drops the backup; 0 when that failed, and the user is then restored.
    int Commit();

private:
    UserStore& store_;
    std::string name_;
    bool started_ = false;
    bool committed_ = false;
};

}  // namespace stepora
