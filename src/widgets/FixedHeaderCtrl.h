// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QHeaderView>

namespace stepora {

// A horizontal header whose column widths only the program sets: no dragging or
// double-clicking a divider, and so no sizing cursor over them. Sections stay clickable
// so a list can still sort by them.
class CFixedHeaderCtrl : public QHeaderView {
public:
    explicit CFixedHeaderCtrl(QWidget* parent = nullptr) : QHeaderView(Qt::Horizontal, parent) {
        setSectionResizeMode(QHeaderView::Fixed);
        setSectionsClickable(true);
        setSectionsMovable(false);
        setHighlightSections(false);
        setStretchLastSection(false);
    }
};

}  // namespace stepora
