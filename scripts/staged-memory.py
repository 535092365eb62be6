#!/usr/bin/env python3
"""Resident memory of the repository server while uploads are staged and after they end.

usage: staged-memory.py PATH/TO/repository-server [CONNECTIONS] [MB_EACH]

Starts the server on a free loopback port with a fresh database, opens CONNECTIONS
connections (8) that each stage MB_EACH megabytes (31) of an upload that never finishes
(|SETL| pieces of 1 MB under one sequence), closes them, and prints the server's resident
memory at the start, with everything staged, and after the connections closed.
"""
import os
import socket
import struct
import subprocess
import sys
import tempfile
import time


def rss_mb(pid):
    with open(f"/proc/{pid}/status") as f:
        for line in f:
            if line.startswith("VmRSS:"):
                return int(line.split()[1]) / 1024.0
    return 0.0


def frame(fields):
    body = struct.pack(">I", len(fields))
    for f in fields:
        body += struct.pack(">I", len(f)) + f
    return struct.pack(">I", len(body)) + body


def read_frame(sock):
    def exact(n):
        data = b""
        while len(data) < n:
            chunk = sock.recv(n - len(data))
            if not chunk:
                raise ConnectionError("closed")
            data += chunk
        return data

    (n,) = struct.unpack(">I", exact(4))
    return exact(n)


def main():
    program = sys.argv[1]
    connections = int(sys.argv[2]) if len(sys.argv) > 2 else 8
    mb_each = int(sys.argv[3]) if len(sys.argv) > 3 else 31
    with tempfile.TemporaryDirectory() as tmp:
        server = subprocess.Popen(
            [program, "--port", "0", "--db", os.path.join(tmp, "r.db"), "--idle-timeout", "600"],
            stdout=subprocess.PIPE)
        port = int(server.stdout.readline().decode().rsplit(":", 1)[1])
        time.sleep(0.3)
        start = rss_mb(server.pid)
        piece = b"|SETL|" + b"x" * (1 << 20)
        socks = []
        refused = 0
        for c in range(connections):
            s = socket.create_connection(("127.0.0.1", port))
            socks.append(s)
            for i in range(1, mb_each + 1):
                seq = struct.pack(">QII", 1000 + c, i, mb_each + 1)
                s.sendall(frame([b"S", b"1", piece, seq]))
                if b"ERROR" in read_frame(s):
                    refused += 1
        staged = rss_mb(server.pid)
        for s in socks:
            s.close()
        time.sleep(1.0)
        after = rss_mb(server.pid)
        server.terminate()
        server.wait()
    print(f"{connections} connections x {mb_each} MB staged ({refused} pieces refused)")
    print(f"resident memory: start {start:.1f} MB, staged {staged:.1f} MB, "
          f"after close {after:.1f} MB ({after - start:+.1f} MB)")


if __name__ == "__main__":
    main()
