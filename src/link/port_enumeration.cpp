#include "link/port_enumeration.h"

#include <QSerialPortInfo>

QStringList list_serial_devices() {
    QStringList devices;
    const auto ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo& info : ports)
        devices << info.systemLocation();
    devices.sort();
    devices.removeDuplicates();
    return devices;
}
