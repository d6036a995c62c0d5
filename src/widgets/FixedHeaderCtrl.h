#pragma once
#include <QHeaderView>
namespace stepora {
class CFixedHeaderCtrl : public QHeaderView {
public:
    explicit CFixedHeaderCtrl(QWidget* p = nullptr) : QHeaderView(Qt::Horizontal, p) {
        setSectionResizeMode(Fixed);
    }
};
}  // namespace stepora
