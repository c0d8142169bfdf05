// The corpus of tables in tests/tables/corpus: each entry of its manifest
// names a table, a column and options, and either the column's values as a
// plain sequence file or the line and column of the expected refusal.

#include "tests/tables/corpus_manifest.h"

#include "engine/numbers/decimal_parser.h"
#include "engine/tables/column_choice.h"
#include "engine/tables/table_error.h"
#include "engine/tables/table_reader.h"

#include <gtest/gtest.h>

#include <fstream>

namespace tessivo {
namespace {

std::vector<long double> sequenceValues(const std::string& path)
{
    std::ifstream in(path);
    std::vector<long double> values;
    for (std::string token; in >> token;) {
        long double v = 0;
        EXPECT_TRUE(parseDecimal(token, v)) << path << ": " << token;
        values.push_back(v);
    }
    return values;
}

std::vector<long double> readCorpusColumn(const test::CorpusEntry& entry)
{
    const std::string path = test::corpusPath(entry.table);
    const TableOverrides overrides = test::overridesOf(entry.options);
    const TableLayout layout = detectTableLayout(path, overrides);
    const std::vector<std::size_t> chosen = chooseColumns(layout, {entry.column}, path);
    TableColumnSource source(path, layout, chosen.at(0), test::skipsEmpty(entry.options));
    std::vector<long double> values;
    for (long double v = 0; source.next(v);)
        values.push_back(v);
    return values;
}

TEST(TableCorpus, EveryTableGivesItsColumnOrItsRefusal)
{
    const std::vector<test::CorpusEntry> entries = test::readCorpusManifest();
    ASSERT_GE(entries.size(), 60u);
    for (const test::CorpusEntry& entry : entries) {
        SCOPED_TRACE(entry.table + " --column '" + entry.column + "' " + entry.options);
        try {
            const std::vector<long double> values = readCorpusColumn(entry);
            ASSERT_FALSE(entry.refuses) << "read " << values.size() << " values, expected a refusal";
            EXPECT_EQ(values, sequenceValues(test::corpusPath(entry.expected)));
        } catch (const TableFormatError& e) {
            ASSERT_TRUE(entry.refuses) << e.what();
            EXPECT_EQ(e.line(), entry.line) << e.what();
            EXPECT_EQ(e.column(), entry.refusedColumn) << e.what();
        }
    }
}

} // namespace
} // namespace tessivo
