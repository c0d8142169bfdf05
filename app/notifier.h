#pragma once
// Message boxes behind a seam, so that tests answer them instead of a user.

#include <QString>

class QWidget;

class Notifier {
public:
    virtual ~Notifier() = default;
    // Rejected input: title "Error", error icon, one OK button.
    virtual void error(const QString& text) = 0;
    // A notice during a run: title "Information", information icon.
    virtual void information(const QString& text) = 0;
    // The application's general error box: title the application title, error
    // icon. The text arrives with its full stop already settled.
    virtual void generalError(const QString& text) = 0;
    // A yes-or-no question (title `title`, question icon, No the default);
    // true when the user answers Yes.
    virtual bool question(const QString& title, const QString& text) = 0;
};

// Modal QMessageBox over the parent window.
class MessageBoxNotifier final : public Notifier {
public:
    explicit MessageBoxNotifier(QWidget* parent) : m_parent(parent) {}
    void error(const QString& text) override;
    void information(const QString& text) override;
    void generalError(const QString& text) override;
    bool question(const QString& title, const QString& text) override;

private:
    QWidget* m_parent;
};
