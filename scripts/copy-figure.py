#!/usr/bin/env python3
"""Times copying N forms with a picture of SIZE bytes each between two reference servers:
`formdesigner forms copy` against fetching and saving the same bytes one request at a time
through `formdesigner request`. Usage: copy-figure.py BUILD_DIR [N] [SIZE]"""
import os, random, shutil, subprocess, sys, tempfile, time

build = sys.argv[1]
n = int(sys.argv[2]) if len(sys.argv) > 2 else 50
size = int(sys.argv[3]) if len(sys.argv) > 3 else 1 << 20
fd = os.path.join(build, "src/app/formdesigner")
srv = os.path.join(build, "repository-server/repository-server")
work = tempfile.mkdtemp(prefix="copyfig")


def server(name):
    p = subprocess.Popen([srv, "--port", "0", "--db", os.path.join(work, name)],
                         stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    return p, "127.0.0.1:" + p.stdout.readline().decode().strip().rsplit(":", 1)[1]


def run(*args, raw_out=False):
    r = subprocess.run([fd, *args], stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    if r.returncode:
        raise SystemExit("failed: %s\n%s%s" % (args[:3], r.stdout[-300:], r.stderr[-300:]))
    return r.stdout


def request(srv_, text, array=False):
    return run("request", "--server", srv_, "--raw", *(["--array"] if array else []), text)


procs = []
src, a = server("a.db")
tgt1, b1 = server("b.db")
tgt2, b2 = server("c.db")
try:
    rnd = random.Random(7)
    names = ["F%02d" % i for i in range(1, n + 1)]
    for name in names:
        d = os.path.join(work, name)
        os.makedirs(os.path.join(d, "IMAGES"))
        # No NUL byte: the request baseline passes the bytes on its command line.
        with open(os.path.join(d, "IMAGES", name + ".bmp"), "wb") as f:
            f.write(rnd.randbytes(size).replace(b"\0", b"\1"))
        with open(os.path.join(d, name + ".ldt"), "wb") as f:
            f.write(("<HEADER>\r\nForm_Name:\tBench\r\nForm_Code:\t%s\r\nForm_Type:\tB\r\n"
                     "Form_Document_Type:\tB\r\nPage:\t8.5\t11\r\nBackground_Image:\t%s.bmp\t\t1\r\n"
                     "</HEADER>\r\n<PAGE>\r\nHello\t1\t1\tArial\t8\tN\tN\tL\t1\tN\t\t\t\r\n"
                     "</PAGE>\r\n" % (name, name)).encode())
        run("forms", "put", d, "--server", a)

    t0 = time.time()
    run("forms", "copy", "--from", a, "--to", b1, *names)
    t_copy = time.time() - t0

    listing = request(a, "|GET|CUSTFORM|L", array=True).replace(b"\n", b"")
    t0 = time.time()
    for name in names:
        layout = request(a, "|GET|CUSTFORM|T|" + name, array=True).replace(b"\n", b"\r\n")
        rec = listing.split(name.encode() + b"^", 1)[1].split(b":", 1)[0]
        stamp = rec.split(b"\xc5")[1].decode()
        pic = request(a, "|GET|CUSTFORM|I|%s|%s|%s.bmp" % (name, stamp, name), array=True)
        pic = pic[len(b"|OK||"):pic.rindex(b"\n|END|")]
        request(b2, b"|SET|CUSTFORM|T|" + name.encode() + b"|Bench:B:B|" + layout)
        head = b"|SET|CUSTFORM|I-%d|" + name.encode() + b"|" + name.encode() + b".bmp|"
        piece = 9000 - (10 + len(b"|SET|CUSTFORM|I-111|%s|%s.bmp|" % (name.encode(), name.encode())))
        for i in range(0, len(pic), piece):
            request(b2, (head % (i // piece + 1)) + pic[i:i + piece])
    t_req = time.time() - t0

    def stored(s):
        return request(s, "|GET|CUSTFORM|L", array=True).count(b"\xc5")

    mb = n * size / 1e6
    print("forms %d, picture %d bytes each (%.1f MB)" % (n, size, mb))
    print("formdesigner forms copy : %6.1f s  %6.2f MB/s  pictures stored: %d/%d" %
          (t_copy, mb / t_copy, stored(b1) // 2, n))
    print("formdesigner request    : %6.1f s  %6.2f MB/s  pictures stored: %d/%d" %
          (t_req, mb / t_req, stored(b2) // 2, n))
finally:
    for p in (src, tgt1, tgt2):
        p.terminate()
        p.wait()
    shutil.rmtree(work, ignore_errors=True)
