#pragma once
// The text being typed and the list of sent lines, as the send path and the
// roster commands see them. The window's input line implements it; tests
// use a plain one.

#include <QString>

class InputBuffer
{
public:
    virtual ~InputBuffer() = default;
    virtual QString editText() const = 0;
    virtual void setEditText(const QString &text) = 0;
    virtual void clearEditText() = 0;
    // Adds a sent line at the end of the history; the edit text is kept.
    virtual void appendHistory(const QString &line) = 0;
};
