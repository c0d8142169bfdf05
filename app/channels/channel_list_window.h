#pragma once
// The channel list: every column of loads of one table counted at once with
// the main window's parameters, one row per channel (values, extremes,
// cycles; the damage and damage-equivalent loads when a curve or exponents
// are chosen). A double-click on a row asks for that channel's report.
// The count runs off the interface thread, with a bar and a Cancel button
// in the window; the rows of the count before stay until it is complete.

#include "document/channel_counts.h"

#include <QWidget>
#include <exception>
#include <functional>
#include <memory>
#include <vector>

class BackgroundRun;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTableWidget;

class ChannelListWindow : public QWidget {
    Q_OBJECT

public:
    // reportError shows what stopped a count (the application's error box).
    ChannelListWindow(QWidget* parent, std::function<void(const QString&)> reportError, QChar decimalSeparator);
    ~ChannelListWindow() override;

    // Starts counting every channel of the file with `request` (its work
    // folder is ignored: the list writes no work file); the rows follow
    // with counted(). A count under way is cancelled first.
    void countFile(const QString& fileName, const tessivo::CountRequest& request);
    bool counting() const;
    const std::vector<ChannelFigures>& channels() const { return m_channels; }
    // The fatigue part the curve box and the exponents ask for; throws
    // std::invalid_argument for an exponent that is not a number.
    tessivo::FatigueRequest fatigueRequest() const;

    QComboBox* curveBox = nullptr;
    QLineEdit* delEdit = nullptr;
    QPushButton* countButton = nullptr;
    QPushButton* cancelButton = nullptr;
    QProgressBar* progressBar = nullptr;
    QTableWidget* table = nullptr;

signals:
    // The row's channel is to be opened as the sequence and counted.
    void channelChosen(const ChannelFigures& channel);
    // A count has ended: the rows are shown, or the error was reported, or it was cancelled.
    void counted();

private:
    struct CountJob;
    void recount();
    void countStopped(CountJob& job, std::exception_ptr error, bool superseded);
    void showRows(const tessivo::FatigueRequest& fatigue);

    std::function<void(const QString&)> m_reportError;
    QChar m_decimalSeparator;
    QLabel* m_fileLabel = nullptr;
    QString m_fileName;
    tessivo::CountRequest m_request;
    std::vector<ChannelFigures> m_channels;
    std::unique_ptr<BackgroundRun> m_run;
};
