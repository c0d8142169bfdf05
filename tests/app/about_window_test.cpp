#include "about/about_links.h"
#include "about/about_window.h"
#include "command_fixture.h"
#include "about/link_label.h"

#include <QApplication>
#include <QLabel>
#include <QTest>
#include <QTimer>

namespace {

void clickLabel(QWidget* label)
{
    QTest::mouseClick(label, Qt::LeftButton, {}, label->rect().center());
}

TEST_F(CommandTest, AboutWindowShowsVersionAndMaker)
{
    auto window = startWindow();
    QString version, maker, link, title;
    QRect ok, help, linkRect;
    int linkTextWidth = 0;
    Qt::WindowFlags flags;
    Qt::WindowModality modality = Qt::NonModal;
    answer = [&](QDialog& dialog) {
        auto& about = dynamic_cast<TfrmAbout&>(dialog);
        title = about.windowTitle();
        version = about.lbVersion->text();
        maker = about.lbMorvane->text();
        link = about.lbAbout->text();
        ok = about.btOK->geometry();
        help = about.btHelp->geometry();
        linkRect = about.lbAbout->geometry();
        linkTextWidth = about.lbAbout->sizeHint().width();
        flags = about.windowFlags();
        modality = about.windowModality();
        return true;
    };
    clickLabel(window->lbAbout);
    EXPECT_EQ(dialogsShown, 1);
    EXPECT_EQ(title, QStringLiteral("About & Help"));
    EXPECT_EQ(version, QStringLiteral("Version 1.0"));
    EXPECT_EQ(maker, QStringLiteral("\u00a9 2024 Morvane Engineering"));
    EXPECT_EQ(link, QStringLiteral("www.morvane-engineering.example"));
    EXPECT_EQ(ok, QRect(216, 96, 75, 25));
    EXPECT_EQ(help, QRect(8, 96, 75, 25));
    EXPECT_EQ(linkRect.topLeft(), QPoint(8, 64));
    EXPECT_EQ(linkRect.height(), 16);
    EXPECT_GE(linkRect.width(), std::max(189, linkTextWidth)); // widened, never clipped
    EXPECT_FALSE(flags & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(flags & Qt::WindowSystemMenuHint);
    EXPECT_EQ(modality, Qt::ApplicationModal);
}

TEST_F(CommandTest, AboutWindowTakesTheYearAnewAtEachOpening)
{
    auto window = startWindow();
    QStringList makers;
    answer = [&](QDialog& dialog) {
        makers << dynamic_cast<TfrmAbout&>(dialog).lbMorvane->text();
        return true;
    };
    now = QDateTime(QDate(2024, 12, 31), QTime(23, 59, 59));
    clickLabel(window->lbAbout);
    now = QDateTime(QDate(2025, 1, 1), QTime(0, 0, 1));
    clickLabel(window->lbAbout);
    EXPECT_EQ(makers, (QStringList{QStringLiteral("\u00a9 2024 Morvane Engineering"),
                                   QStringLiteral("\u00a9 2025 Morvane Engineering")}));
}

TEST_F(CommandTest, AboutLinksOpenTheirPagesAndKeepTheWindowOpen)
{
    QTemporaryDir program;
    programDir = program.path();
    auto window = startWindow();
    bool openAfterClicks = false;
    answer = [&](QDialog& dialog) {
        auto& about = dynamic_cast<TfrmAbout&>(dialog);
        about.show();
        clickLabel(about.lbAbout);
        about.btHelp->click();
        about.btHelp->click();
        openAfterClicks = about.isVisible();
        about.btOK->click();
        return about.result() == QDialog::Accepted && !about.isVisible();
    };
    clickLabel(window->lbAbout);
    EXPECT_TRUE(openAfterClicks);
    EXPECT_EQ(opened, (QStringList{QStringLiteral("https://www.morvane-engineering.example/"),
                                   QStringLiteral("https://www.morvane-engineering.example/tessivo"),
                                   QStringLiteral("https://www.morvane-engineering.example/tessivo")}));
    EXPECT_TRUE(notifier.errors.isEmpty());
}

TEST_F(CommandTest, AboutShowsTheShellsErrorAndStaysOpen)
{
    auto window = startWindow();
    launchCode = 31;
    bool open = false;
    answer = [&](QDialog& dialog) {
        auto& about = dynamic_cast<TfrmAbout&>(dialog);
        about.show();
        about.btHelp->click();
        open = about.isVisible();
        return true;
    };
    clickLabel(window->lbAbout);
    EXPECT_TRUE(open);
    EXPECT_EQ(notifier.errors,
              QStringList{QStringLiteral("There is no application associated with the given filename extension.")});
}

TEST_F(CommandTest, AboutRunsModallyUntilOkIsClicked)
{
    MainWindowSeams seams;
    seams.notifier = &notifier;
    seams.workDir = [this] { return workDir(); };
    TfrmMain window(seams); // the real modal run
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QString seenTitle;
    QTimer::singleShot(0, [&] {
        auto* about = qobject_cast<TfrmAbout*>(QApplication::activeModalWidget());
        if (!about)
            return;
        seenTitle = about->windowTitle();
        about->btOK->click();
    });
    QTimer::singleShot(5000, [] { // never hang the suite
        if (auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
            modal->reject();
    });
    clickLabel(window.lbAbout);
    EXPECT_EQ(seenTitle, QStringLiteral("About & Help"));
    EXPECT_EQ(window.findChildren<TfrmAbout*>().size(), 0); // destroyed on return
}

TEST(AboutLinks, HelpOpensTheInstalledManualBeforeTheWebPage)
{
    QTemporaryDir root;
    const QString bin = root.filePath(QStringLiteral("bin"));
    const QString shared = root.filePath(QStringLiteral("share/doc/tessivo/manual"));
    const QString beside = root.filePath(QStringLiteral("bin/manual"));
    ASSERT_TRUE(QDir().mkpath(bin));
    EXPECT_EQ(helpTarget(bin), kProductPage);

    auto touch = [](const QString& folder) {
        QDir().mkpath(folder);
        QFile page(folder + QStringLiteral("/index.html"));
        return page.open(QIODevice::WriteOnly);
    };
    ASSERT_TRUE(touch(shared));
    EXPECT_EQ(helpTarget(bin), shared + QStringLiteral("/index.html"));
    ASSERT_TRUE(touch(beside));
    EXPECT_EQ(helpTarget(bin), beside + QStringLiteral("/index.html"));
}

TEST_F(CommandTest, HelpOpensTheManualBesideTheProgram)
{
    QTemporaryDir program;
    ASSERT_TRUE(QDir(program.path()).mkdir(QStringLiteral("manual")));
    QFile page(program.filePath(QStringLiteral("manual/index.html")));
    ASSERT_TRUE(page.open(QIODevice::WriteOnly));
    page.close();
    programDir = program.path();
    auto window = startWindow();
    answer = [&](QDialog& dialog) {
        dynamic_cast<TfrmAbout&>(dialog).btHelp->click();
        return true;
    };
    clickLabel(window->lbAbout);
    EXPECT_EQ(opened, QStringList{program.filePath(QStringLiteral("manual/index.html"))});
    EXPECT_TRUE(notifier.errors.isEmpty());

    launchCode = 31; // nothing on this desktop shows HTML: the message says where the manual is
    clickLabel(window->lbAbout);
    EXPECT_EQ(
        notifier.errors,
        QStringList{
            QStringLiteral(
                "There is no application associated with the given filename extension.\n\nThe manual is the file %1")
                .arg(program.filePath(QStringLiteral("manual/index.html")))});
}

} // namespace
