#pragma once
// The About window: the version, the maker with the current year, a link to
// the maker's home page and a Help button. 307 x 139 client pixels (the
// design's 315 x 166 outer size less a classic sizeable frame and title
// bar), no buttons in the title bar. The creator shows it modally and
// destroys it afterwards; the year is taken when the window is built.

#include "shell_open.h"

#include <QDateTime>
#include <QDialog>
#include <functional>

class LinkLabel;
class QLabel;
class QPushButton;

// What tests replace: the clock, the shell and its message box, the folder
// in which the installed manual is looked for.
struct AboutSeams {
    std::function<QDateTime()> clock;        // default: the local date and time
    morvane::ShellLauncher launcher;         // default: the desktop
    morvane::ShellErrorReporter reportError; // default: a message box
    QString programDir;                      // default: the executable's folder
};

// "© <year> Morvane Engineering"
QString makerCaption(int year);

class TfrmAbout : public QDialog {
    Q_OBJECT

public:
    explicit TfrmAbout(QWidget* owner, AboutSeams seams = {});

    QLabel* lbVersion = nullptr;
    QLabel* lbMorvane = nullptr;
    LinkLabel* lbAbout = nullptr;
    QPushButton* btOK = nullptr;
    QPushButton* btHelp = nullptr;

private:
    void createControls();
    void FormCreate();
    void btOKClick();
    void lbAboutClick();
    void btHelpClick();
    void open(const QString& target);

    AboutSeams m_seams;
};
