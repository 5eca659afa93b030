#pragma once

#include <functional>

class QNetworkReply;
class QNetworkRequest;
class QUrl;

// Redirects held to the rule of the first address: a request made with
// checkEachRedirect stops before every hop, and followSecureRedirects lets its
// reply go on only to an address that isSecureWebAddress accepts (https, or
// http to this machine), so a hop cannot lead a fetch anywhere in clear.
void checkEachRedirect(QNetworkRequest& request);
// A refused hop aborts the reply once `refused` has been given its address.
void followSecureRedirects(QNetworkReply* reply, const std::function<void(const QUrl& hop)>& refused);
