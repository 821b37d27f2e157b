#!/usr/bin/env python3
"""The real client in a real match: the project's server with three bots on loopback and the
client binary against it, for a set time. The client itself records when it presented each
frame (CUBEFRAY_FRAME_LOG); this reports the intervals between them and the client's CPU time
per frame. Run it under a display, e.g.

    xvfb-run -a -s "-screen 0 1280x1024x24" python3 bench/live_bench.py [--seconds 30]
"""

import argparse
import os
import signal
import socket
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))


def free_udp_port():
    with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


def percentile(sorted_values, share):
    return sorted_values[min(len(sorted_values) - 1, int(share * len(sorted_values)))]


def run_match(build, seconds, warmup, log_path):
    port = free_udp_port()
    server = subprocess.Popen([os.path.join(build, "cubefray-server"), "--port", str(port),
                               "--bots", "3"], stdout=subprocess.DEVNULL)
    env = dict(os.environ, CUBEFRAY_FRAME_LOG=log_path)
    try:
        time.sleep(0.3)
        client = subprocess.Popen([os.path.join(build, "cubefray"), "127.0.0.1", str(port),
                                   "bench"], stdout=subprocess.DEVNULL, env=env)
        time.sleep(warmup + seconds)
        client.send_signal(signal.SIGINT)
        status = client.wait(timeout=20)
    finally:
        server.send_signal(signal.SIGINT)
        server.wait(timeout=20)
    if status != 0:
        sys.exit("the client ended with status %d" % status)


def report(log_path, warmup):
    with open(log_path) as log:
        frames = [tuple(map(float, line.split()[:2])) for line in log if line.strip()]
    start = frames[0][0] + warmup * 1000
    measured = [frame for frame in frames if frame[0] >= start]
    if len(measured) < 2:
        sys.exit("too few frames were presented")
    intervals = sorted(b[0] - a[0] for a, b in zip(measured, measured[1:]))
    elapsed = measured[-1][0] - measured[0][0]
    cpu = measured[-1][1] - measured[0][1]
    frames_per_second = 1000.0 * (len(measured) - 1) / elapsed
    print("frames presented          %d in %.1f s" % (len(measured), elapsed / 1000))
    print("frames per second         %.2f" % frames_per_second)
    print("interval median           %.2f ms" % percentile(intervals, 0.5))
    print("interval p90              %.2f ms" % percentile(intervals, 0.9))
    print("interval p99              %.2f ms" % percentile(intervals, 0.99))
    print("interval max              %.2f ms" % intervals[-1])
    print("client CPU time a frame   %.2f ms" % (cpu / (len(measured) - 1)))


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--seconds", type=float, default=30, help="measured time (default 30)")
    parser.add_argument("--warmup", type=float, default=3, help="unmeasured start (default 3)")
    parser.add_argument("--build", default=os.path.join(HERE, "..", "build"),
                        help="the build folder with cubefray and cubefray-server")
    args = parser.parse_args()
    with tempfile.TemporaryDirectory() as scratch:
        log_path = os.path.join(scratch, "frames")
        run_match(args.build, args.seconds, args.warmup, log_path)
        report(log_path, args.warmup)


if __name__ == "__main__":
    main()
