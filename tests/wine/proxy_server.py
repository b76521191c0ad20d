# A forwarding HTTP proxy on 127.0.0.1 for the proxy tests: it resolves host names only from
# its own table (NAME=ADDRESS arguments), so a client reaches those names only through it.
# Requests in absolute form ("GET http://name:port/path") are forwarded, with the path alone
# in the request line; CONNECT opens a tunnel. A GET of /proxy.pac in origin form is answered
# with the configuration script from PAC_FILE. Every request line is appended to the log; the
# port (0 for any free one) is written to the port file once it listens.
#   python3 proxy_server.py PORT PORT_FILE LOG PAC_FILE NAME=ADDRESS...
import os
import select
import socket
import socketserver
import sys
import urllib.parse

port, port_file, log_path, pac_file = int(sys.argv[1]), sys.argv[2], sys.argv[3], sys.argv[4]
hosts = dict(arg.split("=", 1) for arg in sys.argv[5:])
log = open(log_path, "a")


def read_head(conn):
    data = b""
    while b"\r\n\r\n" not in data:
        chunk = conn.recv(4096)
        if not chunk:
            return None, b""
        data += chunk
    head, rest = data.split(b"\r\n\r\n", 1)
    return head.decode("latin-1"), rest


def relay(a, b):
    sockets = [a, b]
    while True:
        readable, _, _ = select.select(sockets, [], [], 30)
        if not readable:
            return
        for s in readable:
            data = s.recv(65536)
            if not data:
                return
            (b if s is a else a).sendall(data)


def answer(conn, status, body, content_type="text/plain"):
    conn.sendall(f"HTTP/1.1 {status}\r\nContent-Type: {content_type}\r\n"
                 f"Content-Length: {len(body)}\r\nConnection: close\r\n\r\n".encode() + body)


class Handler(socketserver.BaseRequestHandler):
    def handle(self):
        conn = self.request
        head, rest = read_head(conn)
        if head is None:
            return
        lines = head.split("\r\n")
        method, target, version = lines[0].split(" ", 2)
        log.write(lines[0] + "\n")
        log.flush()
        if method == "CONNECT":
            name, _, target_port = target.rpartition(":")
            if name not in hosts:
                return answer(conn, "502 Bad Gateway", b"unknown host")
            upstream = socket.create_connection((hosts[name], int(target_port)))
            conn.sendall(b"HTTP/1.1 200 Connection established\r\n\r\n")
            if rest:
                upstream.sendall(rest)
            return relay(conn, upstream)
        if target == "/proxy.pac":
            with open(pac_file, "rb") as f:
                return answer(conn, "200 OK", f.read(), "application/x-ns-proxy-autoconfig")
        url = urllib.parse.urlsplit(target)
        if url.scheme != "http" or url.hostname not in hosts:
            return answer(conn, "502 Bad Gateway", b"unknown host")
        path = url.path or "/"
        if url.query:
            path += "?" + url.query
        kept = [l for l in lines[1:] if not l.lower().startswith(("proxy-connection:", "connection:"))]
        upstream = socket.create_connection((hosts[url.hostname], url.port or 80))
        upstream.sendall(("\r\n".join([f"{method} {path} {version}"] + kept + ["Connection: close"])
                          + "\r\n\r\n").encode("latin-1") + rest)
        relay(conn, upstream)


class Server(socketserver.ThreadingTCPServer):
    daemon_threads = True
    allow_reuse_address = True


server = Server(("127.0.0.1", port), Handler)
with open(port_file + ".tmp", "w") as f:
    f.write(f"{server.server_address[1]}\n")
os.rename(port_file + ".tmp", port_file)
server.serve_forever()
