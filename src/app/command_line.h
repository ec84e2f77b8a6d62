#pragma once

#include <string>

namespace app {

// What the command line asks for before any window exists. --help and --version must work
// without a display, and QApplication cannot be constructed without one, so they are picked out
// of argv by hand; everything else (Qt's own -platform, -style, ...) is left to QApplication.
enum class EarlyAction { run, help, version };

EarlyAction early_action(int argc, const char* const* argv);

// The texts printed for --help and --version; program is the name to show in the usage line.
std::string help_text(const std::string& program);
std::string version_text();

} // namespace app
