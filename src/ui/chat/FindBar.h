#pragma once
// The find bar of a transcript pane: a search field with Previous, Next and
// Close. Ctrl+F anywhere in the pane's window opens it; Enter and F3 go to
// the next match, Shift+Enter and Shift+F3 to the previous one, both round
// the ends; Escape closes it. Case does not matter. The current match and
// the other matches in view are shown in colour; the pane's caret and its
// text are never touched.

#include <QPointer>
#include <QTextCursor>
#include <QWidget>

class QLabel;
class QLineEdit;
class TranscriptPane;

class FindBar : public QWidget
{
    Q_OBJECT
public:
    // Starts hidden. The shortcuts live on pane and work in its window.
    explicit FindBar(TranscriptPane *pane, QWidget *parent = nullptr);

    // Shows the bar with its text selected and the focus in it.
    void openBar();
    // Searches another pane from now on (the conversation tab shown); the
    // matches marked in the old one go.
    void setPane(TranscriptPane *pane);
    void closeBar();
    // False when there is no match (or nothing to find).
    bool findNext();
    bool findPrevious();

    QLineEdit *field() const { return m_field; }
    // The current match, empty when there is none.
    QTextCursor match() const { return m_match; }

signals:
    // The bar was closed; the window may hand the focus back to the input line.
    void closed();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    enum class From { MatchStart, AfterMatch, BeforeMatch };
    bool find(From from);
    void showMatches();
    void bindPane();

    QPointer<TranscriptPane> m_pane;
    QLineEdit *m_field;
    QLabel *m_status;
    QTextCursor m_match;
    QList<QPointer<QObject>> m_paneHooks;   // the shortcuts and the scroll connection's context on m_pane
};
