#pragma once
// The settings the parser follows, handed to it by its owner (the session
// refreshes them at the start of each arrival) instead of asked for line by
// line.

#include "codec/Wire.h"

#include <QString>

struct ParserOptions {
    bool joinLeave = true;   // join and leave notices in the lower pane
    QString homeChannel;     // joined once per connection after the logon; empty joins none
    // The chosen text encoding: a line that is not valid UTF-8, and a hex
    // line's bytes, are read in its 8-bit fallback.
    Wire::Encoding encoding = Wire::Encoding::utf8();
};
