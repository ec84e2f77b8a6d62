#pragma once

#include <QStringList>

#include <functional>

// Lists the serial devices of this machine as Linux names them ("/dev/ttyUSB0"), sorted by
// name, followed by the devices named in TELVANE_EXTRA_PORTS (paths separated by ":"). Start-up
// takes the list through a PortEnumerator so tests can supply their own devices (a pseudo-terminal,
// say).
using PortEnumerator = std::function<QStringList()>;

QStringList list_serial_devices();
