"""A local FTP server for the upload tests.

Usage: ftp_server.py HOME_DIR [plain|tls|stall]
One user (the test's report login) whose home is HOME_DIR. Binds 127.0.0.1 on a free port and
prints the port on a line of its own.
  plain  an ordinary server without TLS
  tls    refuses everything until the client has turned on TLS for the login and the data; its
         certificate (for 127.0.0.1, made at start) is written to HOME_DIR/../ftp-ca.pem
  stall  takes the login, then never answers a STOR
Ends when its standard input closes, so it never outlives the test that started it.
"""
import logging
import os
import sys
import threading

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer


def self_signed_certificate(path):
    from OpenSSL import crypto

    key = crypto.PKey()
    key.generate_key(crypto.TYPE_RSA, 2048)
    cert = crypto.X509()
    cert.set_version(2)
    cert.get_subject().CN = "127.0.0.1"
    cert.set_serial_number(1)
    cert.gmtime_adj_notBefore(-60)
    cert.gmtime_adj_notAfter(3600)
    cert.set_issuer(cert.get_subject())
    cert.set_pubkey(key)
    cert.add_extensions([
        crypto.X509Extension(b"subjectAltName", False, b"IP:127.0.0.1"),
        crypto.X509Extension(b"basicConstraints", True, b"CA:TRUE"),
    ])
    cert.sign(key, "sha256")
    with open(path, "wb") as f:
        f.write(crypto.dump_certificate(crypto.FILETYPE_PEM, cert))
        f.write(crypto.dump_privatekey(crypto.FILETYPE_PEM, key))


def main():
    home = sys.argv[1]
    mode = sys.argv[2] if len(sys.argv) > 2 else "plain"
    logging.basicConfig(level=logging.ERROR)
    authorizer = DummyAuthorizer()
    authorizer.add_user("Qm4tZ8wLp2", "Hx7Rb3Nc9V", home, perm="elradfmw")

    if mode == "tls":
        from pyftpdlib.handlers import TLS_DTPHandler, TLS_FTPHandler

        class DataHandler(TLS_DTPHandler):
            # The client may begin TLS on the data connection before it sends STOR; the library
            # would take that early data for a hang-up and close the connection.
            def readable(self):
                return self._ssl_accepting or super().readable()

        class Handler(TLS_FTPHandler):
            dtp_handler = DataHandler

        Handler.certfile = os.path.join(os.path.dirname(os.path.abspath(home)), "ftp-ca.pem")
        self_signed_certificate(Handler.certfile)
        Handler.tls_control_required = True
        Handler.tls_data_required = True
    elif mode == "stall":
        class Handler(FTPHandler):
            def ftp_STOR(self, file, mode="w"):
                pass
    else:
        class Handler(FTPHandler):
            pass

    Handler.authorizer = authorizer
    Handler.auth_failed_timeout = 0.1  # a refused login answers at once
    server = FTPServer(("127.0.0.1", 0), Handler)
    print(server.socket.getsockname()[1], flush=True)

    def watch_stdin():
        sys.stdin.read()
        os._exit(0)

    threading.Thread(target=watch_stdin, daemon=True).start()
    server.serve_forever()


if __name__ == "__main__":
    main()
