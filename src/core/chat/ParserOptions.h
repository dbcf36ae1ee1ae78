#pragma once
// The settings the parser follows, handed to it by its owner (the session
// refreshes them at the start of each arrival) instead of asked for line by
// line.

#include <QString>

struct ParserOptions {
    bool joinLeave = true;   // join and leave notices in the lower pane
    QString homeChannel;     // joined once per connection after the logon; empty joins none
};
