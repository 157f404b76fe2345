#pragma once

// The Instagram simulator on a server of its own, with the app's Instagram origin pointed at it.

#include "InstagramSimulator.h"
#include "TestEnvironment.h"
#include "TestServer.h"

struct LocalInstagram
{
    LocalInstagram() { TestEnvironment::setOrigins({ { "CLIPDOCK_INSTAGRAM_ORIGIN", server.origin() } }); }

    TestServer server;
    InstagramSimulator simulator{ server };
};
