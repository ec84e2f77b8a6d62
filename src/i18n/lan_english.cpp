#include "i18n/lan_tables.h"

namespace {

// Menu texts mark their accelerator with "&" in parentheses after the word; the other
// languages keep the same letters.
constexpr LanText kTexts[] = {
    {0, "File(&F)"},
    {1, "Set up(&S)"},
    {2, "Open(&O)"},
    {3, "Close(&C)"},
    {4, "Save"},
    {5, "Exit(&E)"},
    {6, "Help(&H)"},
    {7, "About(&A)"},
    {8, "Help Topics"},
    {9, "About"},
    {10, "Opening...."},
    {15, "Sampling rate"},
    {16, "No Data!"},
    {17, "File format error!"},
    {18, "Serial port does not exist or occupied!"},
    {20, "Warning!"},
    {22, "Error file format!"},
    {23, "File has been Saved!"},
    {24, "Failed to save the file !"},
    {25, "File does not exist!"},
    {26, "Help Manual"},
    {27, "Recording interval"},
    {28, "Seconds"},
    {30, "OK"},
    {31, "Cancel"},
    {100, "Close Port"},
    {101, "Set"},
    {102, "Port"},
    {104, "Manual command"},
    {105, "Instrument\rInformation"},
    {106, "Inspection"},
    {107, "Configuration"},
    {108, "Read"},
    {109, "Output"},
    {110, "Data recording"},
    {111, "Target"},
    {112, "Quantity"},
    {113, "Interval\r(seconds)"},
    {114, "Record"},
    {115, "Quick Start"},
    {116, "Manufacturers"},
    {117, "Model"},
    {118, "Serial number"},
    {119, "Info"},
    {120, "Graphics"},
    {121, "Form"},
    {122, "Send command line"},
    {123, "Send"},
    {124, "Receive"},
    {131, "Please input remote IP address!"},
    {132, "Please input remote IP address and UDP port(like 192.168.1.25:1200):"},
    {133, "Open remote IP address"},
    {134, " Error!"},
    {135, "UDP port %1 cannot be listened on: it is in use or not a valid port."},
    {136, "The connection on %1 was lost. Choose the port again when the device is back."},
    {200, "About"},
};

} // namespace

std::span<const LanText> lan_texts_english() {
    return kTexts;
}
