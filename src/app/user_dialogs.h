#pragma once

#include <QString>
#include <QStringList>

class QWidget;

// What a file dialog of the main window asks for: its filters ("txt File (*.txt)") and the
// behaviour of the platform dialog it stands for.
struct FileDialogSpec {
    QStringList filters;
    int selected_filter = 0; // index into filters
    QString default_suffix;  // appended to a name typed without extension
    bool confirm_overwrite = false;
    QString file_name; // cleared or preset by the caller before each use
};

// Every modal exchange with the user goes through this seam, so that tests script the user's
// answers instead of blocking on a box. Texts arrive already in the current language.
class UserDialogs {
public:
    virtual ~UserDialogs() = default;
    virtual void warning(const QString& text) = 0; // warning sign, one OK button
    virtual void error(const QString& text) = 0;   // error sign, one OK button
    virtual void plain(const QString& text) = 0;   // no sign, the application's title
    // One-line input box; false when the user cancels.
    virtual bool input(const QString& caption, const QString& prompt, QString& value) = 0;
    // File dialogs; false when the user cancels, else the chosen name is in spec.file_name.
    virtual bool open_file(FileDialogSpec& spec) = 0;
    virtual bool save_file(FileDialogSpec& spec) = 0;
};

// The real boxes and dialogs, parented to `owner`.
class QtUserDialogs : public UserDialogs {
public:
    explicit QtUserDialogs(QWidget* owner) : owner_(owner) {}
    void warning(const QString& text) override;
    void error(const QString& text) override;
    void plain(const QString& text) override;
    bool input(const QString& caption, const QString& prompt, QString& value) override;
    bool open_file(FileDialogSpec& spec) override;
    bool save_file(FileDialogSpec& spec) override;

private:
    QWidget* owner_;
};
