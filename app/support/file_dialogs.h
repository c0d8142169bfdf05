#pragma once
// What the program's file dialogs share: a size at which their columns are
// not cut, a completion list that goes with the dialog, and the names they
// propose and the folders they start in.

#include <QString>

class QFileDialog;

// Gives the dialog a starting size large enough for its name, size, type and
// date columns, and hides the file name's completion list whenever the
// dialog closes: Enter on a completed name closes the dialog while the list
// is still up, and the list would otherwise stay on screen until the next
// click.
void prepareFileDialog(QFileDialog& dialog);

// The name proposed for saving what was made from `sequencePath`: its base
// name with the given suffix ("wisperx.txt" and "rtf" give "wisperx.rtf");
// "report." + suffix when no sequence is known.
QString proposedFileName(const QString& sequenceLabel, const QString& suffix);
// The name without suffix for a file about `what` (a chart's title, may be
// empty) of the sequence: "loads_RootMyc1_load_spectrum" for the column
// RootMyc1 of loads.csv; "report" without a sequence.
QString proposedBaseName(const QString& sequenceLabel, const QString& what);

// Starts a save dialog in the sequence's folder with the proposed name.
void proposeSaveTarget(QFileDialog& dialog, const QString& sequencePath, const QString& suffix);
