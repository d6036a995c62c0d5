#pragma once
#include <QComboBox>
namespace stepora {
class CNoTypeComboBox : public QComboBox {
public:
    using QComboBox::QComboBox;
};
}  // namespace stepora
