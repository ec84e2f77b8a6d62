#pragma once

#include <QDateTime>
#include <QString>
#include <QStringView>

#include <array>
#include <optional>

// The command set of the instrument as data: which control sends which command text. The
// texts go out as they stand, followed by CR LF.
struct CommandEntry {
    const char* control; // object name of the button
    const char* text;
};

// Buttons whose command never changes.
inline constexpr CommandEntry kFixedCommands[] = {
    {"btn_DCV", "CONF:VOLT"},    {"btn_ACV", "CONF:VOLT:AC"}, {"btn_DCA", "CONF:CURR"},
    {"btn_ACA", "CONF:CURR:AC"}, {"btn_DCmA", "CONF:MCUR"},   {"btn_ACmA", "CONF:MCUR:AC"},
    {"btn_RES", "CONF:RES"},     {"btn_FRE", "CONF:FREQ"},    {"btn_TCK", "CONF:TCK"},
    {"btn_TCJ", "CONF:TCJ"},     {"btn_PT100", "CONF:PT1H"},  {"btn_PT1000", "CONF:PT1K"},
    {"btn_time", "TIME?"},       {"btn_Check", "*IDN?"},
};

// Sent by Quick Start after the identification: readings from then on.
inline constexpr char kReadGoonCommand[] = "READ:GOON";

// A serial write sends the text and CR LF in one block of 2049 bytes, so a longer command
// cannot go out whole. Such a command is refused, never cut.
inline constexpr int kMaxCommandChars = 2047;

// The fixed command of a control; empty for a control that has none.
QString fixed_command(QStringView control);

// "READ?" for an empty field, otherwise "READ:" and the field's text as typed.
QString read_command(const QString& edt_Read);
// "OUT?" for an empty field, otherwise "OUT:" and the field's text as typed.
QString output_command(const QString& edt_output);
// "TIME:SET " and the local date and time as "yyyy-mm-dd-hh-mm" (24-hour clock).
QString set_time_command(const QDateTime& now);
// The recording command for the item of cbb_target (0 internal memory, 1 SD card, 2 USB
// disk) with the quantity and interval as typed ("MEM:INTE 100,5"). None when no item is
// selected (or an unknown one).
std::optional<QString> log_command(int target_item, const QString& edt_Number,
                                   const QString& edt_Interval);
// The manual command line as typed, when it can be sent: not empty and not longer than a
// command may be. None otherwise: the user sees nothing sent.
std::optional<QString> line_command(const QString& edt_COM_line);
// Whether a command text fits one outgoing line.
inline bool command_fits(const QString& text) {
    return text.size() <= kMaxCommandChars;
}

// The four fields of an identification reply (manufacturer, model, serial number,
// information), each trimmed; missing fields are empty, fields beyond the fourth are dropped.
std::array<QString, 4> parse_identification(const QString& reply);
