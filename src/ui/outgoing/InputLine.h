#pragma once
// The input line `txtSend`: an editable drop-down whose list is the history
// of the lines sent since the window opened. Lines enter the list only
// through appendHistory(), never by the combo box on its own. Enter asks the
// owner to send; Up and Down walk the history; Ctrl+E forgets it. Tab
// completes a user name (see NameCompletion); in an empty line it moves the
// focus on as usual, and when no name fits it does nothing.

#include "outgoing/InputBuffer.h"
#include "outgoing/NameCompletion.h"

#include <QComboBox>
#include <QStringList>

#include <functional>

class InputLine : public QComboBox, public InputBuffer
{
    Q_OBJECT
public:
    explicit InputLine(QWidget *parent = nullptr);

    QString editText() const override { return currentText(); }
    void setEditText(const QString &text) override { QComboBox::setEditText(text); }
    void clearEditText() override { QComboBox::clearEditText(); }
    void appendHistory(const QString &line) override;
    QStringList history() const;
    // Ctrl+E: empties the list and the edit text.
    void clearHistory();

    // Up and Down: the previous or next history entry into the edit text.
    // Walking down past the newest entry brings back what was being typed.
    void recallOlder();
    void recallNewer();

    // Where Tab takes the names from, in roster order.
    void setNameSource(std::function<QStringList()> names) { m_names = std::move(names); }

signals:
    // Enter was pressed.
    void sendRequested();

protected:
    // Tab is a focus key, which the widget takes before keyPressEvent.
    bool event(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void showEntry(int index);

    int m_cursor = 0;       // history position being shown; count() means none
    QString m_draft;        // what was typed before walking into the history
    std::function<QStringList()> m_names;
    NameCompletion m_completion;
};
