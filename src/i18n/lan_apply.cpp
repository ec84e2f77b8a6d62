#include "i18n/lan_apply.h"

#include "i18n/lan_tables.h"

#include <QAbstractButton>
#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QTabWidget>

namespace {

struct Element {
    const char* name;
    int k;
};

// Everything the language rewrites, in the order it is written: the menu captions, then the
// labels, buttons and page captions. The function buttons, lists, edit fields and the chart
// keep their texts in every language.
constexpr Element kElements[] = {
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

QTabWidget* page_owner(QWidget* page) {
    for (QWidget* w = page->parentWidget(); w; w = w->parentWidget()) {
        if (auto* tabs = qobject_cast<QTabWidget*>(w))
            return tabs;
    }
    return nullptr;
}

void set_element_text(QObject* element, const QString& text) {
    if (auto* menu = qobject_cast<QMenu*>(element)) {
        menu->setTitle(text);
    } else if (auto* action = qobject_cast<QAction*>(element)) {
        action->setText(text);
    } else if (auto* label = qobject_cast<QLabel*>(element)) {
        // Stored texts are plain: a "<" in a translation must not turn a label into HTML.
        label->setTextFormat(Qt::PlainText);
        label->setText(shown_text(text));
    } else if (auto* button = qobject_cast<QAbstractButton*>(element)) {
        button->setText(shown_text(text));
    } else if (auto* page = qobject_cast<QWidget*>(element)) {
        if (QTabWidget* tabs = page_owner(page))
            tabs->setTabText(tabs->indexOf(page), text);
    }
}

} // namespace

QString shown_text(const QString& text) {
    QString s = text;
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QChar('\r'), QChar('\n'));
    return s;
}

void lan_show_names(const LanguageState& v, QWidget& window) {
    for (int n = kLanguageSlots; n >= 1; --n) {
        auto* item = window.findChild<QAction*>(QStringLiteral("lan_0%1").arg(n));
        if (!item)
            continue;
        const QString& name = v.lan_text.at(kLanNameBase + n);
        item->setText(name);
        if (!name.isEmpty())
            item->setVisible(true);
    }
}

bool lan_apply(LanguageState& v, QWidget& window, int index) {
    if (lan_name_of_index(v, index).isEmpty())
        return false;
    for (const Element& e : kElements) {
        if (QObject* element = window.findChild<QObject*>(QString::fromLatin1(e.name)))
            set_element_text(element, v.lan_text.at(kLanBlockBase + index + e.k));
    }
    v.lan_index = index;
    return true;
}
