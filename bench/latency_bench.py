#!/usr/bin/env python3
"""Mouse to picture: the time from a mouse motion to the first presented frame that shows it.

The project's server (no bots) and the real client, joined through a UDP relay that holds every
datagram a fixed time each way; a synthetic relative motion through the X server's XTest
extension, and the client's own log of each presented frame with a hash of the middle of the
picture. A motion's latency is the time from the motion to the first frame whose middle differs
from the frame before the motion. Run it under a display, e.g.

    xvfb-run -a -s "-screen 0 1280x1024x24" python3 bench/latency_bench.py [--local no]
"""

import argparse
import os
import random
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "tests", "e2e"))
from harness import (Client, LinkProxy, Server, XTest, client_window, free_port,  # noqa: E402
                     isolated_env, monotonic_ms, read_frame_log, xdotool)


def percentile(values, share):
    ordered = sorted(values)
    return ordered[min(len(ordered) - 1, int(share * len(ordered)))]


def latencies(frames, motions):
    """For each motion (monotonic ms), the time to the first frame whose middle changed."""
    found = []
    for moved_at in motions:
        before = [f for f in frames if f[0] <= moved_at]
        after = [f for f in frames if f[0] > moved_at]
        if not before:
            continue
        shown = next((f for f in after if f[4] != before[-1][4]), None)
        if shown is not None:
            found.append(shown[0] - moved_at)
    return found


def measure(build, delay_ms, local, motions, seed):
    """Latencies of the motions with the relay holding each datagram delay_ms each way."""
    port = free_port()
    server = Server("--port", str(port), "--bots", "0",
                    executable=os.path.join(build, "cubefray-server"))
    proxy = LinkProxy(port, seed, delay=(delay_ms / 1000, delay_ms / 1000))
    chance = random.Random(seed)
    with tempfile.TemporaryDirectory() as home:
        log_path = os.path.join(home, "frames")
        env = isolated_env(home, "turn_view_locally = %s\n" % ("yes" if local else "no"),
                           CUBEFRAY_FRAME_LOG=log_path, CUBEFRAY_FRAME_HASH="1")
        client = Client("127.0.0.1", str(proxy.port), "bench",
                        executable=os.path.join(build, "cubefray"), env=env)
        try:
            window = client_window(client)
            xdotool("mousemove", "--window", window, "360", "240")
            time.sleep(2 + 4 * delay_ms / 1000)
            pointer = XTest()
            moved = []
            for motion in range(motions):
                # Still long enough for the last turn to come back from the server.
                time.sleep(0.3 + 2 * delay_ms / 1000 + chance.uniform(0, 0.1))
                moved.append(monotonic_ms())
                pointer.move(12 if motion % 2 == 0 else -12, 0)
            time.sleep(0.5 + 2 * delay_ms / 1000)
            client.interrupt()
            if client.finish() != 0:
                sys.exit("the client failed: " + client.text()[-500:])
            pointer.close()
            return latencies(read_frame_log(log_path), moved)
        finally:
            client.kill()
            proxy.close()
            server.stop()


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--build", default=os.path.join(HERE, "..", "build"),
                        help="the build folder with cubefray and cubefray-server")
    parser.add_argument("--motions", type=int, default=30, help="motions a delay (default 30)")
    parser.add_argument("--delays", default="0,25,50,100",
                        help="one-way delays in milliseconds (default 0,25,50,100)")
    parser.add_argument("--local", choices=("yes", "no"), default="yes",
                        help="the client's turn_view_locally setting (default yes)")
    args = parser.parse_args()
    print("one-way delay   motions   median    p90     max   (turn the view locally: %s)" %
          args.local)
    for delay in (int(d) for d in args.delays.split(",")):
        found = measure(args.build, delay, args.local == "yes", args.motions, seed=delay)
        if not found:
            print("%6d ms       none shown" % delay)
            continue
        print("%6d ms    %4d/%-4d %5.1f   %5.1f   %5.1f  ms" %
              (delay, len(found), args.motions, percentile(found, 0.5), percentile(found, 0.9),
               max(found)))


if __name__ == "__main__":
    main()
