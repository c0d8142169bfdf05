#include "edit_float.h"

#include "float_format.h"
#include "float_text.h"

#include <QKeyEvent>
#include <QLocale>

namespace morvane {

namespace {

constexpr QChar kBackspace = QChar(8);
// A restore whose own text does not parse would otherwise restore itself
// again and again; past this depth the field gives up and shows "0".
constexpr int kMaxNesting = 4;

bool isFixedAllowed(QChar key)
{
    return key == kBackspace || key == u'-' || key == u'E' || key == u'e' || (key >= u'0' && key <= u'9');
}

} // namespace

TEditFloat::TEditFloat(QWidget* parent) : QLineEdit(parent)
{
    connect(this, &QLineEdit::textChanged, this, &TEditFloat::Change);
    assignText(QString());
    m_lastText.clear();
    m_value = 0.0;
}

QChar TEditFloat::decimalSeparator() const
{
    if (m_separator)
        return *m_separator;
    const QString point = QLocale::system().decimalPoint();
    return point.isEmpty() ? QChar(u'.') : point[0];
}

void TEditFloat::KeyPress(QChar& key)
{
    m_lastText = text();
    const QChar separator = decimalSeparator();
    // Either mark typed as the separator is the separator: dropping the
    // other one would turn "2.5" into 25 without a word.
    if (key == u'.' || key == u',')
        key = separator;
    // Typing replaces a selection, so the key lands where the selection starts.
    const int caret = hasSelectedText() ? selectionStart() : cursorPosition();
    if (!isFixedAllowed(key) && key != separator) {
        key = QChar(0);
    } else if (key == separator) {
        if (text().contains(separator))
            key = QChar(0);
    } else if (key == u'e' || key == u'E') {
        if (text().isEmpty() || caret == 0)
            key = QChar(0);
    } else if (key == u'-' && caret != 0) {
        const QChar before = text().at(caret - 1);
        if (before != u'e' && before != u'E')
            key = QChar(0);
    }
}

void TEditFloat::keyPressEvent(QKeyEvent* event)
{
    // Only keys that type a character reach the filter; navigation, deletion
    // and the editing shortcuts are not characters.
    const QString typed = event->text();
    const bool character = typed.size() == 1 && (typed[0].isPrint() || typed[0] == kBackspace)
                           && event->key() != Qt::Key_Delete && !event->matches(QKeySequence::Paste)
                           && !event->matches(QKeySequence::Cut) && !event->matches(QKeySequence::Copy)
                           && !event->matches(QKeySequence::SelectAll) && !event->matches(QKeySequence::Undo)
                           && !event->matches(QKeySequence::Redo);
    if (character) {
        QChar key = typed[0];
        KeyPress(key);
        if (key.isNull()) {
            event->accept();
            return;
        }
        if (key != typed[0]) {
            insert(QString(key)); // the separator in the locale's form
            event->accept();
            return;
        }
    }
    QLineEdit::keyPressEvent(event);
}

void TEditFloat::SetValue(long double x)
{
    m_value = static_cast<double>(x);
    const QString group = QLocale::system().groupSeparator();
    const FloatSymbols symbols{decimalSeparator(), group.isEmpty() ? QChar(u',') : group[0]};
    assignText(formatFloat(m_formatString, x, symbols));
}

void TEditFloat::assignText(const QString& newText)
{
    ++m_nesting;
    setText(newText);
    --m_nesting;
}

void TEditFloat::Change()
{
    int caret = cursorPosition();
    const QString current = text();
    if (current.size() >= 2 && (current.endsWith(u'e') || current.endsWith(u'E') || current.endsWith(u'-'))) {
        assignText(current + u'0');
        ++caret;
    }
    setCursorPosition(caret);
    if (const auto parsed = parseFloat(text(), decimalSeparator())) {
        m_value = static_cast<double>(*parsed);
    } else {
        m_value = 0.0;
        if (m_nesting >= kMaxNesting) {
            // Give up without another assignment; the outer runs settle the text.
        } else if (text() != u"-" && !text().isEmpty()) {
            assignText(m_nesting + 1 >= kMaxNesting ? QString() : m_lastText);
        }
        if (text().isEmpty() && m_nesting < kMaxNesting)
            SetValue(0);
    }
    emit OnChange();
}

} // namespace morvane
