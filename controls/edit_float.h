#pragma once
// A single-line edit field for one floating-point number.
//
// Typed characters are filtered before they are inserted, so that only the
// makings of a decimal number with an optional exponent can be entered. After
// every change of the text, typed, pasted or assigned by code, the text is
// parsed again; a text that does not parse is replaced by the text the field
// held before the last key press. Assignments made while handling a change
// run the change handling again, nested, before they return.

#include <QLineEdit>
#include <optional>

namespace morvane {

class TEditFloat : public QLineEdit {
    Q_OBJECT
    Q_PROPERTY(double Value READ Value WRITE setValueProperty)
    Q_PROPERTY(QString FormatString READ FormatString WRITE setFormatString)

public:
    explicit TEditFloat(QWidget* parent = nullptr);

    // The number the text parsed to at the last change; 0 after a text that
    // does not parse. Setting the property stores the number only.
    double Value() const { return m_value; }
    void setValueProperty(double value) { m_value = value; }

    // Pattern for the numbers the field writes itself (see formatFloat).
    // Setting it does not reformat the current text.
    QString FormatString() const { return m_formatString; }
    void setFormatString(const QString& pattern) { m_formatString = pattern; }

    // Stores X and shows it formatted with FormatString.
    void SetValue(long double x);

    QString LastText() const { return m_lastText; }

    // The separator the filter and the parser accept. Unless set, it is read
    // from the system locale at every use, so a change of the user's regional
    // settings takes effect with the next key.
    QChar decimalSeparator() const;
    void setDecimalSeparator(QChar separator) { m_separator = separator; }

    // The key filter: records LastText and replaces a refused key by code 0.
    // "." and "," both stand for the decimal separator and are replaced by it.
    void KeyPress(QChar& key);

signals:
    // Raised at the end of every change handling, nested runs included.
    void OnChange();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Change();
    void assignText(const QString& text);

    QString m_lastText;
    QString m_formatString;
    double m_value = 0.0;
    std::optional<QChar> m_separator;
    int m_nesting = 0;
};

} // namespace morvane
