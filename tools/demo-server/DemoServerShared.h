#pragma once

#include "DemoServerSettings.h"

class BodyBudget;
class ConnectionRegistry;
class LogonThrottle;
class SessionStore;

// What every connection of one server shares: its settings, sessions, the slowing of wrong
// passwords, the list of live connections and the memory for request bodies.
struct DemoServerShared {
    const DemoServerSettings& settings;
    SessionStore& sessions;
    LogonThrottle& throttle;
    ConnectionRegistry& connections;
    BodyBudget& bodies;
};
