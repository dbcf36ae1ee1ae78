#include "MessageSplitter.h"

#include "codec/QuillonEngine.h"

#include <optional>

namespace {

constexpr QChar Blank = u' ';
constexpr QChar Slash = u'/';
constexpr QChar HexMarker = QChar(0xA3);

// The end of the longest run from `from` that fits in maxBytes, ending
// between two characters; at least one character, so a cut always moves on.
qsizetype fitEnd(QStringView s, qsizetype from, qsizetype maxBytes, const Wire::Encoding &encoding)
{
    return from + Wire::fittingLength(s.mid(from), maxBytes, encoding);
}

qsizetype skipBlanks(QStringView s, qsizetype i)
{
    while (i < s.size() && s[i] == Blank)
        ++i;
    return i;
}

struct Cut {
    qsizetype pieceEnd;
    qsizetype nextStart;
};

// Where to end the piece that starts at pos when the text goes on past end:
// at the last blank within reach, else hard at the last character boundary.
// With noLeadingSlash, the next piece must not begin with "/".
Cut chooseCut(QStringView s, qsizetype pos, qsizetype end, bool noLeadingSlash)
{
    auto mayStartAt = [&](qsizetype i) { return !noLeadingSlash || i >= s.size() || s[i] != Slash; };
    for (qsizetype b = end; b > pos; --b) {
        if (s[b] != Blank)
            continue;
        qsizetype pieceEnd = b;
        while (pieceEnd > pos && s[pieceEnd - 1] == Blank)
            --pieceEnd;
        const qsizetype next = skipBlanks(s, b);
        if (pieceEnd > pos && mayStartAt(next))
            return {pieceEnd, next};
    }
    for (qsizetype h = end; h > pos; --h) {
        const bool insidePair = s[h].isLowSurrogate() && s[h - 1].isHighSurrogate();
        if (!insidePair && s[h] != Blank && mayStartAt(h))
            return {h, h};
    }
    return {end, end};      // a run of slashes: nothing better exists
}

QStringList wrap(QStringView text, qsizetype maxBytes, bool noLeadingSlash, const Wire::Encoding &encoding)
{
    QStringList pieces;
    qsizetype pos = 0;
    while (pos < text.size()) {
        const qsizetype end = fitEnd(text, pos, maxBytes, encoding);
        if (end == text.size()) {
            pieces << text.mid(pos).toString();
            break;
        }
        const Cut cut = chooseCut(text, pos, end, noLeadingSlash);
        pieces << text.mid(pos, cut.pieceEnd - pos).toString();
        pos = cut.nextStart;
    }
    return pieces;
}

bool isHexLine(const QString &line)
{
    if (line[0] != HexMarker || line.size() % 2 == 0)
        return false;
    for (qsizetype i = 1; i < line.size(); ++i) {
        if (!Quillon_Engine::IsHexChar(line.mid(i, 1)))
            return false;
    }
    return true;
}

QStringList splitHex(const QString &line)
{
    const qsizetype digitsPerPiece = (MessageSplitter::MaxBytes - 1) / 2 * 2;
    QStringList pieces;
    for (qsizetype i = 1; i < line.size(); i += digitsPerPiece)
        pieces << HexMarker + line.mid(i, digitsPerPiece);
    return pieces;
}

// Where the text of a whisper or an emote starts (after the command word,
// the target and their blanks), or nothing for any other line.
std::optional<qsizetype> personalTextStart(const QString &line)
{
    static const QStringList whispers = {"/w", "/whisper", "/m", "/msg"};
    static const QStringList emotes = {"/me", "/emote"};
    const qsizetype wordEnd = line.indexOf(Blank);
    if (wordEnd < 0)
        return std::nullopt;
    const QString word = line.left(wordEnd);
    qsizetype i = skipBlanks(line, wordEnd);
    if (whispers.contains(word, Qt::CaseInsensitive)) {
        const qsizetype name = i;
        while (i < line.size() && line[i] != Blank)
            ++i;
        if (i == name)
            return std::nullopt;
        i = skipBlanks(line, i);
    } else if (!emotes.contains(word, Qt::CaseInsensitive)) {
        return std::nullopt;
    }
    if (i >= line.size())
        return std::nullopt;
    return i;
}

} // namespace

namespace MessageSplitter {

QStringList split(const QString &line, const Wire::Encoding &encoding)
{
    if (Wire::lineSize(line, encoding) <= MaxBytes)
        return {line};
    if (isHexLine(line))
        return splitHex(line);
    if (!line.startsWith(Slash))
        return wrap(line, MaxBytes, true, encoding);

    const std::optional<qsizetype> textStart = personalTextStart(line);
    const QString prefix = line.left(textStart.value_or(0));
    const qsizetype room = MaxBytes - Wire::lineSize(prefix, encoding);
    // Other commands, and a target so long that no text would fit beside it.
    if (!textStart || room < 1)
        return {line};
    QStringList pieces = wrap(QStringView(line).mid(*textStart), room, false, encoding);
    for (QString &piece : pieces)
        piece.prepend(prefix);
    return pieces;
}

} // namespace MessageSplitter
