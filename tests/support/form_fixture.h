#pragma once

// The program's windows built the way its main() builds them: one shared state, the main window
// over it, and (where a test asks for them) the debug, about and sampling windows owned by the
// main window and attached to it. Everything that would reach outside the test is scripted or
// recorded instead: message boxes and dialogs (FakeDialogs), the serial port list, the exit of
// the process and the opening of documents. The folder of the program is a fresh temporary one.

#include "app/frm_main.h"
#include "i18n/about.h"
#include "i18n/debug_window.h"
#include "presentation/sampling.h"
#include "state/all_v.h"
#include "support/fake_dialogs.h"

#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <vector>

struct FormSetup {
    // The serial devices in the port list; none unless a test names them.
    PortEnumerator ports = [] { return QStringList(); };
    // The debug, about and sampling windows, as the program attaches them.
    bool windows = false;
};

class FormFixture {
public:
    // Builds the windows; files named in `beside_program` (such as "debug.txt") are put into
    // the program's folder first, where the main window looks for them when it starts.
    void open_form(FormSetup setup = {}, std::initializer_list<const char*> beside_program = {}) {
        ASSERT_TRUE(dir.isValid());
        for (const char* name : beside_program) {
            QFile f(dir.filePath(QString::fromLatin1(name)));
            ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << name;
        }
        FormEnvironment env;
        env.exe_dir = dir.path();
        env.ports = std::move(setup.ports);
        env.dialogs = &dialogs;
        env.exit_process = [this](int code) { exit_codes.push_back(code); };
        env.open_document = [this](const QString& path) { opened << path; };
        form = std::make_unique<TForm1>(v, env);
        if (setup.windows) {
            debug = new TForm2(form.get());
            about = new TForm5(v, form.get());
            sampling = new TForm3(v, form.get());
            form->set_traffic_log(debug);
            form->attach_windows(debug, about, sampling);
        }
    }

    // The window as a user meets it: shown and active, numbers written with ".".
    void open_shown_form() {
        ASSERT_NO_FATAL_FAILURE(open_form());
        v.dec_sep = QStringLiteral(".");
        form->show();
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }

    // The main window's element of that object name and kind (a test failure without one).
    template <class T> T* find(const char* name) const {
        T* w = form->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }

    QTemporaryDir dir; // the program's folder
    ALL_V v;
    FakeDialogs dialogs;
    std::vector<int> exit_codes; // every exit the program asked for
    QStringList opened;          // every document it asked the desktop to open
    std::unique_ptr<TForm1> form;
    TForm2* debug = nullptr;    // owned by the form
    TForm5* about = nullptr;    // owned by the form
    TForm3* sampling = nullptr; // owned by the form
};
