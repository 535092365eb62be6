#!/usr/bin/env python3
"""idle-connections.py SERVER [COUNT] [PROBES]: how fast a fresh client is served while
COUNT (default 10000) other connections sit open and silent.

Starts SERVER (the repository-server program) on a free loopback port with a fresh
database and a long idle timeout, opens COUNT connections that send nothing, then times
PROBES (default 50) fresh clients, each connecting, asking |GET|PING| and reading the
reply. Prints the times and the server's resident memory and thread count. Exit status 1
when the slowest probe took 100 ms or more, or a probe was not served.
"""
import os
import resource
import socket
import struct
import subprocess
import sys
import tempfile
import time


def frame(fields):
    body = struct.pack(">I", len(fields))
    for f in fields:
        body += struct.pack(">I", len(f)) + f
    return struct.pack(">I", len(body)) + body


def read_exact(sock, n):
    out = b""
    while len(out) < n:
        chunk = sock.recv(n - len(out))
        if not chunk:
            raise ConnectionError("closed")
        out += chunk
    return out


def ping(port):
    start = time.perf_counter()
    with socket.create_connection(("127.0.0.1", port), timeout=5) as s:
        s.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
        s.sendall(frame([b"S", b"1", b"|GET|PING|"]))
        (length,) = struct.unpack(">I", read_exact(s, 4))
        body = read_exact(s, length)
    if b"PING" not in body:
        raise RuntimeError("unexpected reply %r" % body)
    return (time.perf_counter() - start) * 1000.0


def server_status(pid):
    rss = threads = "?"
    with open("/proc/%d/status" % pid) as f:
        for line in f:
            if line.startswith("VmRSS:"):
                rss = line.split(None, 1)[1].strip()
            elif line.startswith("Threads:"):
                threads = line.split()[1]
    return rss, threads


def main():
    if len(sys.argv) < 2:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    program = sys.argv[1]
    count = int(sys.argv[2]) if len(sys.argv) > 2 else 10000
    probes = int(sys.argv[3]) if len(sys.argv) > 3 else 50
    soft, hard = resource.getrlimit(resource.RLIMIT_NOFILE)
    resource.setrlimit(resource.RLIMIT_NOFILE, (hard, hard))
    if count + 64 > hard:
        print("descriptor limit %d is too low for %d connections" % (hard, count), file=sys.stderr)
        return 2
    with tempfile.TemporaryDirectory() as folder:
        server = subprocess.Popen(
            [program, "--port", "0", "--db", os.path.join(folder, "repository.db"),
             "--idle-timeout", "3600"],
            stdout=subprocess.PIPE, text=True)
        try:
            line = server.stdout.readline()
            port = int(line.rsplit(":", 1)[1])
            rss0, _ = server_status(server.pid)
            idle = []
            start = time.perf_counter()
            for _ in range(count):
                idle.append(socket.create_connection(("127.0.0.1", port), timeout=10))
            opened = time.perf_counter() - start
            time.sleep(1)  # let the server take in every connection
            raw = [ping(port) for _ in range(probes)]
            times = sorted(raw)
            # The idle ones are still open and served too.
            tail = ping(port)
            idle[0].sendall(frame([b"S", b"1", b"|GET|PING|"]))
            (length,) = struct.unpack(">I", read_exact(idle[0], 4))
            read_exact(idle[0], length)
            rss, threads = server_status(server.pid)
            print("idle connections: %d (opened in %.1f s)" % (count, opened))
            print("fresh client served in ms: median %.2f, max %.2f, after %.2f"
                  % (times[len(times) // 2], times[-1], tail))
            print("slowest probes (ms, in order of the run): %s" % ", ".join(
                "#%d %.1f" % (i, t) for i, t in sorted(enumerate(raw), key=lambda p: -p[1])[:3]))
            print("server: resident %s (at start %s), %s threads" % (rss, rss0, threads))
            for s in idle:
                s.close()
            return 0 if times[-1] < 100.0 else 1
        finally:
            server.terminate()
            server.wait(timeout=30)


if __name__ == "__main__":
    sys.exit(main())
