#!/usr/bin/env python3
"""A small IRC client of the test's own: joins a channel on 127.0.0.1 (waiting for the server) and reports on stdout,
one line each, "JOIN <nick>", "QUIT <nick>" and "NICK <old> <new>" as they cross the wire. Lines read from
stdin are sent to the server as they are. Usage: ircobserver.py PORT NICK CHANNEL"""
import selectors
import socket
import sys
import time

port, nick, channel = int(sys.argv[1]), sys.argv[2], sys.argv[3]
for attempt in range(100):  # the server may still be starting
    try:
        sock = socket.create_connection(("127.0.0.1", port))
        break
    except ConnectionRefusedError:
        time.sleep(0.2)
else:
    sys.exit("ircobserver: no server on 127.0.0.1:%d" % port)
sock.sendall(f"NICK {nick}\r\nUSER {nick} 0 * :observer\r\nJOIN {channel}\r\n".encode())
sel = selectors.DefaultSelector()
sel.register(sock, selectors.EVENT_READ)
sel.register(sys.stdin, selectors.EVENT_READ)
buffer = b""
while True:
    for key, _ in sel.select():
        if key.fileobj is sys.stdin:
            line = sys.stdin.readline()
            if not line:
                sys.exit(0)
            sock.sendall(line.strip().encode() + b"\r\n")
            continue
        data = sock.recv(65536)
        if not data:
            sys.exit(1)
        buffer += data
        while b"\r\n" in buffer:
            raw, buffer = buffer.split(b"\r\n", 1)
            words = raw.decode(errors="replace").split(" ")
            if words[0] == "PING":
                sock.sendall(b"PONG " + words[1].encode() + b"\r\n")
            elif len(words) >= 2 and words[1] in ("NICK", "JOIN", "QUIT"):
                who = words[0].lstrip(":").split("!")[0]
                new = " " + words[2].lstrip(":") if words[1] == "NICK" else ""
                print(f"{words[1]} {who}{new}", flush=True)
