#include "app/frm_main.h"
#include "i18n/lan_apply.h"
#include "support/form_fixture.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTableView>

#include <functional>

#include <gtest/gtest.h>

#include <map>
#include <memory>

namespace {

struct Translated {
    const char* name;
    int k;
};

// Every element the language rewrites, with its text number.
const Translated kTranslated[] = {
    {"Mni_File", 0},      {"Mni_Open", 2},       {"Mni_Save", 4},        {"Mni_Exit", 5},
    {"Mni_Set", 1},       {"Mni_Spr", 15},       {"mni_Help", 7},        {"mni_HMun", 8},
    {"Mni_About", 9},     {"lbl_set", 101},      {"lbl_port", 102},      {"lbl_BPS", 103},
    {"lbl_Mnu_Com", 104}, {"lbl_Emi", 105},      {"btn_Check", 106},     {"lbl_config", 107},
    {"btn_Read", 108},    {"btn_output", 109},   {"lbl_Log", 110},       {"lbl_target", 111},
    {"lbl_number", 112},  {"lbl_Interval", 113}, {"btn_Log", 114},       {"btn_QS", 115},
    {"lbl_Manu_F", 116},  {"lbl_Model", 117},    {"lbl_SN", 118},        {"lbl_Remark", 119},
    {"ts_chart", 120},    {"ts_grid", 121},      {"lbl_Send", 122},      {"btn_Send", 123},
    {"lbl_RE", 124},      {"btn_closecom", 100}, {"Mni_SaveImage", 137},
};

class LanguageSwitch : public ::testing::Test, protected FormFixture {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(open_form({.ports = [] { return QStringList{"/dev/ttyS0"}; }}));
    }

    // The text an element shows, whatever kind of element it is.
    QString shown(const char* name) const {
        QObject* o = form->findChild<QObject*>(QString::fromLatin1(name));
        if (!o)
            return QStringLiteral("<missing %1>").arg(QString::fromLatin1(name));
        if (auto* menu = qobject_cast<QMenu*>(o))
            return menu->title();
        if (auto* action = qobject_cast<QAction*>(o))
            return action->text();
        if (auto* label = qobject_cast<QLabel*>(o))
            return label->text();
        if (auto* button = qobject_cast<QAbstractButton*>(o))
            return button->text();
        auto* tabs = form->findChild<QTabWidget*>(QStringLiteral("pgc_main"));
        return tabs->tabText(tabs->indexOf(qobject_cast<QWidget*>(o)));
    }

    // Everything that must keep its text whatever the language.
    std::map<QString, QString> fixed_texts() const {
        std::map<QString, QString> texts;
        texts["window"] = form->windowTitle();
        for (const char* name : {"Mni_lan"})
            texts[name] = form->findChild<QMenu*>(QString::fromLatin1(name))->title();
        for (const char* name : {"mni_debug", "lan_01", "lan_02", "lan_03", "lan_04", "lan_05",
                                 "lan_06", "lan_07", "lan_08", "lan_09"})
            texts[name] = form->findChild<QAction*>(QString::fromLatin1(name))->text();
        for (const char* name : {"btn_DCV", "btn_ACV", "btn_DCA", "btn_ACA", "btn_RES", "btn_FRE",
                                 "btn_DCmA", "btn_ACmA", "btn_TCK", "btn_PT100", "btn_TCJ",
                                 "btn_PT1000", "btn_set_time", "btn_time"})
            texts[name] = form->findChild<QAbstractButton*>(QString::fromLatin1(name))->text();
        for (const char* name : {"cbb_port", "cbb1", "cbb_target"}) {
            auto* list = form->findChild<QComboBox*>(QString::fromLatin1(name));
            for (int i = 0; i < list->count(); ++i)
                texts[QStringLiteral("%1[%2]").arg(name).arg(i)] = list->itemText(i);
        }
        for (const char* name : {"edt_Read", "edt_output", "edt_Number", "edt_Interval",
                                 "edt_COM_line", "edt_Manu_F", "edt_Model", "edt_SN", "edt_Remark"})
            texts[name] = form->findChild<QLineEdit*>(QString::fromLatin1(name))->text();
        texts["mmo_re"] = form->findChild<QPlainTextEdit*>("mmo_re")->toPlainText();
        for (const char* name :
             {"lbl_title_01", "lbl_title_02", "lbl_chn1", "lbl_chn2", "lbl_time"})
            texts[name] = form->findChild<QLabel*>(QString::fromLatin1(name))->text();
        auto* grid = form->findChild<QTableView*>("strngrd1");
        for (int c = 0; c < grid->model()->columnCount(); ++c)
            texts[QStringLiteral("header%1").arg(c)] =
                grid->model()->headerData(c, Qt::Horizontal).toString();
        texts["filters"] = form->dlgOpen1.filters.join('|') + form->dlgSave1.filters.join('|');
        return texts;
    }

    std::map<QString, QString> translated_texts() const {
        std::map<QString, QString> texts;
        for (const Translated& t : kTranslated)
            texts[QString::fromLatin1(t.name)] = shown(t.name);
        return texts;
    }

    QAction* item(int n) const {
        return form->findChild<QAction*>(QStringLiteral("lan_0%1").arg(n));
    }
};

TEST_F(LanguageSwitch, StartsInEnglishWithTheSevenLanguagesListed) {
    EXPECT_EQ(v.lan_index, 1000);
    EXPECT_EQ(shown("Mni_Exit"), QStringLiteral("Exit(&E)")); // not the design caption
    EXPECT_EQ(shown("lbl_Emi"), QStringLiteral("Instrument\nInformation"));
    EXPECT_EQ(shown("lbl_Interval"), QStringLiteral("Interval\n(seconds)"));
    EXPECT_EQ(shown("ts_grid"), QStringLiteral("Form"));
    const char* const names[] = {"[English]",    "[简体中文]", "[Française]",
                                 "[Deutsch]",    "[Español]",  "[Italian]",
                                 "[Nederlands]", "",           ""};
    auto* menu = form->findChild<QMenu*>(QStringLiteral("Mni_lan"));
    QStringList listed;
    for (QAction* a : menu->actions()) {
        if (a->isVisible())
            listed << a->text();
    }
    QStringList expected;
    for (int n = 1; n <= 7; ++n)
        expected << QString::fromUtf8(names[n - 1]);
    EXPECT_EQ(listed, expected);
    for (int n = 1; n <= 9; ++n) {
        EXPECT_EQ(item(n)->text(), QString::fromUtf8(names[n - 1])) << n;
        EXPECT_EQ(item(n)->isChecked(), n == 1) << n;
    }
}

TEST_F(LanguageSwitch, EachLanguageRewritesExactlyItsElements) {
    form->findChild<QLineEdit*>("edt_COM_line")->setText(QStringLiteral("MEAS?"));
    form->findChild<QPlainTextEdit*>("mmo_re")->setPlainText(QStringLiteral("reply"));
    const auto fixed = fixed_texts();
    for (int n : {2, 3, 4, 5, 6, 7, 1, 4}) {
        SCOPED_TRACE(n);
        item(n)->trigger();
        EXPECT_EQ(v.lan_index, 1000 * n);
        for (int m = 1; m <= 9; ++m)
            EXPECT_EQ(item(m)->isChecked(), m == n) << m;
        for (const Translated& t : kTranslated) {
            QString expected = v.lan_text.at(10000 + 1000 * n + t.k);
            expected.replace(QChar('\r'), QChar('\n'));
            EXPECT_FALSE(expected.isEmpty()) << t.name;
            EXPECT_EQ(shown(t.name), expected) << t.name;
        }
        EXPECT_EQ(fixed_texts(), fixed);
    }
}

TEST_F(LanguageSwitch, ChineseAndFrenchShowTheirOwnWording) {
    form->lan_02Click();
    EXPECT_EQ(shown("lbl_Emi"), QStringLiteral("仪器信息"));
    EXPECT_EQ(shown("lbl_Interval"), QStringLiteral("间隔(秒)"));
    EXPECT_EQ(shown("btn_closecom"), QStringLiteral("关闭端口"));

    form->lan_03Click();
    EXPECT_EQ(shown("Mni_File"), QStringLiteral("Fichier(&F)"));
    EXPECT_EQ(shown("Mni_Set"), QStringLiteral("Mettre en place des(&S)"));
    EXPECT_EQ(shown("mni_Help"), QStringLiteral("Sur(&A)"));
    EXPECT_EQ(shown("lbl_Emi"), QStringLiteral("informations sur\nl'instrument"));
    EXPECT_TRUE(item(3)->isChecked());
    EXPECT_FALSE(item(2)->isChecked());
    // Boxes read their texts when shown, so the next one speaks French.
    EXPECT_EQ(v.text(16), QStringLiteral("Aucune donnée !"));
    EXPECT_EQ(v.text(18), QStringLiteral("Le port série n''existe pas ou occupés!"));
}

TEST_F(LanguageSwitch, LanguagesWithoutANameChangeNothing) {
    form->lan_04Click();
    const auto before = translated_texts();
    for (int index : {8000, 9000}) {
        form->lan_apply(index);
        EXPECT_EQ(v.lan_index, 4000) << index;
        EXPECT_EQ(translated_texts(), before) << index;
    }
    form->lan_08Click();
    EXPECT_EQ(v.lan_index, 4000);
    EXPECT_EQ(translated_texts(), before);
    EXPECT_FALSE(item(8)->isVisible());
    EXPECT_FALSE(item(9)->isVisible());

    // Tables that were never built name no language at all.
    ALL_V unbuilt;
    EXPECT_FALSE(lan_apply(unbuilt, *form, 2000));
    EXPECT_EQ(unbuilt.lan_index, 0);
    EXPECT_EQ(translated_texts(), before);
}

TEST_F(LanguageSwitch, SwitchingLeavesEnabledAndVisibleStatesAlone) {
    auto states = [this] {
        std::map<QString, std::pair<bool, bool>> s;
        for (const Translated& t : kTranslated) {
            QObject* o = form->findChild<QObject*>(QString::fromLatin1(t.name));
            if (auto* a = qobject_cast<QAction*>(o))
                s[t.name] = {a->isEnabled(), a->isVisible()};
            else if (auto* w = qobject_cast<QWidget*>(o))
                s[t.name] = {w->isEnabled(), w->isVisibleTo(form.get())};
        }
        return s;
    };
    const auto before = states();
    form->lan_05Click();
    form->lan_05Click(); // the language already in force rewrites the same texts
    EXPECT_EQ(states(), before);
    EXPECT_FALSE(form->findChild<QAction*>("Mni_Spr")->isVisible());
    EXPECT_FALSE(form->findChild<QWidget*>("btn_Check")->isEnabled());
    EXPECT_EQ(shown("btn_QS"), QStringLiteral("Inicio rápido"));
}

// Every caption the language rewrites is whole in its control, in each of the seven languages.
// `shot` is called with each language's number once its texts are shown.
void expect_captions_fit(TForm1& form, const std::function<void(int)>& shot = {}) {
    form.show();
    for (int n = 1; n <= 7; ++n) {
        SCOPED_TRACE(n);
        form.findChild<QAction*>(QStringLiteral("lan_0%1").arg(n))->trigger();
        for (int pass = 0; pass < 10; ++pass) {
            QCoreApplication::sendPostedEvents();
            QApplication::processEvents();
        }
        for (const Translated& t : kTranslated) {
            auto* w = form.findChild<QWidget*>(QString::fromLatin1(t.name));
            auto* label = qobject_cast<QLabel*>(w);
            auto* button = qobject_cast<QAbstractButton*>(w);
            if (!label && !button)
                continue;
            const QString text = label ? label->text() : button->text();
            const QSize need = w->fontMetrics()
                                   .boundingRect(QRect(0, 0, 10000, 10000), Qt::AlignLeft, text)
                                   .size();
            // A button needs a little room around its caption for its frame.
            const QSize room = label ? label->contentsRect().size() : w->size() - QSize(8, 4);
            EXPECT_LE(need.width(), room.width()) << t.name << " " << qPrintable(text);
            EXPECT_LE(need.height(), room.height()) << t.name << " " << qPrintable(text);
        }
        if (shot)
            shot(n);
    }
    form.hide();
}

// Long words (German "Geräteinformationen", French "Démarrage rapide") must not be cut off in
// the 200-pixel left panel or in the top strip, in any language.
TEST_F(LanguageSwitch, EveryTranslatedTextFitsItsControl) {
    expect_captions_fit(*form);
}

// A long device path in the port list (a pseudo-terminal, a /dev/serial/by-id/... name) is
// elided in the list, whole in its tooltip, and takes no room from the captions beside it.
TEST_F(LanguageSwitch, ALongDevicePathTakesNoRoomFromTheCaptions) {
    const QString path =
        QStringLiteral("/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0");
    FormFixture other;
    ASSERT_NO_FATAL_FAILURE(other.open_form({.ports = [path] { return QStringList{path}; }}));
    TForm1& window = *other.form;
    auto* ports = window.findChild<QComboBox*>(QStringLiteral("cbb_port"));
    ports->setCurrentIndex(0);
    EXPECT_EQ(ports->currentText(), path);
    EXPECT_EQ(ports->toolTip(), path);
    EXPECT_EQ(ports->itemData(0, Qt::ToolTipRole).toString(), path);
    expect_captions_fit(window, [&](int n) {
        EXPECT_LT(ports->width(), ports->fontMetrics().horizontalAdvance(path));
        const QByteArray folder = qgetenv("TELVANE_SCREENSHOT_DIR");
        if (!folder.isEmpty() && (n == 1 || n == 4)) // English and German
            window.grab().save(QString::fromLocal8Bit(folder) +
                               QStringLiteral("/long_port_path_%1.png").arg(n));
    });
}

} // namespace
