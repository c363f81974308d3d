"""A controller's FDR server for Halbrick's tests and demo: Debian's pyftpdlib serving a folder.

Usage: fdr_ftp_server.py ADDRESS PORT ROOT [COMMAND_LOG [STATUS_FILE]]

Serves ROOT on PORT of ADDRESS (0: a free port of the system's choice) to the FDR account (user "fdrusers"), the device-replacement
files lying in ROOT/RAM0/fdr, which the client reaches as \\RAM0\\fdr. Directory listings come
in the FDR server's fixed columns: mode and owner in columns 1 to 23, the size right aligned
in the 16 columns from 24, the date (UTC) in the 13 from 40, the name from column 53. Every command
line received is appended to COMMAND_LOG (the password masked). Prints "ready" on a line of
its own once it serves (STATUS_FILE then holds the port), or "cannot listen: REASON" (in
STATUS_FILE too) and ends with code 2 when it cannot bind; runs until killed.
"""
import logging
import os
import sys
import time

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.filesystems import AbstractedFS
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer

MONTHS = ["Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"]


class FdrFilesystem(AbstractedFS):
    def ftpnorm(self, ftppath):
        # The controller's paths use backslashes.
        return super().ftpnorm(ftppath.replace("\\", "/"))

    def format_list(self, basedir, listing, ignore_err=True):
        for name in listing:
            try:
                st = self.lstat(os.path.join(basedir, name))
            except OSError:
                if ignore_err:
                    continue
                raise
            t = time.gmtime(st.st_mtime)
            date = " %s %02d  %04d" % (MONTHS[t.tm_mon - 1], t.tm_mday, t.tm_year)
            line = "%-23s%16d%-13s%s\r\n" % ("-rw-rw-rw-   1 fdr", st.st_size, date, name)
            yield line.encode("utf8")


class FdrHandler(FTPHandler):
    command_log = None

    def pre_process_command(self, line, cmd, arg):
        if self.command_log:
            shown = "PASS ********" if cmd == "PASS" else line
            with open(self.command_log, "a") as log:
                log.write(shown + "\n")
        return super().pre_process_command(line, cmd, arg)


def main():
    logging.disable(logging.CRITICAL)
    address, port, root = sys.argv[1], int(sys.argv[2]), sys.argv[3]
    authorizer = DummyAuthorizer()
    authorizer.add_user("fdrusers", "tkvomela", root, perm="elr")
    FdrHandler.authorizer = authorizer
    FdrHandler.abstracted_fs = FdrFilesystem
    FdrHandler.banner = "FDR server ready."
    FdrHandler.command_log = sys.argv[4] if len(sys.argv) > 4 else None
    status_file = sys.argv[5] if len(sys.argv) > 5 else None
    try:
        server = FTPServer((address, port), FdrHandler)
        status = "%d" % server.socket.getsockname()[1]
    except OSError as error:
        status = "cannot listen: %s:%d: %s" % (address, port, error.strerror or error)
        server = None
    if status_file:
        with open(status_file, "w") as out:
            out.write(status + "\n")
    if server is None:
        print(status, flush=True)
        sys.exit(2)
    print("ready", flush=True)
    server.serve_forever()


if __name__ == "__main__":
    main()
