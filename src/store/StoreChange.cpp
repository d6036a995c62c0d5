// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/StoreChange.h"

#include "store/UserStore.h"

namespace stepora {

StoreChange::StoreChange(UserStore& store, std::string name)
    : store_(store), name_(std::move(name)) {
    started_ = store_.Backup(name_) != 0;
}

StoreChange::~StoreChange() {
    if (started_ && !committed_) store_.EndBackup(name_, false);
}

int StoreChange::Commit() {
    // A backup that cannot be dropped would come back at the next start: the destructor
    // restores instead, so the user is the one the caller was told about.
    committed_ = started_ && store_.EndBackup(name_, true);
    return committed_ ? 1 : 0;
}

}  // namespace stepora
