#pragma once
// Bare text widgets standing where the main window's panes stand: the same
// look, font and sizes, nothing else. What they can take is the most the
// toolkit can do, the yardstick for the client's own panes.

#include <QWidget>

class QPlainTextEdit;
class MainWindow;

class LimitWindow : public QWidget
{
public:
    explicit LimitWindow(MainWindow &model);

    QPlainTextEdit *upper() const { return m_upper; }
    QPlainTextEdit *lower() const { return m_lower; }

private:
    QPlainTextEdit *m_upper;
    QPlainTextEdit *m_lower;
};
