#pragma once
// The terminal pane: a rich-text edit that takes text as bytes (one character
// per byte) in which a carriage return starts a new line. Lengths and positions
// count one character per line break.
#include <QPlainTextEdit>
#include <string_view>

#include "core/color.h"

class TRichEdit : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit TRichEdit(QWidget* parent);

    void SetFocus() { setFocus(Qt::OtherFocusReason); }
    // Length of the whole text.
    int GetTextLen() const;
    int LineCount() const;
    // Deletes line `index` together with its line break.
    void DeleteLine(int index);
    int SelStart() const;
    void SetSelStart(int pos);
    void SetSelLength(int length);
    // Colour of text inserted from now on at the selection.
    void SetSelColor(TColor c);
    // Replaces the selection with `bytes`.
    void SetSelText(std::string_view bytes);
    // Adds `bytes` as a line of its own at the end. The carriage return that ends
    // a line (as the request echo does) is its line break, not an extra one.
    void LinesAdd(std::string_view bytes);
    void Clear() { clear(); }
    // The whole text as bytes, line breaks as carriage returns (for tests and readers).
    std::string Text() const;
};
