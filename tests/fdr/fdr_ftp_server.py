"""A controller's FDR server for Halbrick's tests and demo: Debian's pyftpdlib serving a folder.

Usage: fdr_ftp_server.py ADDRESS ROOT [COMMAND_LOG]

Serves ROOT on port 21 of ADDRESS to the FDR account (user "fdrusers"), the device-replacement
files lying in ROOT/RAM0/fdr, which the client reaches as \\RAM0\\fdr. Directory listings come
in the FDR server's fixed columns: mode and owner in columns 1 to 23, the size right aligned
in the 16 columns from 24, the date (UTC) in the 13 from 40, the name from column 53. Every command
line received is appended to COMMAND_LOG (the password masked). Prints "ready" on a line of
its own once it serves; runs until killed.
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
    address, root = sys.argv[1], sys.argv[2]
    authorizer = DummyAuthorizer()
    authorizer.add_user("fdrusers", "tkvomela", root, perm="elr")
    FdrHandler.authorizer = authorizer
    FdrHandler.abstracted_fs = FdrFilesystem
    FdrHandler.banner = "FDR server ready."
    FdrHandler.command_log = sys.argv[3] if len(sys.argv) > 3 else None
    server = FTPServer((address, 21), FdrHandler)
    print("ready", flush=True)
    server.serve_forever()


if __name__ == "__main__":
    main()
