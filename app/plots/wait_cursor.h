#pragma once
// The wait cursor over the whole program for as long as the guard lives.

#include <QApplication>

class PlotWaitCursor {
public:
    PlotWaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~PlotWaitCursor() { QApplication::restoreOverrideCursor(); }
    PlotWaitCursor(const PlotWaitCursor&) = delete;
    PlotWaitCursor& operator=(const PlotWaitCursor&) = delete;
};
