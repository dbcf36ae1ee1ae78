#pragma once
// A transcript pane (`txtChat`, `txtChat2`): coloured runs appended at the
// end, read-only for the user, with a right-button "&Clear" menu. Received
// text is inserted as plain text, never interpreted as markup; web addresses
// in it are underlined and open in the browser on a click. The pane keeps
// the last lines only (the scrollback limit).
//
// Following: while the view is at the bottom it moves with new lines. A
// reader who scrolled up stays where he is, and a marker over the bottom of
// the pane counts the lines that came since ("12 new lines"); clicking it,
// End or Ctrl+End, or scrolling back to the bottom shows the last line whole
// and follows again. A font-size change keeps a following pane at the bottom.
// The Menu key and Shift+F10 open the pane's menu. An address no browser
// could take leaves a red line naming it. In a flood the pane is painted
// at most about sixty times a second (see RepaintPacer).

#include "chat/TranscriptSink.h"

#include <QHash>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QUrl>

class QMenu;
class QPushButton;
class RepaintPacer;

class TranscriptPane : public QPlainTextEdit, public TranscriptSink
{
    Q_OBJECT
public:
    static constexpr int DefaultScrollbackLimit = 20000;

    // menuName and clearName name the context menu and its item
    // (`txtMenu`/`mClr` for the upper pane, `iMenu`/`iClr` for the lower).
    TranscriptPane(const QString &menuName, const QString &clearName, QWidget *parent = nullptr);

    void AddText(const QString &txt, QRgb color) override;
    void beginBatch() override;
    void endBatch() override;
    void clearPane();

    // The text with CR LF line ends, as it was appended (the lines kept).
    QString plainTextCrLf() const;

    // Size in points for all text, now and later.
    void setFontPointSize(int points);
    int fontPointSize() const;

    // At most this many lines stay; older ones leave a tenth of the limit at
    // a time. Zero or less keeps everything.
    void setScrollbackLimit(int lines);
    int scrollbackLimit() const { return m_limit; }

    // Gives the last line (the one just ended, or the one being written) a
    // background colour; its text keeps its colours. Later lines are unmarked.
    void markLastLine(Rgb background);

    // Scrolls position into the middle of the view (a find match).
    void showPosition(int position);

    // The address under a point of the viewport, empty when there is none.
    QUrl linkAt(const QPoint &pos) const;

    QMenu *contextMenu() const { return m_menu; }

    // Whether the view moves with new lines.
    bool isFollowing() const { return m_follow; }
    // Lines that came while the reader was scrolled up; the marker's count.
    int unseenLines() const { return m_unseen; }
    QPushButton *newLinesMarker() const { return m_newLines; }
    // Shows the last line whole and follows again (the marker, End, Ctrl+End).
    void followEnd();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void insertRun(const QString &txt);
    void trimScrollback();
    void scrollToLine(int line);
    void scrollToEndLater();
    void showMarker();
    void openLink(const QUrl &link);
    void popUpMenuFromKeyboard();

    QMenu *m_menu;
    QPushButton *m_newLines;
    RepaintPacer *m_pacer;
    int m_unseen = 0;          // lines added while not following
    QTextCursor m_end;
    QTextCharFormat m_format;
    QTextCharFormat m_linkFormat;
    // One format per colour, made once: the document finds a format it
    // has seen by its hash, which a format made anew must work out again.
    QHash<QRgb, QTextCharFormat> m_formats;
    QUrl m_pressedLink;
    int m_limit = DefaultScrollbackLimit;
    bool m_scrollQueued = false;
    bool m_follow = true;      // the view shows the end and moves with it
    bool m_markOpen = false;   // the marked line is still being written
    int m_batchDepth = 0;      // open batches: the document is one edit until the last ends
};
