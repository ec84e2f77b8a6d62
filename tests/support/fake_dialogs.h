#pragma once

#include "app/user_dialogs.h"

#include <QStringList>

#include <deque>

// Records every box the program shows and answers input and file dialogs from a script.
class FakeDialogs : public UserDialogs {
public:
    struct Box {
        QString kind; // "warning", "error" or "plain"
        QString text;
    };
    std::vector<Box> boxes;
    std::deque<std::pair<bool, QString>> answers; // (accepted, value) per input/file dialog
    std::vector<FileDialogSpec> file_dialogs_seen;
    std::vector<std::pair<QString, QString>> inputs_seen; // (caption, prompt) per input box

    void warning(const QString& text) override { boxes.push_back({"warning", text}); }
    void error(const QString& text) override { boxes.push_back({"error", text}); }
    void plain(const QString& text) override { boxes.push_back({"plain", text}); }
    bool input(const QString& caption, const QString& prompt, QString& value) override {
        inputs_seen.emplace_back(caption, prompt);
        return answer(value);
    }
    bool open_file(FileDialogSpec& spec) override { return file(spec); }
    bool save_file(FileDialogSpec& spec) override { return file(spec); }

private:
    bool answer(QString& value) {
        if (answers.empty())
            return false;
        auto [ok, text] = answers.front();
        answers.pop_front();
        if (ok)
            value = text;
        return ok;
    }
    bool file(FileDialogSpec& spec) {
        file_dialogs_seen.push_back(spec);
        return answer(spec.file_name);
    }
};
