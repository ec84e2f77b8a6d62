#pragma once

#include <QChar>
#include <QString>

// The text of a recorded value: its shortest decimal form rounded to at most 8 significant
// digits and at most 6 decimals, written with six decimals and `dec_sep`. With "." as
// separator trailing zeros and a trailing separator are dropped ("1.2345", "-5.5", "0",
// "1000000000"); with another separator the six decimals stay ("1,234500"), as saved files
// from such systems have always shown them. Not a number gives "0"; an infinite value gives
// "INF" or "-INF", the same words the general text of a number uses.
QString format_reading(float v, QChar dec_sep);

// The same text in UTF-8, written into `out`, which must hold kFormatReadingMax bytes; returns
// its length. The read-back formats millions of values and keeps no QString per value. With
// `number`, also gives the number the text reads as (0 for not a number, infinite for INF).
inline constexpr int kFormatReadingMax = 64;
int format_reading(float v, QChar dec_sep, char* out, double* number = nullptr);
