#pragma once
// The report pane: a rich-text edit that the report writers fill line by
// line and the user may edit. Printing, copying and saving work on its
// QTextDocument, which holds everything the writers put in.
//
// Contract of the writer operations:
// - clear(): the pane is empty; the next line added is the first paragraph.
//   Bold and the tab stops stay as they were set.
// - setTabStops(points): the paragraph at the insertion point gets exactly
//   these stops: the first paragraph while the pane is still empty, else the
//   next line added. Every line added after the call carries them until they
//   are set again. Each block also keeps the stops in points under
//   kTabStopPointsProperty, so that output in twips needs no conversion back.
// - boldOn()/boldOff(): text added afterwards is bold or not.
// - addLine(text): a new paragraph at the end; tabs move to the next stop.
//
// Copying (Ctrl+C or the Copy command) puts the selection on the clipboard
// as text/plain, text/html (its tab stops as table columns) and text/rtf. A
// key that an action added to the pane has as its shortcut (Ctrl+C for a
// Copy command) triggers that action rather than the edit's own handling of
// the key.

#include "engine/run/record.h"

#include <QTextCharFormat>
#include <QTextEdit>
#include <QTextOption>
#include <functional>
#include <vector>

class ReportPane : public QTextEdit, public tessivo::ReportWriter {
    Q_OBJECT

public:
    static constexpr int kTabStopPointsProperty = QTextFormat::UserProperty + 1;
    // Layout units per point: the pane lays its document out at 96 dots per inch.
    static constexpr double kPixelsPerPoint = 96.0 / 72.0;

    explicit ReportPane(QWidget* parent = nullptr);

    void clear() override;
    void setTabStops(const std::vector<int>& points) override;
    void boldOn() override;
    void boldOff() override;
    void addLine(const std::string& text) override;

    // Runs `write` (which may clear the pane and add lines) as one edit: the
    // pane lays the text out once at the end rather than after every line,
    // which turns seconds into a fraction of one for a long table. The edit
    // ends however `write` ends.
    void writeAtOnce(const std::function<void()>& write);

protected:
    QMimeData* createMimeDataFromSelection() const override;
    bool event(QEvent* event) override;

private:
    QTextBlockFormat blockFormat() const;

    std::vector<int> m_tabStops;
    bool m_bold = false;
    bool m_hasLines = false; // an empty first line leaves the document empty
};
