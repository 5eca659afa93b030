#pragma once

class QUrl;

// Whether the program may fetch from `address`: an absolute https address,
// or plain http to this machine (127.0.0.0/8, ::1 or "localhost"), where
// nothing crosses the network.
bool isSecureWebAddress(const QUrl& address);
