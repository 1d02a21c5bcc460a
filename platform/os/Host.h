#pragma once
// This computer's network name and address, to tell whether a database server named in a path is
// this very computer.

#include <QString>

namespace os {

// The host name in upper case; empty when the system gives none.
QString hostName();
// The first IPv4 address of this host as four decimal numbers joined by "." (an address other than
// the loopback one when the host has any); empty when it has none.
QString hostAddress();

}  // namespace os
