#pragma once

#include "state/all_v.h"

#include <QDialog>

#include <memory>

namespace Ui {
class TForm3;
}

// The sampling-ratio dialog: a slider from 1 to 120 whose position, times five, becomes
// samp_ratio when the user confirms. Every show starts from samp_ratio, so a position that
// was moved and then cancelled is not kept.
class TForm3 : public QDialog {
    Q_OBJECT

public:
    explicit TForm3(ALL_V& v, QWidget* parent = nullptr);
    ~TForm3() override;

    void FormShow();
    void trckbr_samp1Change();
    void btn_OKClick();
    void btn_cancelClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void show_position(int position);

    ALL_V& v_;
    std::unique_ptr<Ui::TForm3> ui_;
    bool placed_ = false;
};
