#pragma once
#include <QTableWidget>
namespace stepora {
class CGridListCtrl : public QTableWidget {
public:
    using QTableWidget::QTableWidget;
};
}  // namespace stepora
