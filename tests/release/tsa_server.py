"""A time-stamp authority for the release tests (RFC 3161 over HTTP, loopback only): each POSTed
time-stamp query is answered by `openssl ts -reply` with the test authority's certificate.

    python3 tsa_server.py PORTFILE CONFIG KEY CERT CHAIN

Listens on a free port of 127.0.0.1 and writes it to PORTFILE."""
import http.server
import os
import subprocess
import sys
import tempfile

port_file, config, key, cert, chain = sys.argv[1:6]


class Handler(http.server.BaseHTTPRequestHandler):
    def do_POST(self):
        query = self.rfile.read(int(self.headers.get('Content-Length', '0')))
        with tempfile.TemporaryDirectory() as work:
            path = os.path.join(work, 'query.tsq')
            with open(path, 'wb') as f:
                f.write(query)
            done = subprocess.run(['openssl', 'ts', '-reply', '-config', config, '-queryfile', path,
                                   '-inkey', key, '-signer', cert, '-chain', chain,
                                   '-out', os.path.join(work, 'reply.tsr')],
                                  capture_output=True)
            if done.returncode != 0:
                sys.stderr.write(done.stderr.decode(errors='replace'))
                self.send_error(500)
                return
            with open(os.path.join(work, 'reply.tsr'), 'rb') as f:
                reply = f.read()
        self.send_response(200)
        self.send_header('Content-Type', 'application/timestamp-reply')
        self.send_header('Content-Length', str(len(reply)))
        self.end_headers()
        self.wfile.write(reply)

    def log_message(self, *args):
        sys.stderr.write('tsa: ' + (args[0] % args[1:]) + '\n')


server = http.server.HTTPServer(('127.0.0.1', 0), Handler)
with open(port_file + '.tmp', 'w') as f:
    f.write(str(server.server_address[1]))
os.rename(port_file + '.tmp', port_file)
server.serve_forever()
