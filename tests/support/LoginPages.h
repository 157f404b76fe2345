#pragma once

// The platforms' login pages: a form that accepts any name and password and answers with the
// platform's session cookies, in the order the platform sets them (Instagram: "csrftoken", "mid",
// "sessionid", "ds_user_id"; Facebook: "c_user", "xs", "fb_dtsg"), then sends the browser to the
// home page "/". The cookies are host-only, so a platform on 127.0.0.1 and one on 127.0.0.2 keep
// separate sessions.

#include "core/SocialPlatform.h"

#include <QByteArrayList>
#include <QString>

class TestServer;

namespace LoginPages {

// Serves the login page at the platform's login path ("/accounts/login/" or "/login/"), the form's
// target "<login path>submit" and a home page at "/". The form sets the cookies named in `order`,
// in that order, or the platform's own cookies in its own order when `order` is empty; attaching
// again changes the order.
void attach(TestServer &server, SocialPlatform platform, const QByteArrayList &order = {});

// The platform's session cookies in the order its login sets them.
QByteArrayList loginOrder(SocialPlatform platform);

// The login path of a platform, as the app opens it.
QString loginPath(SocialPlatform platform);

} // namespace LoginPages
