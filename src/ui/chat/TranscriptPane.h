#pragma once
// A transcript pane (`txtChat`, `txtChat2`): coloured runs appended at the
// end, read-only for the user, with a right-button "&Clear" menu. Received
// text is inserted as plain text, never interpreted as markup.

#include "chat/TranscriptSink.h"

#include <QPlainTextEdit>
#include <QTextCursor>

class QMenu;

class TranscriptPane : public QPlainTextEdit, public TranscriptSink
{
    Q_OBJECT
public:
    // menuName and clearName name the context menu and its item
    // (`txtMenu`/`mClr` for the upper pane, `iMenu`/`iClr` for the lower).
    TranscriptPane(const QString &menuName, const QString &clearName, QWidget *parent = nullptr);

    void AddText(const QString &txt, QRgb color) override;
    void beginBatch() override;
    void endBatch() override;
    void clearPane();

    // The text with CR LF line ends, as it was appended.
    QString plainTextCrLf() const;

    // Size in points for all text, now and later.
    void setFontPointSize(int points);
    int fontPointSize() const;

    QMenu *contextMenu() const { return m_menu; }

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    void scrollToEndLater();

    QMenu *m_menu;
    QTextCursor m_end;
    QTextCharFormat m_format;
    bool m_scrollQueued = false;
    int m_batchDepth = 0;   // open batches: the document is one edit until the last ends
};
