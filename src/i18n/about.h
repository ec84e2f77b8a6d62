#pragma once

#include "state/language_state.h"

#include <QDialog>

#include <memory>

namespace Ui {
class TForm5;
}

// The about window. Its caption, text and button are taken from the current language each
// time it is shown, so a language switch between two shows is reflected.
class TForm5 : public QDialog {
    Q_OBJECT

public:
    explicit TForm5(const LanguageState& v, QWidget* parent = nullptr);
    ~TForm5() override;

    void FormShow();
    void Button1Click();

protected:
    void showEvent(QShowEvent* event) override;

private:
    const LanguageState& v_;
    std::unique_ptr<Ui::TForm5> ui_;
};
