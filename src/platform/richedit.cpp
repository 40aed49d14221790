#include "platform/richedit.h"

#include <QTextBlock>
#include <algorithm>
#include <QTextCursor>

#include "platform/application.h"

namespace {
// Bytes to characters one for one; a carriage return becomes a paragraph break.
QString ToPaneText(std::string_view bytes) {
    QString s = QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
    s.replace(QLatin1Char('\r'), QChar::ParagraphSeparator);
    return s;
}
}  // namespace

// A plain-text edit with coloured character formats: its layout works line by
// line, so text added at the end and lines deleted at the top stay cheap at the
// size cap, where a rich-text edit lays out the whole document again.
TRichEdit::TRichEdit(QWidget* parent) : QPlainTextEdit(parent) {
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setUndoRedoEnabled(false);
}

int TRichEdit::GetTextLen() const { return document()->characterCount() - 1; }

int TRichEdit::LineCount() const { return document()->blockCount(); }

void TRichEdit::DeleteLine(int index) {
    const QTextBlock block = document()->findBlockByNumber(index);
    if (!block.isValid()) return;
    QTextCursor c(block);
    const QTextBlock next = block.next();
    if (next.isValid()) {
        c.setPosition(next.position(), QTextCursor::KeepAnchor);
    } else {
        // The last line has no break of its own: take the one before it.
        if (block.position() > 0) c.setPosition(block.position() - 1);
        c.setPosition(block.position() + block.length() - 1, QTextCursor::KeepAnchor);
    }
    c.removeSelectedText();
}

int TRichEdit::SelStart() const { return textCursor().selectionStart(); }

void TRichEdit::SetSelStart(int pos) {
    QTextCursor c = textCursor();
    c.setPosition(std::clamp(pos, 0, GetTextLen()));
    setTextCursor(c);
}

void TRichEdit::SetSelLength(int length) {
    QTextCursor c = textCursor();
    const int start = c.selectionStart();
    c.setPosition(start);
    c.setPosition(std::clamp(start + length, 0, GetTextLen()), QTextCursor::KeepAnchor);
    setTextCursor(c);
}

void TRichEdit::SetSelColor(TColor color) {
    QTextCharFormat f;
    f.setForeground(ToQColor(color));
    QTextCursor c = textCursor();
    c.mergeCharFormat(f);
    setTextCursor(c);
    mergeCurrentCharFormat(f);
}

void TRichEdit::SetSelText(std::string_view bytes) {
    QTextCursor c = textCursor();
    c.insertText(ToPaneText(bytes));
    setTextCursor(c);
}

void TRichEdit::LinesAdd(std::string_view bytes) {
    if (!bytes.empty() && bytes.back() == '\r') bytes.remove_suffix(1);
    QTextCursor c = textCursor();
    const QTextCharFormat format = c.charFormat();
    c.movePosition(QTextCursor::End);
    if (!document()->lastBlock().text().isEmpty()) c.insertText(QString(QChar::ParagraphSeparator), format);
    c.insertText(ToPaneText(bytes) + QChar::ParagraphSeparator, format);
    setTextCursor(c);
}

std::string TRichEdit::Text() const {
    QString s = document()->toPlainText();
    s.replace(QLatin1Char('\n'), QLatin1Char('\r'));
    return s.toLatin1().toStdString();
}
