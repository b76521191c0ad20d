# The public address endpoint as the network script tests need it, on 127.0.0.1: GET /myip
# answers {"ip":"203.0.113.7"}, any other path a 404 without the key. Every request line is
# appended to the log; the port (0 for any free one) is written to the port file once the
# server listens; with a certificate and key it speaks TLS.
#   python3 myip_server.py PORT PORT_FILE LOG [CERT KEY]
import http.server
import os
import ssl
import sys

port, port_file, log_path = int(sys.argv[1]), sys.argv[2], sys.argv[3]
log = open(log_path, "a")


class Handler(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        log.write(self.requestline + "\n")
        log.flush()
        found = self.path == "/myip"
        body = b'{"ip":"203.0.113.7"}' if found else b"not here"
        self.send_response(200 if found else 404)
        self.send_header("Content-Type", "application/json")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def log_message(self, *args):
        pass


server = http.server.ThreadingHTTPServer(("127.0.0.1", port), Handler)
if len(sys.argv) > 5:
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(sys.argv[4], sys.argv[5])
    server.socket = context.wrap_socket(server.socket, server_side=True)
with open(port_file + ".tmp", "w") as f:
    f.write(f"{server.server_address[1]}\n")
os.rename(port_file + ".tmp", port_file)
server.serve_forever()
