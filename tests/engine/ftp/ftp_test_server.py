"""An FTP server for the client's tests: one user with full rights on a
folder, on 127.0.0.1 at a free port, which it prints as its first line.
An optional fourth argument limits downloads to that many bytes a second,
so that a window can be seen while a file comes in. It ends when its
standard input closes, so it never outlives the test."""

import logging
import os
import sys
import threading

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler, ThrottledDTPHandler
from pyftpdlib.servers import FTPServer


def main():
    root, user, password = sys.argv[1:4]
    bytes_per_second = int(sys.argv[4]) if len(sys.argv) > 4 else 0
    logging.getLogger("pyftpdlib").addHandler(logging.NullHandler())
    logging.getLogger("pyftpdlib").propagate = False

    authorizer = DummyAuthorizer()
    authorizer.add_user(user, password, root, perm="elradfmw")
    handler = type("Handler", (FTPHandler,), {})
    handler.authorizer = authorizer
    handler.use_gmt_times = False  # listings in the test's local time
    if bytes_per_second > 0:
        handler.dtp_handler = type("Throttled", (ThrottledDTPHandler,),
                                   {"write_limit": bytes_per_second})

    server = FTPServer(("127.0.0.1", 0), handler)
    print(server.address[1], flush=True)

    def end_with_parent():
        sys.stdin.read()
        os._exit(0)

    threading.Thread(target=end_with_parent, daemon=True).start()
    server.serve_forever(handle_exit=False)


if __name__ == "__main__":
    main()
