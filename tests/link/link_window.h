#pragma once

// The real main window with a pseudo-terminal as its only serial device. The receive steps
// are observed through the interpreter seam: each call records the pending bytes it was
// given.

#include "app/frm_main.h"
#include "link/link_session.h"
#include "link/pty_pair.h"
#include "link/session_fixture.h"
#include "support/form_fixture.h"

#include <QComboBox>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>

inline const char* const kConnectionGroup[] = {
    "btn_Check",  "btn_QS",     "btn_DCV",      "btn_ACV",      "btn_DCA",  "btn_ACA",
    "btn_RES",    "btn_FRE",    "btn_DCmA",     "btn_ACmA",     "btn_TCK",  "btn_TCJ",
    "btn_PT100",  "btn_PT1000", "btn_Read",     "btn_output",   "edt_Read", "edt_output",
    "cbb_target", "edt_Number", "edt_Interval", "edt_COM_line", "btn_Send", "mmo_re",
    "btn_Log",    "btn_time",   "btn_set_time", "btn_closecom"};

class LinkWindow : public ::testing::Test, protected FormFixture, protected RecordingInterpreter {
protected:
    void SetUp() override {
        ASSERT_TRUE(pty.valid());
        open_form({.ports = [path = listed_device.isEmpty() ? pty.path() : listed_device] {
            return QStringList{path};
        }});
        ASSERT_TRUE(form);
        for (int k : {18, 131, 132, 133, 134})
            v.lan_text[10000 + v.lan_index + k] = QStringLiteral("<text %1>").arg(k);
        for (int k : {135, 136})
            v.lan_text[10000 + v.lan_index + k] = QStringLiteral("<text %1: %2>").arg(k);
        install(form->link(), v);
    }
    void TearDown() override {
        if (form)
            form->close();
    }

    QComboBox* combo(const char* name) { return form->findChild<QComboBox*>(name); }
    QWidget* widget(const char* name) { return form->findChild<QWidget*>(name); }

    // The user picks an entry of a list.
    void choose(const char* list, const QString& item) {
        QComboBox* c = combo(list);
        const int i = c->findText(item);
        ASSERT_GE(i, 0) << item.toStdString();
        c->setCurrentIndex(i);
        emit c->activated(i);
    }
    void choose_serial() { choose("cbb_port", pty.path()); }
    void choose_network(const QString& answer) {
        dialogs.answers.push_back({true, answer});
        choose("cbb_port", QStringLiteral("Network"));
    }
    void close_port() { QTest::mouseClick(widget("btn_closecom"), Qt::LeftButton); }

    // 1 when all 28 controls are enabled, 0 when all are disabled, -1 when mixed.
    int controls_enabled() {
        int on = 0;
        for (const char* name : kConnectionGroup)
            on += widget(name)->isEnabled() ? 1 : 0;
        return on == 28 ? 1 : on == 0 ? 0 : -1;
    }
    QString text(int k) const { return v.text(k); }

    PtyPair pty;
    QString listed_device; // what the port enumeration lists; empty: the pty's path
};
