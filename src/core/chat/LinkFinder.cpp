#include "LinkFinder.h"

namespace {

const QStringView Prefixes[] = {u"https://", u"http://", u"www."};

// What may stand right before an address: "x:http://", "a.www.b" or
// "mail@www.host" are no addresses of their own.
bool mayPrecede(QChar c)
{
    return c.isSpace() || QStringView(u"([{<\"'*,;>|").contains(c);
}

bool inAddress(QChar c)
{
    return c.unicode() > 0x20 && c.unicode() != 0x7F && !c.isSpace() && c.category() != QChar::Other_Control
           && !QStringView(u"\"<>`{}|\\^").contains(c);
}

// A closing bracket at the end belongs to the address only when the
// address opened one: "(see www.a.com)" versus "http://a.com/x_(y)".
bool unmatchedClose(QStringView address)
{
    const QChar last = address.back();
    const QChar open = last == u')' ? u'(' : last == u']' ? u'[' : QChar();
    return !open.isNull() && address.count(open) < address.count(last);
}

qsizetype prefixAt(QStringView text, qsizetype i)
{
    for (QStringView prefix : Prefixes) {
        if (text.mid(i).startsWith(prefix, Qt::CaseInsensitive))
            return prefix.size();
    }
    return 0;
}

} // namespace

namespace LinkFinder {

QList<Span> find(QStringView text)
{
    QList<Span> spans;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        // Every prefix starts with "ht" or "ww": the common case costs one
        // test, and words such as "who" or "hi" a second.
        const char16_t c = text[i].unicode() | 0x20;
        if (c != u'h' && c != u'w')
            continue;
        if (i + 1 == n || (text[i + 1].unicode() | 0x20) != (c == u'h' ? u't' : u'w'))
            continue;
        if (i > 0 && !mayPrecede(text[i - 1]))
            continue;
        const qsizetype prefix = prefixAt(text, i);
        if (prefix == 0)
            continue;
        qsizetype end = i + prefix;
        while (end < n && inAddress(text[end]))
            ++end;
        while (end > i + prefix
               && (QStringView(u".,;:!?'*").contains(text[end - 1]) || unmatchedClose(text.mid(i, end - i))))
            --end;
        if (end > i + prefix && !target(text.mid(i, end - i)).isEmpty()) {
            spans.append({i, end - i});
            i = end - 1;
        }
    }
    return spans;
}

QUrl target(QStringView address)
{
    QString text = address.toString();
    if (address.startsWith(u"www.", Qt::CaseInsensitive))
        text.prepend(QLatin1String("http://"));
    const QUrl url(text, QUrl::StrictMode);
    const QString scheme = url.scheme();
    if (!url.isValid() || (scheme != QLatin1String("http") && scheme != QLatin1String("https"))
        || url.host().isEmpty())
        return {};
    return url;
}

} // namespace LinkFinder
