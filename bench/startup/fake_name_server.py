#!/usr/bin/env python3
"""A name server on 127.0.0.1:53 for the startup benchmark's network conditions.

refuse: answers every query at once with REFUSED, as a resolver that knows nothing would.
silent: takes every query and never answers, as a network whose way out is cut ("cable in,
        no internet"): the resolver waits for its full timeout.
"""
import socket
import sys

REFUSED = 5


def refusal(query: bytes) -> bytes:
    # Same id and question; QR set, opcode and RD kept, RA set, rcode REFUSED, no records.
    flags = 0x8000 | (query[2] & 0x79) << 8 | 0x0080 | REFUSED
    return query[:2] + flags.to_bytes(2, "big") + query[4:6] + bytes(6) + query[12:]


def main() -> None:
    mode = sys.argv[1] if len(sys.argv) > 1 else ""
    if mode not in ("refuse", "silent"):
        sys.exit("usage: fake_name_server.py refuse|silent")
    server = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    server.bind(("127.0.0.1", 53))
    # Tell the caller the socket is bound, so no query can arrive before it.
    print("ready", flush=True)
    while True:
        query, sender = server.recvfrom(4096)
        if mode == "refuse" and len(query) >= 12:
            server.sendto(refusal(query), sender)


if __name__ == "__main__":
    main()
