#pragma once
// Answers every message box at once and remembers what it was asked to show.

#include "notifier.h"

#include <QStringList>

class RecordingNotifier : public Notifier {
public:
    void error(const QString& text) override { errors << text; }
    void information(const QString& text) override { informations << text; }
    void generalError(const QString& text) override { generalErrors << text; }
    bool question(const QString&, const QString& text) override
    {
        questions << text;
        return answerYes;
    }

    QStringList errors, informations, generalErrors, questions;
    bool answerYes = false;
};
