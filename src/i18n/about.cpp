#include "i18n/about.h"

#include "i18n/about_text.h"
#include "i18n/lan_apply.h"
#include "presentation/form_font.h"
#include "ui_about.h"

TForm5::TForm5(const LanguageState& v, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      v_(v), ui_(std::make_unique<Ui::TForm5>()) {
    ui_->setupUi(this);
    setFont(form_font(font(), QStringLiteral("MS Sans Serif"), 11));
    ui_->Label1->setFont(form_font(font(), QStringLiteral("Arial"), 20));
    setFixedSize(334, 230);
    connect(ui_->Button1, &QPushButton::clicked, this, &TForm5::Button1Click);
}

TForm5::~TForm5() = default;

void TForm5::showEvent(QShowEvent* event) {
    FormShow();
    QDialog::showEvent(event);
}

void TForm5::FormShow() {
    ui_->Label1->setText(shown_text(about_text(v_)));
    setWindowTitle(v_.text(200));
    ui_->Button1->setText(shown_text(v_.text(30)));
}

void TForm5::Button1Click() {
    accept();
}
