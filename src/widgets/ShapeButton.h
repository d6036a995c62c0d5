#pragma once
#include <QPushButton>
namespace stepora {
class CShapeButton : public QPushButton {
public:
    using QPushButton::QPushButton;
};
}  // namespace stepora
