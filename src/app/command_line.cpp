#include "app/command_line.h"

#include "app/version.h"

#include <cstring>

namespace app {

namespace {

// Qt's own options that take the next argument as their value: that value is never one of ours,
// even when it happens to read "--help" (a window title, say).
bool qt_option_takes_value(const char* a) {
    static const char* const with_value[] = {"-platform",      "-platformpluginpath",
                                             "-platformtheme", "-plugin",
                                             "-style",         "-stylesheet",
                                             "-session",       "-display",
                                             "-title",         "-name",
                                             "-geometry",      "-qwindowgeometry",
                                             "-qwindowtitle",  "-qwindowicon"};
    for (const char* o : with_value) {
        // Qt accepts these with one dash or two.
        if (std::strcmp(a, o) == 0 || (a[0] == '-' && std::strcmp(a + 1, o) == 0))
            return true;
    }
    return false;
}

} // namespace

EarlyAction early_action(int argc, const char* const* argv) {
    for (int i = 1; i < argc; ++i) {
        const char* a = argv[i];
        if (qt_option_takes_value(a)) {
            ++i;
            continue;
        }
        // "--" ends the options; what follows is not ours to interpret.
        if (std::strcmp(a, "--") == 0)
            break;
        if (std::strcmp(a, "--help") == 0 || std::strcmp(a, "-h") == 0 || std::strcmp(a, "-?") == 0)
            return EarlyAction::help;
        if (std::strcmp(a, "--version") == 0 || std::strcmp(a, "-v") == 0)
            return EarlyAction::version;
    }
    return EarlyAction::run;
}

std::string help_text(const std::string& program) {
    return "Usage: " + program +
           " [Qt options]\n"
           "Desktop companion program for a multifunction bench data logger: talks SCPI to the\n"
           "instrument over a serial port or UDP, shows the readings in a table and on a trend\n"
           "chart, and saves them as text or .xls.\n"
           "\n"
           "Options:\n"
           "  -h, --help     Show this help and exit.\n"
           "  -v, --version  Show the version and exit.\n"
           "\n"
           "Qt's own options, such as -platform name or -style name, are passed on to Qt.\n"
           "Environment: TELVANE_EXTRA_PORTS lists extra serial devices (separated by ':') for\n"
           "the port list.\n";
}

std::string version_text() {
    return "telvane-scpi " TELVANE_VERSION "\n";
}

} // namespace app
