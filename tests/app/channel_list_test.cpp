// Every column of a table counted at once: the rows agree with the command
// line's --all-columns report to every digit shown, and a double-click opens
// the channel in the main window as Import would.

#include "command_fixture.h"

#include "channels/channel_list_window.h"
#include "document/channel_counts.h"
#include "engine/fatigue/sn_presets.h"
#include "engine/run/errors.h"

#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QTableWidget>
#include <algorithm>
#include <map>

namespace {

// What the command line's report says of each channel, by heading.
struct ReportedChannel {
    QString heading;
    std::map<QString, QString> values; // "Sequence length" -> "6", ...
    QString lastCumulative;
};

std::vector<ReportedChannel> reportedChannels(const QStringList& arguments)
{
    QProcess cli;
    cli.start(QStringLiteral(TESSIVO_COUNT_BINARY), arguments);
    EXPECT_TRUE(cli.waitForFinished(120000));
    EXPECT_EQ(cli.exitCode(), 0) << cli.readAllStandardError().toStdString();
    std::vector<ReportedChannel> channels;
    const QStringList lines = QString::fromUtf8(cli.readAllStandardOutput()).split(u'\n');
    for (int i = 0; i < lines.size(); ++i) {
        const QString& line = lines[i];
        // A channel's report starts with its heading and a blank line before "Spectrum characteristics".
        if (i + 2 < lines.size() && lines[i + 1].isEmpty() && lines[i + 2].startsWith(QStringLiteral("Spectrum"))) {
            channels.push_back({line, {}, {}});
            continue;
        }
        if (channels.empty())
            continue;
        const qsizetype colon = line.indexOf(QStringLiteral(": "));
        if (colon > 0)
            channels.back().values[line.left(colon).trimmed()] = line.mid(colon + 1).trimmed();
        // The table's rows: load, maximum, minimum, number, cumulative (tab-separated).
        const QStringList fields = line.split(u'\t', Qt::SkipEmptyParts);
        bool number = false;
        if (fields.size() == 5 && (fields[0].trimmed().toDouble(&number), number))
            channels.back().lastCumulative = fields[4].trimmed();
    }
    return channels;
}

struct ChannelCase {
    const char* name;
    QStringList cliOptions; // beyond --all-columns
    std::function<void(tessivo::CountRequest&)> request;
    QString curve;   // a preset, or empty
    QStringList del; // exponents
};

class ChannelListTest : public CommandTest {};

TEST_F(ChannelListTest, RowsAgreeWithTheCommandLineToEveryDigitShown)
{
    const QString table = exampleFile("nrel5mw_dlc2.3_loads.out");
    const ChannelCase cases[] = {
        {"plain", {}, [](tessivo::CountRequest&) {}, {}, {}},
        {"filtered, half cycles, curve and DELs",
         {QStringLiteral("--filter"), QStringLiteral("100"), QStringLiteral("--residue"), QStringLiteral("half"),
          QStringLiteral("--sn-curve"), QStringLiteral("preset:EC3-71"), QStringLiteral("--del"),
          QStringLiteral("3,5")},
         [](tessivo::CountRequest& r) {
             r.filter = 100;
             r.residue = tessivo::ResidueMethod::Half;
         },
         QStringLiteral("EC3-71"),
         {QStringLiteral("3"), QStringLiteral("5")}},
        {"load bins and DEL",
         {QStringLiteral("--load-bins"), QStringLiteral("--bin-count"), QStringLiteral("64"), QStringLiteral("--del"),
          QStringLiteral("4")},
         [](tessivo::CountRequest& r) { r.setEqualClasses(64); },
         {},
         {QStringLiteral("4")}},
    };
    for (const ChannelCase& c : cases) {
        SCOPED_TRACE(c.name);
        tessivo::CountRequest request;
        c.request(request);
        tessivo::FatigueRequest fatigue;
        if (!c.curve.isEmpty())
            fatigue.settings.curve = tessivo::fatigue::findSnPreset(c.curve.toStdString())->definition;
        for (const QString& m : c.del)
            fatigue.settings.delExponents.push_back(m.toDouble());
        const std::vector<ChannelFigures> rows = countChannels(table, request, fatigue);
        const auto reported =
            reportedChannels(QStringList{QStringLiteral("--all-columns")} + c.cliOptions + QStringList{table});
        ASSERT_EQ(rows.size(), reported.size());
        ASSERT_GE(rows.size(), 2U);
        for (std::size_t k = 0; k < rows.size(); ++k) {
            const QStringList cells = channelRowTexts(rows[k], fatigue);
            const ReportedChannel& r = reported[k];
            EXPECT_TRUE(r.heading.startsWith(cells[0])) << r.heading.toStdString();
            EXPECT_EQ(cells[2], r.values.at(QStringLiteral("Sequence length")));
            EXPECT_EQ(cells[3], r.values.at(QStringLiteral("Highest Peak")));
            EXPECT_EQ(cells[4], r.values.at(QStringLiteral("Lowest Trough")));
            EXPECT_EQ(cells[5], r.lastCumulative);
            int next = 6;
            if (!c.curve.isEmpty()) {
                EXPECT_EQ(cells[next++], r.values.at(QStringLiteral("Damage (Miner)")));
            }
            for (const QString& m : c.del)
                EXPECT_EQ(cells[next++], r.values.at(QStringLiteral("m = ") + m));
            EXPECT_EQ(next, cells.size());
        }
    }
}

TEST_F(ChannelListTest, ChannelsCountsTheChosenTableAndADoubleClickOpensAndCountsItsChannel)
{
    auto window = startWindow(u',');
    const QString table = writeFile(QStringLiteral("loads.csv"),
                                    "time;F;M;C\r\n(s);(kN);(kN m);(-)\r\n0,0;10;1;7\r\n0,5;-5,5;2;7\r\n1,0;20;3;7\r\n"
                                    "1,5;-2,25;1;7\r\n");
    answer = [&](QDialog& dialog) {
        static_cast<QFileDialog&>(dialog).selectFile(table);
        return true;
    };
    window->rbHalf->setChecked(true);
    window->btChannels->click();
    ChannelListWindow* list = window->channelWindow();
    ASSERT_NE(list, nullptr);
    EXPECT_TRUE(list->isVisible());
    const auto countAgain = [list] {
        list->countButton->click();
        QTRY_VERIFY_WITH_TIMEOUT(!list->counting(), 60000);
    };
    QTRY_VERIFY_WITH_TIMEOUT(!list->counting(), 60000);
    // The time column is left out; a channel of one value is listed without figures.
    ASSERT_EQ(list->table->rowCount(), 3);
    EXPECT_EQ(list->table->item(0, 0)->text(), QStringLiteral("F"));
    // The report's load format, with the user's decimal comma.
    EXPECT_EQ(list->table->item(0, 3)->text(), QStringLiteral("20,000"));
    EXPECT_EQ(list->table->item(0, 4)->text(), QStringLiteral("-5,500"));
    EXPECT_EQ(list->table->item(2, 2)->text(), QString());
    EXPECT_TRUE(notifier.generalErrors.isEmpty()) << notifier.generalErrors.join(u'|').toStdString();

    // A comma in an exponent is the decimal comma here; a word is refused.
    list->delEdit->setText(QStringLiteral("3; 4,5"));
    countAgain();
    ASSERT_EQ(list->table->columnCount(), 8);
    EXPECT_EQ(list->table->horizontalHeaderItem(7)->text(), QStringLiteral("DEL m = 4.5"));
    list->delEdit->setText(QStringLiteral("three"));
    countAgain();
    EXPECT_EQ(notifier.generalErrors.size(), 1);

    emit list->table->cellDoubleClicked(1, 0);
    EXPECT_EQ(window->lbSeqFile->text(), table + QStringLiteral(" : M"));
    EXPECT_TRUE(window->document().hasCount());
    EXPECT_TRUE(window->document().header().halfCycles);
    EXPECT_EQ(window->document().loadUnit(), QStringLiteral("kN m"));
}

TEST_F(ChannelListTest, AFileChosenWhileAnotherIsCountedShowsOnlyItsOwnRows)
{
    const QString first = exampleFile("nrel5mw_dlc2.3_loads.out");
    const QString second = writeFile(QStringLiteral("two.csv"), "a,b\n1,5\n-2,4\n3,6\n");
    QStringList errors;
    ChannelListWindow list(
        nullptr, [&](const QString& text) { errors << text; }, u'.');
    list.countFile(first, {});
    list.countFile(second, {});
    QTRY_VERIFY_WITH_TIMEOUT(!list.counting(), 60000);
    EXPECT_TRUE(errors.isEmpty()) << errors.join(u'|').toStdString();
    ASSERT_EQ(list.channels().size(), 2U);
    EXPECT_EQ(list.channels()[0].name, QStringLiteral("a"));
    EXPECT_EQ(list.table->rowCount(), 2);
    EXPECT_EQ(list.table->item(1, 3)->text(), QStringLiteral("6.000"));
}

TEST_F(ChannelListTest, TheProgressRisesToTheWholeAndItsAnswerCancels)
{
    const QString table = exampleFile("nrel5mw_dlc2.3_loads.out");
    std::vector<int> seen;
    countChannels(table, {}, {}, [&](int permille) {
        seen.push_back(permille);
        return true;
    });
    ASSERT_FALSE(seen.empty());
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
    EXPECT_EQ(seen.back(), 1000);
    EXPECT_THROW(countChannels(table, {}, {}, [](int) { return false; }), tessivo::RunCancelled);
}

} // namespace
