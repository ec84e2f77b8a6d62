#pragma once

#include <QComboBox>

// The port list. Device paths can be long (a pseudo-terminal, a /dev/serial/by-id/... name):
// the list keeps the width of its shortest usual entries and shows a longer path elided in
// its middle, with the whole path in its tooltip, so the buttons beside it keep their room.
class PortComboBox : public QComboBox {
    Q_OBJECT

public:
    explicit PortComboBox(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};
