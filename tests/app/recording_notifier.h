#pragma once
// Answers every message box at once and remembers what it was asked to show.

#include "support/notifier.h"

#include <QStringList>

class RecordingNotifier : public Notifier {
public:
    void error(const QString& text) override { errors << text; }
    void information(const QString& text) override { informations << text; }
    void generalError(const QString& text) override { generalErrors << text; }
    void error(const QString& text, const QString& detail) override
    {
        errors << text;
        details << detail;
    }
    void information(const QString& text, const QString& detail) override
    {
        informations << text;
        details << detail;
    }
    void generalError(const QString& text, const QString& detail) override
    {
        generalErrors << text;
        details << detail;
    }
    bool question(const QString&, const QString& text) override
    {
        questions << text;
        return answerYes;
    }

    QStringList errors, informations, generalErrors, questions;
    QStringList details; // of every box that carried one, in order
    bool answerYes = false;
};
