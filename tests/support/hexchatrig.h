#pragma once

#include <QProcess>
#include <QString>

class IrcRig;
class PrivateBus;

// Starts a real HexChat on `bus` (and the X server of the environment) with a configuration
// folder of its own in the rig's folder: one network, "Loopback", that connects to the rig's
// server as `nick`, joins the rig's channel and throttles nothing. Returns once HexChat offers
// its D-Bus service and has joined; false (after saying why on stderr) when it does not.
bool startHexchat(QProcess &hexchat, const PrivateBus &bus, IrcRig &irc, const QString &nick);
