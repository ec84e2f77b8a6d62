#pragma once

#include <QChar>
#include <QObject>

// Lets a typed character through only when it is a digit or Backspace; any other character
// becomes character 0, which discards the key press.
void cbb_portKeyPress(QObject* Sender, QChar& Key);

// Applies cbb_portKeyPress to the characters typed into the widgets it is installed on.
// Keys that type nothing (arrows, Tab, Enter, shortcuts) are left alone.
class DigitKeyFilter : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
