#pragma once
// The lines the gateway sends, each without its CR LF: a four-digit event
// code, a keyword and the fields. Flags are four hexadecimal digits; quoted
// texts are not escaped.

#include <QString>

namespace gateway {

namespace EventLines {

QString flagsText(int flags);

QString name(const QString &name);                                              // 2010
QString user(const QString &name, int flags, const QString &product);          // 1001
QString join(const QString &name, int flags, const QString &product);          // 1002
QString leave(const QString &name, int flags);                                  // 1003
QString whisperFrom(const QString &name, int flags, const QString &text);      // 1004
QString talk(const QString &name, int flags, const QString &text);             // 1005
QString broadcast(const QString &text);                                         // 1006
QString channel(const QString &channel);                                        // 1007
QString flagsChanged(const QString &name, int flags);                           // 1009
QString whisperTo(const QString &name, int flags, const QString &text);        // 1010
QString info(const QString &text);                                              // 1018
QString error(const QString &text);                                             // 1019
QString emote(const QString &name, int flags, const QString &text);            // 1023

} // namespace EventLines

} // namespace gateway
