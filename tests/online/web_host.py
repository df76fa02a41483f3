#!/usr/bin/env python3
"""A stand-in web host for the online tests, on 127.0.0.1 and a port the system picks.

Usage: web_host.py FOLDER. The port is written to FOLDER/port once the server listens. Before each
request the test writes FOLDER/reply.json ({"status": 200, "repeat": 0}) and optionally FOLDER/reply.bin
(the body; with "repeat" > 0 the body is that many bytes of "x" instead). While FOLDER/hold exists, a
request is recorded but not answered. Each request is recorded as FOLDER/request-N.json (method, path,
content type) and FOLDER/request-N.bin (the body); the JSON file appears whole, after the body's.
"""
import http.server
import json
import os
import sys
import threading
import time

folder = sys.argv[1]
counter = [0]
lock = threading.Lock()


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.0"

    def log_message(self, *args):
        pass

    def handle_request(self):
        length = int(self.headers.get("Content-Length", "0"))
        body = self.rfile.read(length) if length else b""
        with lock:
            n = counter[0]
            counter[0] += 1
        with open(os.path.join(folder, "request-%d.bin" % n), "wb") as f:
            f.write(body)
        info = {"method": self.command, "path": self.path,
                "contentType": self.headers.get("Content-Type", ""),
                "userAgent": self.headers.get("User-Agent", "")}
        record = os.path.join(folder, "request-%d.json" % n)
        with open(record + ".tmp", "w") as f:
            json.dump(info, f)
        os.rename(record + ".tmp", record)
        try:
            with open(os.path.join(folder, "reply.json")) as f:
                spec = json.load(f)
        except OSError:
            spec = {}
        payload = b""
        if spec.get("repeat", 0) > 0:
            payload = b"x" * spec["repeat"]
        elif os.path.exists(os.path.join(folder, "reply.bin")):
            with open(os.path.join(folder, "reply.bin"), "rb") as f:
                payload = f.read()
        while os.path.exists(os.path.join(folder, "hold")):
            time.sleep(0.01)
        try:
            self.send_response(spec.get("status", 200))
            self.send_header("Content-Type", "application/octet-stream")
            self.send_header("Content-Length", str(len(payload)))
            self.end_headers()
            self.wfile.write(payload)
        except OSError:
            pass  # the client gave up

    do_GET = handle_request
    do_POST = handle_request


server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
server.daemon_threads = True
with open(os.path.join(folder, "port.tmp"), "w") as f:
    f.write(str(server.server_address[1]))
os.rename(os.path.join(folder, "port.tmp"), os.path.join(folder, "port"))
server.serve_forever()
