// Message boxes and file dialogs that answer from a script and keep what they were shown.
#pragma once

#include <QList>
#include <QStringList>
#include <algorithm>

#include "ui/file_chooser.hpp"
#include "ui/message_boxes.hpp"

namespace emforce {

/// Answers every question with `answer` and keeps the texts shown.
struct ScriptedMessageBoxes final : MessageBoxes {
    QStringList errors;
    QStringList informations;
    QStringList questions;
    bool answer = false;

    void showError(QWidget*, const QString& text) override { errors << text; }
    void showInformation(QWidget*, const QString& text) override { informations << text; }
    bool askYesNo(QWidget*, const QString& question) override {
        questions << question;
        return answer;
    }
};

/// Answers every dialog with `fileName` (empty: cancelled) and the resolution question with
/// `scale` (0: the suggestion, below 0: cancelled), and keeps what each one asked.
struct ScriptedFileChooser final : FileChooser {
    QString fileName;
    int scale = 0;
    QStringList filters;
    QStringList initialNames;
    QStringList defaultSuffixes;
    QList<int> suggestedScales;

    int pictureScale(QWidget*, int suggested) override {
        suggestedScales << suggested;
        return scale == 0 ? suggested : std::max(scale, 0);
    }

    QString openFileName(QWidget*, const QString& filter) override {
        filters << filter;
        return fileName;
    }
    QString saveFileName(QWidget*, const QString& filter, const QString& initialName,
                         const QString& defaultSuffix) override {
        filters << filter;
        initialNames << initialName;
        defaultSuffixes << defaultSuffix;
        return fileName;
    }
};

}  // namespace emforce
