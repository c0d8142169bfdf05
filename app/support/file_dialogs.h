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
QString proposedFileName(const QString& sequencePath, const QString& suffix);

// Starts a save dialog in the sequence's folder with the proposed name.
void proposeSaveTarget(QFileDialog& dialog, const QString& sequencePath, const QString& suffix);
