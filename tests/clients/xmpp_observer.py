#!/usr/bin/python3
"""A contact's view of an XMPP account: signs in as a second account on a loopback server and
prints one line per presence it receives from the watched account, as
"<available|unavailable> <show> [<status message>]", plus "nick <text>" for a nickname, and
"ready" once signed in. Usage: xmpp_observer.py PORT JID PASSWORD WATCHED_BARE_JID"""
import asyncio
import logging
import sys

import slixmpp

port, jid, password, watched = int(sys.argv[1]), sys.argv[2], sys.argv[3], sys.argv[4]
logging.basicConfig(level=logging.ERROR)


def say(line):
    print(line, flush=True)


class Observer(slixmpp.ClientXMPP):
    def __init__(self):
        super().__init__(jid, password)
        self.add_event_handler("session_start", self.started)
        self.add_event_handler("presence", self.presence)
        self.add_event_handler("disconnected", lambda _: sys.exit(1))

    async def started(self, _):
        self.send_presence()
        await self.get_roster()
        say("ready")

    def presence(self, stanza):
        if stanza["from"].bare != watched or stanza["type"] in ("subscribe", "subscribed", "error"):
            return
        kind = "unavailable" if stanza["type"] == "unavailable" else "available"
        show = stanza["show"] or "-"
        say(f"{kind} {show} [{stanza['status']}]")
        nick = stanza.xml.find("{http://jabber.org/protocol/nick}nick")
        if nick is not None:
            say(f"nick {nick.text or ''}")


observer = Observer()
# The loopback server speaks no TLS: plain authentication over the unencrypted connection.
observer["feature_mechanisms"].unencrypted_plain = True
observer.enable_plaintext = True
observer.connect(("127.0.0.1", port), disable_starttls=True, force_starttls=False)
asyncio.get_event_loop().run_forever()
