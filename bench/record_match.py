#!/usr/bin/env python3
"""Records the match the replay benchmark plays: the project's server with three bots on
loopback and the real client recording what it receives, for a few seconds. Run it under a
display from the repository root, e.g.

    xvfb-run -a -s "-screen 0 1280x1024x24" python3 bench/record_match.py [--seconds 8]
"""

import argparse
import os
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "tests", "e2e"))
from harness import Client, client_window, start_server  # noqa: E402


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--seconds", type=float, default=8, help="length (default 8)")
    parser.add_argument("--out", default=os.path.join(HERE, "match.cfreplay"),
                        help="the replay to write (default bench/match.cfreplay)")
    args = parser.parse_args()
    server, port = start_server(bots=3)
    try:
        client = Client("--record", os.path.abspath(args.out), "127.0.0.1", str(port), "bench")
        client_window(client)
        time.sleep(args.seconds)
        client.interrupt()
        if client.finish() != 0:
            sys.exit("the client failed: " + client.text()[-500:])
    finally:
        server.stop()
    print("%s: %d bytes" % (args.out, os.path.getsize(args.out)))


if __name__ == "__main__":
    main()
