#include "presentation/sampling.h"

#include "presentation/form_font.h"
#include "presentation/window_place.h"
#include "ui_sampling.h"

#include <cmath>

TForm3::TForm3(ALL_V& v, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      v_(v), ui_(std::make_unique<Ui::TForm3>()) {
    ui_->setupUi(this);
    setFont(form_font(font(), QStringLiteral("Tahoma"), 11));
    ui_->lbl_Sampling->setFont(form_font(font(), QStringLiteral("Tahoma"), 16));
    setFixedSize(547, 153);
    connect(ui_->trckbr_samp1, &QSlider::valueChanged, this, &TForm3::trckbr_samp1Change);
    connect(ui_->btn_OK, &QPushButton::clicked, this, &TForm3::btn_OKClick);
    // Esc and the close box reject the dialog, which is what Cancel does too.
    connect(ui_->btn_cancel, &QPushButton::clicked, this, &TForm3::btn_cancelClick);
}

TForm3::~TForm3() = default;

void TForm3::showEvent(QShowEvent* event) {
    FormShow();
    if (!placed_) {
        placed_ = true;
        centre_on_screen(*this);
    }
    QDialog::showEvent(event);
}

void TForm3::FormShow() {
    const int position = static_cast<int>(std::lround(v_.samp_ratio / 5.0));
    {
        // The label is written below for the position in force, whether or not it moved.
        const QSignalBlocker quiet(ui_->trckbr_samp1);
        ui_->trckbr_samp1->setValue(position);
    }
    show_position(ui_->trckbr_samp1->value());
    ui_->btn_OK->setText(v_.text(30));
    ui_->btn_cancel->setText(v_.text(31));
    // The caption is the menu item's name, in the language the dialog is shown in.
    setWindowTitle(v_.text(15));
}

void TForm3::trckbr_samp1Change() {
    show_position(ui_->trckbr_samp1->value());
}

void TForm3::btn_OKClick() {
    v_.samp_ratio = ui_->trckbr_samp1->value() * 5;
    accept();
}

void TForm3::btn_cancelClick() {
    reject();
}

void TForm3::show_position(int position) {
    ui_->lbl_Sampling->setText(v_.text(27) + QStringLiteral(" : ") + QString::number(position) +
                               QStringLiteral(" ") + v_.text(28));
}
