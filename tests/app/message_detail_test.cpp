#include "command_fixture.h"
#include "support/notifier.h"

#include <QFontMetrics>
#include <QMessageBox>

namespace {

// The boxes keep their fixed text and say below it what went wrong, where.
TEST_F(CommandTest, RejectedFilesAreNamedWithTheLineAndToken)
{
    auto window = startWindow();
    const QString bad = writeFile(QStringLiteral("bad.txt"), "1\r\n2\r\n3 1,5 4\r\n");
    const QString empty = writeFile(QStringLiteral("empty.txt"), " \n");
    const QString missing = dir() + QStringLiteral("/missing.txt");
    open(*window, bad);
    open(*window, empty);
    open(*window, missing);
    EXPECT_EQ(notifier.errors, QStringList(2, QStringLiteral("Incorrect sequence file")));
    EXPECT_EQ(notifier.generalErrors, QStringList{QStringLiteral("File not found.")});
    EXPECT_EQ(notifier.details, (QStringList{bad + QStringLiteral(", line 3: \"1,5\" is not a number."),
                                             empty + QStringLiteral(" holds no number."), missing}));
}

TEST(MessageBox, IsWideEnoughForItsWholeTitle)
{
    const QString title = QStringLiteral("Tessivo - Rainflow Counting Software");
    QMessageBox box;
    box.setIcon(QMessageBox::Critical);
    prepareMessageBox(box, title, QStringLiteral("File not found."), QString());
    box.show();
    QFont bold = box.font();
    bold.setBold(true);
    EXPECT_GT(box.width(), QFontMetrics(bold).horizontalAdvance(title) + 60);
    EXPECT_EQ(box.windowTitle(), title);
    box.hide();
}

} // namespace
