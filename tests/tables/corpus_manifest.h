#pragma once
// The manifest of the table corpus (tests/tables/corpus/manifest.txt), read
// by the engine's and the command line's corpus tests alike. Lines:
// TABLE <tab> COLUMN <tab> OPTIONS <tab> EXPECTED, where EXPECTED is a
// plain sequence file of the column's values or "refuse LINE COLUMN".

#include "engine/tables/table_layout.h"

#include <cstdint>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#ifndef TESSIVO_TABLE_CORPUS
#error "TESSIVO_TABLE_CORPUS must name the corpus folder"
#endif

namespace tessivo::test {

struct CorpusEntry {
    std::string table;
    std::string column;
    std::string options; // command-line options, blank-separated
    std::string expected;
    bool refuses = false;
    std::int64_t line = 0;
    std::int64_t refusedColumn = 0;
};

inline std::string corpusPath(const std::string& name)
{
    return std::string(TESSIVO_TABLE_CORPUS) + "/" + name;
}

inline std::vector<std::string> splitOn(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    std::istringstream in(text);
    for (std::string part; std::getline(in, part, separator);)
        parts.push_back(part);
    return parts;
}

inline std::vector<CorpusEntry> readCorpusManifest()
{
    std::ifstream in(corpusPath("manifest.txt"));
    std::vector<CorpusEntry> entries;
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#')
            continue;
        const std::vector<std::string> f = splitOn(line, '\t');
        if (f.size() != 4)
            throw std::runtime_error("manifest line: " + line);
        CorpusEntry e{f[0], f[1], f[2], f[3]};
        std::istringstream refusal(e.expected);
        std::string word;
        if (refusal >> word && word == "refuse") {
            e.refuses = true;
            refusal >> e.line >> e.refusedColumn;
        }
        entries.push_back(e);
    }
    return entries;
}

inline std::vector<std::string> optionWords(const std::string& options)
{
    return splitOn(options, ' ');
}

inline TableOverrides overridesOf(const std::string& options)
{
    TableOverrides o;
    const std::vector<std::string> words = optionWords(options);
    for (std::size_t i = 0; i < words.size(); ++i) {
        if (words[i] == "--decimal-comma")
            o.decimal = ',';
        else if (words[i] == "--decimal-point")
            o.decimal = '.';
        else if (words[i] == "--delimiter" && i + 1 < words.size()) {
            const std::string& d = words[++i];
            o.delimiter = d == "comma"       ? Delimiter::Comma
                          : d == "semicolon" ? Delimiter::Semicolon
                          : d == "tab"       ? Delimiter::Tab
                                             : Delimiter::Blanks;
        }
    }
    return o;
}

inline bool skipsEmpty(const std::string& options)
{
    return options.find("--skip-empty") != std::string::npos;
}

} // namespace tessivo::test
