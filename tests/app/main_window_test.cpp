#include "support/app_error.h"
#include "support/app_identity.h"
#include "main_window/caption_extent.h"
#include "edit_float.h"
#include "about/link_label.h"
#include "main_window_fixture.h"
#include "report/report_pane.h"
#include "main_window/work_dir.h"

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>

namespace {

TEST_F(MainWindowTest, FirstStartOnAnEmptyStore)
{
    auto window = start();
    EXPECT_EQ(window->pos(), QPoint(100, 100));
    EXPECT_EQ(window->size(), QSize(608, 734));
    EXPECT_EQ(window->windowTitle(), kApplicationTitle);
    EXPECT_EQ(window->edFilter->text(), QStringLiteral("0.00"));
    EXPECT_FALSE(window->cbNormalize->isChecked());
    EXPECT_FALSE(window->cbMatrix->isChecked());
    EXPECT_EQ(window->cbLoadBinSize->currentText(), QStringLiteral("32 x 32 matrix"));
    EXPECT_TRUE(window->rbDecomposition->isChecked());
    EXPECT_FALSE(window->rbUpward->isChecked());
    EXPECT_TRUE(window->lbSeqFile->text().isEmpty());
    EXPECT_FALSE(window->btExecute->isEnabled());
    EXPECT_TRUE(window->reReport->toPlainText().isEmpty());
    EXPECT_EQ(window->WorkDir(), dir() + QStringLiteral("/work/"));
    EXPECT_TRUE(window->UserDir().isEmpty());
    EXPECT_TRUE(notifier.generalErrors.isEmpty());
    // The placement is stored at once, and the settings key exists.
    const morvane::RegistryKey placement(kApplicationKey + QStringLiteral("\\frmMain"));
    EXPECT_EQ(placement.readInteger(QStringLiteral("Left")), 100);
    EXPECT_EQ(placement.readInteger(QStringLiteral("WindowState")), 2);
    EXPECT_TRUE(stored().hasKey(QStringLiteral("HKEY_CURRENT_USER\\") + settingsKeyPath()));
}

TEST_F(MainWindowTest, StoredPositionIsRestoredButNeverTheSize)
{
    morvane::RegistryKey placement(kApplicationKey + QStringLiteral("\\frmMain"));
    placement.writeInteger(QStringLiteral("Left"), 140);
    placement.writeInteger(QStringLiteral("Top"), 60);
    placement.writeInteger(QStringLiteral("Width"), 900);
    placement.writeInteger(QStringLiteral("WindowState"), 3);
    auto window = start();
    EXPECT_EQ(window->pos(), QPoint(140, 60));
    EXPECT_EQ(window->size(), QSize(608, 734));
    EXPECT_FALSE(window->windowState() & Qt::WindowMaximized);
}

struct Placed {
    const char* name;
    QRect rect;
};

TEST_F(MainWindowTest, ComponentsSitAtTheirDesignPositions)
{
    auto window = start();
    const Placed table[] = {
        {"pnlLogo", {0, 0, 608, 57}},          {"imLogo", {0, 0, 345, 57}},
        {"pnlInput", {0, 57, 608, 64}},        {"gbSequenceFile", {8, 8, 592, 49}},
        {"btOpenSeqFile", {8, 16, 75, 25}},    {"pnlParameters", {0, 121, 608, 174}},
        {"gbRFCParamaters", {8, 1, 592, 168}}, {"edFilter", {64, 17, 65, 21}},
        {"cbLoadBinSize", {104, 66, 113, 21}}, {"pnlExecute", {0, 295, 608, 64}},
        {"gbExecute", {8, 8, 592, 49}},        {"btExecute", {8, 16, 75, 25}},
        {"pnlResults", {0, 359, 608, 375}},    {"gbResults", {8, 4, 592, 365}},
        {"reReport", {8, 16, 577, 341}},
    };
    for (const Placed& p : table) {
        const auto* widget = window->findChild<QWidget*>(QString::fromLatin1(p.name));
        ASSERT_NE(widget, nullptr) << p.name;
        EXPECT_EQ(widget->geometry(), p.rect) << p.name;
    }
    // Captions may widen their control but never move it or clip the text.
    const Placed captions[] = {{"cbNormalize", {8, 44, 161, 17}},
                               {"cbMatrix", {8, 68, 97, 17}},
                               {"rbDecomposition", {32, 116, 153, 17}},
                               {"rbUpward", {32, 140, 225, 17}}};
    for (const Placed& p : captions) {
        const auto* button = window->findChild<QAbstractButton*>(QString::fromLatin1(p.name));
        ASSERT_NE(button, nullptr) << p.name;
        EXPECT_EQ(button->pos(), p.rect.topLeft()) << p.name;
        EXPECT_EQ(button->height(), p.rect.height()) << p.name;
        EXPECT_EQ(button->width(), std::max(p.rect.width(), captionExtent(button))) << p.name;
    }
    EXPECT_LE(window->cbMatrix->geometry().right(), window->cbLoadBinSize->geometry().left());
}

TEST_F(MainWindowTest, CaptionsAndFonts)
{
    auto window = start();
    EXPECT_EQ(window->gbSequenceFile->title(), QStringLiteral(" Sequence File "));
    EXPECT_EQ(window->gbRFCParamaters->title(), QStringLiteral(" Rainflow Counting Parameters "));
    EXPECT_EQ(window->gbExecute->title(), QStringLiteral(" Rainflow Counting "));
    EXPECT_EQ(window->gbResults->title(), QStringLiteral(" Results "));
    EXPECT_EQ(window->Label1->text(), QStringLiteral("Filter size:"));
    EXPECT_EQ(window->lbDecomposition->text(), QStringLiteral("Residue handling:"));
    EXPECT_EQ(window->lbAbout->text(), QStringLiteral("About & Help"));
    EXPECT_EQ(window->lbAbout->geometry().topLeft(), QPoint(504, 32));
    EXPECT_EQ(window->lbAbout->height(), 16);
    QStringList items;
    for (int i = 0; i < window->cbLoadBinSize->count(); ++i)
        items << window->cbLoadBinSize->itemText(i);
    EXPECT_EQ(items, (QStringList{"32 x 32 matrix", "64 x 64 matrix", "100 x 100 matrix"}));
    QStringList menu;
    for (const QAction* action : window->pumResults->actions())
        menu << action->objectName() + u'=' + action->text();
    EXPECT_EQ(menu, (QStringList{"Print1=Print", "Copy1=Copy", "Save1=Save"}));

    EXPECT_EQ(window->font().family(), QStringLiteral("MS Sans Serif"));
    EXPECT_EQ(window->font().pixelSize(), 11);
    EXPECT_EQ(window->reReport->font().family(), QStringLiteral("Tahoma"));
    EXPECT_EQ(window->reReport->font().pixelSize(), 13);
    EXPECT_TRUE(window->lbAbout->font().bold() && window->lbAbout->font().underline());
    EXPECT_EQ(QFontInfo(window->font()).family(), QStringLiteral("Liberation Sans"));
    EXPECT_EQ(window->imLogo->pixmap().height(), 57); // the JPEG decoded and scaled to fit
    EXPECT_TRUE(window->imLogo->pixmap().width() <= 345 && window->imLogo->pixmap().width() > 300);
}

TEST_F(MainWindowTest, TabOrderFollowsTheLayout)
{
    auto window = start();
    // The opt-ins follow the design's controls they sit beside.
    const QWidget* expected[] = {
        window->btOpenSeqFile, window->btImportTable,  window->edFilter,        window->cbNormalize, window->cbMatrix,
        window->cbLoadBinSize, window->cbUnlimited,    window->rbDecomposition, window->rbUpward,    window->rbHalf,
        window->btExecute,     window->btSpectrumPlot, window->btFatigue,       window->btChannels,  window->reReport};
    QWidget* current = window->btOpenSeqFile;
    for (std::size_t i = 1; i < std::size(expected); ++i) {
        do {
            current = current->nextInFocusChain();
        } while (current->focusPolicy() == Qt::NoFocus || current->focusProxy()
                 || current->parentWidget() == window->cbLoadBinSize);
        EXPECT_EQ(current, expected[i]) << i;
    }
    for (const QLabel* label : window->findChildren<QLabel*>())
        EXPECT_EQ(label->focusPolicy(), Qt::NoFocus) << label->objectName().toStdString();
}

TEST(GeneralError, FullStopOnlyAfterCharactersAboveThePoint)
{
    const std::pair<const char*, const char*> cases[] = {
        {"File not found", "File not found."},
        {"Error 5", "Error 5."},
        {"Done.", "Done."},
        {"'x' is \"q\"", "'x' is \"q\""},
        {"(see log)", "(see log)"},
        {"", ""},
        {"a/", "a/."},
    };
    for (const auto& [message, shown] : cases)
        EXPECT_EQ(withFullStop(QString::fromLatin1(message)), QString::fromLatin1(shown)) << message;
    EXPECT_EQ(notAFloatMessage(QStringLiteral("1,5")), QStringLiteral("'1,5' is not a valid floating point value"));
}

TEST(WorkDir, ExecutableFolderWhenWritableElseTheDataFolder)
{
    QTemporaryDir tmp;
    EXPECT_EQ(chooseWorkDir(tmp.path(), QStringLiteral("/unused")), tmp.path() + u'/');
    const QString fallback = tmp.filePath(QStringLiteral("data/Tessivo"));
    EXPECT_EQ(chooseWorkDir(tmp.filePath(QStringLiteral("missing")), fallback), fallback + u'/');
    EXPECT_TRUE(QFileInfo(fallback).isDir());
}

} // namespace
