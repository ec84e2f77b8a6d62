#include "link/port_enumeration.h"

#include <QSerialPortInfo>

#include <cstdlib>

QStringList list_serial_devices() {
    QStringList devices;
    const auto ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo& info : ports)
        devices << info.systemLocation();
    devices.sort();
    // Devices the system does not list as serial ports, such as the pseudo-terminal of the
    // instrument simulator, can be added by the one who starts the program.
    const QString extra = QString::fromLocal8Bit(std::getenv("TELVANE_EXTRA_PORTS"));
    devices << extra.split(QLatin1Char(':'), Qt::SkipEmptyParts);
    devices.removeDuplicates();
    return devices;
}
