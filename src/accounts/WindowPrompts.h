// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "accounts/AccountFlows.h"

class QWidget;

namespace stepora {

class CAccountDlg;
class CPasswordCheckDlg;

// The account flows' prompts, answered by the program's own dialogs and message boxes
// over `parent`. Without an account dialog the flow may not ask for a name.
AccountPrompts WindowPrompts(QWidget* parent, CPasswordCheckDlg& passwordDlg,
                             CAccountDlg* accountDlg = nullptr);

}  // namespace stepora
