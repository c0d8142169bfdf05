#pragma once
// The report as plain text: one line per paragraph, tabs between fields,
// "\n" line ends. Tab stops and bold have no form in plain text.

#include "engine/record/report_writer.h"

#include <ostream>
#include <string>

namespace tessivo {

// Keeps the report in memory; clear() empties it.
class PlainTextReport final : public ReportWriter {
public:
    void clear() override { m_text.clear(); }
    void setTabStops(const std::vector<int>&) override {}
    void boldOn() override {}
    void boldOff() override {}
    void addLine(const std::string& text) override
    {
        m_text += text;
        m_text += '\n';
    }
    const std::string& text() const { return m_text; }

private:
    std::string m_text;
};

// Streams the report as it is written, so a long table needs no memory. What
// has gone out cannot be taken back: clear() only has effect before the
// first line.
class StreamReport final : public ReportWriter {
public:
    explicit StreamReport(std::ostream& out) : m_out(out) {}
    void clear() override {}
    void setTabStops(const std::vector<int>&) override {}
    void boldOn() override {}
    void boldOff() override {}
    void addLine(const std::string& text) override { m_out << text << '\n'; }

private:
    std::ostream& m_out;
};

} // namespace tessivo
