#include "app/port_combo.h"

#include <QAbstractItemView>
#include <QStylePainter>

#include <algorithm>

PortComboBox::PortComboBox(QWidget* parent) : QComboBox(parent) {
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    setMinimumContentsLength(6); // as wide as the speed list below it; longer texts are elided
    view()->setTextElideMode(Qt::ElideMiddle);
    connect(this, &QComboBox::currentIndexChanged, this, [this] { setToolTip(currentText()); });
    // Each entry of the open list tells its whole path too.
    connect(model(), &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex&, int first, int last) {
                for (int i = first; i <= last; ++i)
                    setItemData(i, itemText(i), Qt::ToolTipRole);
            });
}

// As the box paints itself, with the current text elided to the room it has.
void PortComboBox::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    painter.setPen(palette().color(QPalette::Text));
    QStyleOptionComboBox option;
    initStyleOption(&option);
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    const QRect field =
        style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
    option.currentText = fontMetrics().elidedText(option.currentText, Qt::ElideMiddle,
                                                  std::max(0, field.width() - 2));
    painter.drawControl(QStyle::CE_ComboBoxLabel, option);
}
