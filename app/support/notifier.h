#pragma once
// Message boxes behind a seam, so that tests answer them instead of a user.
//
// A box may carry a detail below its text: what went wrong and where (the
// file, the line, the offending token). The text stays the program's fixed
// message; the detail only adds to it.

#include <QString>

class QMessageBox;
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

    // The same boxes with a detail below the text; an empty detail gives the
    // plain box. By default the detail follows the text on a line of its own.
    virtual void error(const QString& text, const QString& detail) { error(joined(text, detail)); }
    virtual void information(const QString& text, const QString& detail) { information(joined(text, detail)); }
    virtual void generalError(const QString& text, const QString& detail) { generalError(joined(text, detail)); }

protected:
    static QString joined(const QString& text, const QString& detail)
    {
        return detail.isEmpty() ? text : text + u'\n' + detail;
    }
};

// Modal QMessageBox over the parent window.
class MessageBoxNotifier final : public Notifier {
public:
    explicit MessageBoxNotifier(QWidget* parent) : m_parent(parent) {}
    void error(const QString& text) override { error(text, QString()); }
    void information(const QString& text) override { information(text, QString()); }
    void generalError(const QString& text) override { generalError(text, QString()); }
    void error(const QString& text, const QString& detail) override;
    void information(const QString& text, const QString& detail) override;
    void generalError(const QString& text, const QString& detail) override;
    bool question(const QString& title, const QString& text) override;

private:
    QWidget* m_parent;
};

// Fills a box: its title, icon, text, the detail as its informative text
// below, one OK button, and a width that shows the whole title in the
// title bar (a short message would make the box narrower than its title)
// and, with a detail, a path on one line.
void prepareMessageBox(QMessageBox& box, const QString& title, const QString& text, const QString& detail);
