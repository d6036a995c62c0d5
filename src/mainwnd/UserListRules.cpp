// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwnd/UserListRules.h"

#include <cstring>

#include "app/LangTable.h"

namespace stepora {

std::array<std::string, 3> UserRowTexts(const std::string& name, const UserFileHeader& header) {
    const bool imperial = IsImperial(header);
    std::string weight = GetLangString(MAINMENU_LST_NULL);
    if (header.weight != 0)
        weight = WeightText(header.weight) + " " +
                 GetLangString(imperial ? MAINMENU_LST_BD : MAINMENU_LST_KG);
    std::string stride = GetLangString(MAINMENU_LST_NULL);
    if (header.stride != 0)
        stride = StrideText(header.unitSystem, header.stride) + " " +
                 GetLangString(imperial ? MAINMENU_LST_INCH : MAINMENU_LST_CM);
    return {name, weight, stride};
}

namespace {
constexpr const char* kColumnReferences[] = {"", "UserName", "Weight", "StepLen"};
}

int SortColumn(const std::string& reference) {
    for (int column = 1; column <= 3; ++column)
        if (reference == kColumnReferences[column]) return column;
    return 0;
}

const char* SortReferenceOf(int column) {
    return column >= 1 && column <= 3 ? kColumnReferences[column] : "";
}

bool SortsBefore(const std::string& a, const std::string& b, const std::string& direction) {
    // std::string compares its chars as unsigned bytes (char_traits<char>::compare).
    const int order = a.compare(b);
    return direction == "inc" ? order < 0 : order > 0;
}

SortSettings SortAfterHeaderClick(int column, const SortSettings& current) {
    if (column < 1 || column > 3) return current;
    if (SortColumn(current.reference) == column)
        return {current.reference, current.direction == "inc" ? "dec" : "inc"};
    return {SortReferenceOf(column), current.direction};
}

CommandEnabling EnablingAfterReload(uint32_t users) {
    CommandEnabling enabling;
    // 1000 users is the most one may create or import.
    if (users < kMaxUsers) enabling.add = enabling.import = true;
    return enabling;
}

CommandEnabling EnablingForSelection(CommandEnabling current, int selected) {
    current.exportUser = current.edit = current.login = selected == 1;
    current.remove = selected >= 1;
    return current;
}

}  // namespace stepora
