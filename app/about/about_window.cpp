#include "about/about_window.h"

#include "about/about_links.h"
#include "about/link_label.h"

#include <QCoreApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <algorithm>

namespace {

constexpr int kClientWidth = 307;
constexpr int kClientHeight = 139;

QFont fontOf(int pixels)
{
    QFont font{QStringLiteral("MS Sans Serif")};
    font.setPixelSize(pixels);
    return font;
}

template <class W>
W* placed(W* widget, const char* name, int left, int top, int width, int height)
{
    widget->setObjectName(QLatin1String(name));
    widget->setGeometry(left, top, width, height);
    return widget;
}

} // namespace

QString makerCaption(int year)
{
    return QStringLiteral("\u00a9 %1 ").arg(year) + kMakerName;
}

TfrmAbout::TfrmAbout(QWidget* owner, AboutSeams seams) : QDialog(owner), m_seams(std::move(seams))
{
    createControls();
    connect(btOK, &QPushButton::clicked, this, &TfrmAbout::btOKClick);
    connect(btHelp, &QPushButton::clicked, this, &TfrmAbout::btHelpClick);
    connect(lbAbout, &LinkLabel::clicked, this, &TfrmAbout::lbAboutClick);
    FormCreate();
}

void TfrmAbout::createControls()
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About & Help"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setWindowModality(Qt::ApplicationModal);
    setFont(fontOf(11));
    resize(kClientWidth, kClientHeight);

    lbVersion = placed(new QLabel(this), "lbVersion", 8, 8, 0, 13);
    lbMorvane = placed(new QLabel(this), "lbMorvane", 8, 24, 0, 13);
    lbAbout = placed(new LinkLabel(kMakerHost, this), "lbAbout", 8, 64, 189, 16);
    lbAbout->styleAsLink(fontOf(13));
    // Our host name in Liberation Sans is wider than the design's 189 pixels:
    // widen the label rather than clip the address.
    lbAbout->resize(std::max(lbAbout->width(), lbAbout->sizeHint().width()), lbAbout->height());
    btOK = placed(new QPushButton(QStringLiteral("OK"), this), "btOK", 216, 96, 75, 25);
    btHelp = placed(new QPushButton(QStringLiteral("Help"), this), "btHelp", 8, 96, 75, 25);
    setTabOrder(btOK, btHelp);
    btOK->setFocus();
}

void TfrmAbout::FormCreate()
{
    const QDateTime now = m_seams.clock ? m_seams.clock() : QDateTime::currentDateTime();
    lbMorvane->setText(makerCaption(now.date().year()));
    lbVersion->setText(QStringLiteral("Version 1.0"));
    for (QLabel* label : {lbVersion, lbMorvane}) {
        label->setTextFormat(Qt::PlainText);
        label->resize(label->sizeHint().width(), label->height());
    }
}

void TfrmAbout::btOKClick()
{
    accept();
}

void TfrmAbout::lbAboutClick()
{
    open(kMakerHomePage);
}

void TfrmAbout::btHelpClick()
{
    const QString target =
        helpTarget(m_seams.programDir.isEmpty() ? QCoreApplication::applicationDirPath() : m_seams.programDir);
    if (target == kProductPage) {
        open(target);
        return;
    }
    // The manual is a file on this machine: a user whose desktop cannot show
    // it can still open it by hand.
    morvane::ShellOpen(target, m_seams.launcher, [this, target](const QString& message) {
        const QString detailed = message + QStringLiteral("\n\nThe manual is the file %1").arg(target);
        if (m_seams.reportError)
            m_seams.reportError(detailed);
        else
            QMessageBox::critical(this, QStringLiteral("Error"), detailed);
    });
}

void TfrmAbout::open(const QString& target)
{
    morvane::ShellOpen(target, m_seams.launcher, m_seams.reportError);
}
