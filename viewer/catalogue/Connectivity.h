#pragma once

#include <QString>

// The map's tile host, probed to tell whether the internet is reachable.
constexpr const char* kDefaultConnectivityHost = "tile.openstreetmap.org";
constexpr int kDefaultConnectivityPort = 443;
constexpr int kConnectivityTimeoutMs = 2000;

// A TCP connect to host:port that gives up after `timeoutMs` in all (name
// look-up included). $KESTRAV_CONNECTIVITY_HOST ("host:port") overrides the
// default target. Any thread; never blocks longer than the timeout.
bool ProbeConnectivity(int timeoutMs = kConnectivityTimeoutMs);
bool ProbeConnectivity(const QString& host, int port, int timeoutMs);
