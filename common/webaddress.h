#pragma once

class QUrl;

// Whether `address` is an absolute http or https address with a host.
bool isWebAddress(const QUrl& address);

// Whether the program may fetch from `address`, or send it a credential: an
// https address, or plain http to this machine (127.0.0.0/8, ::1 or
// "localhost"), where nothing crosses the network.
bool isSecureWebAddress(const QUrl& address);

// Whether `a` and `b` share their origin: scheme, host and port (the
// scheme's own port when none is given).
bool isSameOrigin(const QUrl& a, const QUrl& b);
