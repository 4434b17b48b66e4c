#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

#include "widgets/dialogs.h"

namespace studlab::test {

// Answers the windows' dialogs from prepared answers and records what was asked, so that no
// test waits on a modal dialog. An empty answer cancels the dialog, as does a dialog without a
// prepared answer, which is also counted.
class TScriptedDialogs final : public IDialogs {
public:
    QStringList OpenAnswers;
    QStringList SaveAnswers;
    QStringList Errors;
    QStringList Notices;
    // The answers to Confirm in turn; a question without one is declined.
    QList<bool> ConfirmAnswers;
    QStringList Questions;
    // The answers to AskToSave in turn (its questions are recorded in Questions too); a question
    // without one is cancelled.
    QList<TSaveAnswer> SaveQuestionAnswers;
    QString OpenFolder;
    QString OpenFilter;
    QString SaveFolder;
    QString SaveFilter;
    QString SaveSuffix;
    int UnansweredDialogs = 0;
    int Beeps = 0;

    std::optional<QString> OpenFileName(QWidget*, const QString& folder,
                                        const QString& filter) override {
        OpenFolder = folder;
        OpenFilter = filter;
        return Next(OpenAnswers);
    }
    // The answer stands for what the user agreed to in the dialog, extension and all.
    std::optional<QString> SaveFileName(QWidget*, const QString& folder, const QString& filter,
                                        const QString& suffix) override {
        SaveFolder = folder;
        SaveFilter = filter;
        SaveSuffix = suffix;
        return Next(SaveAnswers);
    }
    void ShowError(QWidget*, const QString& message) override { Errors << message; }
    void ShowNotice(QWidget*, const QString& message) override { Notices << message; }
    bool Confirm(QWidget*, const QString& question) override {
        Questions << question;
        if (ConfirmAnswers.isEmpty()) {
            ++UnansweredDialogs;
            return false;
        }
        return ConfirmAnswers.takeFirst();
    }
    TSaveAnswer AskToSave(QWidget*, const QString& question) override {
        Questions << question;
        if (SaveQuestionAnswers.isEmpty()) {
            ++UnansweredDialogs;
            return TSaveAnswer::Cancel;
        }
        return SaveQuestionAnswers.takeFirst();
    }
    void Beep() override { ++Beeps; }

private:
    std::optional<QString> Next(QStringList& answers) {
        if (answers.isEmpty()) {
            ++UnansweredDialogs;
            return std::nullopt;
        }
        const QString answer = answers.takeFirst();
        if (answer.isEmpty()) return std::nullopt;
        return answer;
    }
};

}  // namespace studlab::test
