#pragma once
// Web addresses in received text: http://, https:// and www. ones. The
// panes underline them and open them in the browser on a click; nothing
// but an http or https address is ever opened.

#include <QList>
#include <QStringView>
#include <QUrl>

namespace LinkFinder {

struct Span {
    qsizetype start = 0;
    qsizetype length = 0;
    friend bool operator==(const Span &, const Span &) = default;
};

// The addresses in text, left to right. An address starts at the beginning
// of the text or after a blank or an opening bracket or quote, runs up to
// the next blank, quote or angle bracket, and loses trailing punctuation
// and an unmatched closing bracket.
QList<Span> find(QStringView text);

// The address to open for an address as it stands in the text: a www. one
// gains "http://". Anything that does not make a valid http or https
// address with a host gives an empty URL.
QUrl target(QStringView address);

} // namespace LinkFinder
