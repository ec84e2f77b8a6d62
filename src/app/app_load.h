#pragma once

#include "state/all_v.h"

#include <QLocale>
#include <QStringList>

class MeasurementTable;

// Start-up loading of the main window: shared defaults, the port table, the table header and
// the decimal separator. `serial_devices` are the machine's serial devices in list order;
// port number k (1..99) is the k-th of them. Returns the items of the port list: the devices,
// then "Network", which is always last.
QStringList app_load(ALL_V& v, const QStringList& serial_devices, MeasurementTable& table,
                     const QLocale& locale = QLocale::system());

// The character the locale puts between the integer and fractional part: the second
// character of 1.1 written in that locale, or "," when that cannot be had.
QString probe_dec_sep(const QLocale& locale);

// The port number a port-list item stands for, or 0 when the item names no serial port.
int port_number_of(const ALL_V& v, const QString& item);
