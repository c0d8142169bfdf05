#pragma once
// Where a report goes. The operations are those of the desktop report pane, so
// the run control builds a report once and every output renders the same lines.

#include <string>
#include <vector>

namespace tessivo {

class ReportWriter {
public:
    virtual ~ReportWriter() = default;
    virtual void clear() = 0;
    // Tab stops for the lines added after this call, in points from the left edge.
    virtual void setTabStops(const std::vector<int>& points) = 0;
    virtual void boldOn() = 0;
    virtual void boldOff() = 0;
    // One paragraph; fields are separated by tab characters. UTF-8.
    virtual void addLine(const std::string& text) = 0;
};

} // namespace tessivo
