#!/usr/bin/env python3
"""Orvalux update endpoint: answers /Orvalux/VersionCheck.aspx from a folder of
released packages and serves the packages themselves.

The folder holds packages named <name>-<major>.<minor>.<build>.<ext> (for example
Orvalux-3.2.0.msi), optionally changes.txt (lines "<version> <text>", one row of the
change table each) and blacklist.txt (version texts as the program sends them, one a
line, for example 3.15). The program sends its version as major, ".", minor and build
run together (3.1.5 is "3.15"), so that is how the server compares.

    update_server.py --packages DIR [--port 8080] [--bind 127.0.0.1] [--base-url URL]

The program accepts installer addresses over https only (loopback addresses excepted),
so the server refuses to start when it would advertise anything else: serving beyond
loopback needs --base-url with the public https address (of the proxy in front of it).

With --port 0 the system picks a free port; the server prints it as the first line on
standard output. Each request line is logged on standard error.
"""
import argparse
import base64
import html
import ipaddress
import re
import sys
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer
from pathlib import Path
from urllib.parse import parse_qs, quote, urlsplit
from xml.sax.saxutils import escape

CHECK_PATH = "/Orvalux/VersionCheck.aspx"
PACKAGE_PREFIX = "/packages/"
PACKAGE_NAME = re.compile(r"^.+-(\d+)\.(\d+)\.(\d+)(?:\.\d+)?\.[A-Za-z0-9]+$")


def version_text(version):
    """The version as the program sends it: 3.1.5 gives "3.15"."""
    return f"{version[0]}.{version[1]}{version[2]}"


def readings(text):
    """Every (major, minor, build) the program could have sent as `text`."""
    match = re.fullmatch(r"(\d+)\.(\d+)", text)
    if not match:
        return []
    major, rest = match.groups()
    result = []
    for split in range(1, len(rest)):
        minor, build = rest[:split], rest[split:]
        if all(part == "0" or not part.startswith("0") for part in (minor, build)):
            result.append((int(major), int(minor), int(build)))
    return result


class Releases:
    def __init__(self, folder):
        self.folder = Path(folder)

    def packages(self):
        """{name: version} of the released packages."""
        found = {}
        for path in self.folder.iterdir():
            match = PACKAGE_NAME.match(path.name)
            if match and path.is_file():
                found[path.name] = tuple(int(part) for part in match.groups())
        return found

    def lines(self, name):
        path = self.folder / name
        if not path.is_file():
            return []
        lines = (line.strip() for line in path.read_text(encoding="utf-8").splitlines())
        return [line for line in lines if line and not line.startswith("#")]

    def needs_update(self, sent, newest):
        """Whether the program that sent `sent` is older than `newest`. A text of a known
        package means that package; otherwise the text is ambiguous (3.115 may be 3.1.15
        or 3.11.5) and an update is offered only when every reading is older."""
        known = [v for v in self.packages().values() if version_text(v) == sent]
        candidates = known or readings(sent)
        return bool(candidates) and max(candidates) < newest

    def changes(self):
        rows = []
        for line in self.lines("changes.txt"):
            version, _, text = line.partition(" ")
            rows.append(f"<tr><td>{html.escape(version)}</td><td>{html.escape(text.strip())}</td></tr>")
        return base64.b64encode("\n".join(rows).encode("utf-8")).decode("ascii")

    def answer(self, sent, base_url):
        if sent in self.lines("blacklist.txt"):
            return "<VERSION><Blacklisted/></VERSION>"
        packages = self.packages()
        if not packages:
            return "<VERSION><NeedToBeUpdated>no</NeedToBeUpdated></VERSION>"
        name, newest = max(packages.items(), key=lambda item: item[1])
        if not self.needs_update(sent, newest):
            return "<VERSION><NeedToBeUpdated>no</NeedToBeUpdated></VERSION>"
        location = base_url + PACKAGE_PREFIX + quote(name)
        return ("<VERSION><NeedToBeUpdated>yes</NeedToBeUpdated>"
                f"<Version>{'.'.join(map(str, newest))}</Version>"
                f"<Location>{escape(location)}</Location>"
                f"<Changes>{self.changes()}</Changes></VERSION>")


def is_loopback(host):
    if host and host.lower() == "localhost":
        return True
    try:
        return ipaddress.ip_address((host or "").strip("[]")).is_loopback
    except ValueError:
        return False


def address_problem(bind, base_url):
    """Why the installer addresses this server would advertise are refused by the
    program, or None when they are accepted."""
    if base_url is None:
        if not is_loopback(bind):
            return f"serving {bind} beyond loopback needs --base-url with the public https address"
        return None
    url = urlsplit(base_url)
    if url.scheme == "https" and url.hostname:
        return None
    if url.scheme == "http" and is_loopback(url.hostname):
        return None
    return f"--base-url {base_url} is not https: the program refuses such installer addresses"


def make_server(releases, bind="127.0.0.1", port=0, base_url=None):
    class Handler(BaseHTTPRequestHandler):
        def do_GET(self):
            url = urlsplit(self.path)
            if url.path == CHECK_PATH:
                sent = parse_qs(url.query).get("version", [""])[0]
                base = base_url or f"http://{self.headers.get('Host') or self.server.server_address[0]}"
                self.send(200, "text/xml; charset=utf-8", releases.answer(sent, base).encode("utf-8"))
            elif url.path.startswith(PACKAGE_PREFIX) and url.path[len(PACKAGE_PREFIX):] in releases.packages():
                body = (releases.folder / url.path[len(PACKAGE_PREFIX):]).read_bytes()
                self.send(200, "application/octet-stream", body)
            else:
                self.send(404, "text/plain", b"not found")

        def send(self, status, content_type, body):
            self.send_response(status)
            self.send_header("Content-Type", content_type)
            self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            self.wfile.write(body)

        def log_message(self, format, *args):
            sys.stderr.write("%s %s\n" % (self.address_string(), format % args))
            sys.stderr.flush()

    return ThreadingHTTPServer((bind, port), Handler)


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--packages", required=True, help="folder of released packages")
    parser.add_argument("--port", type=int, default=8080, help="0: any free port, printed on start")
    parser.add_argument("--bind", default="127.0.0.1")
    parser.add_argument("--base-url", help="public address of this server, for Location (behind a proxy)")
    args = parser.parse_args(argv)
    problem = address_problem(args.bind, args.base_url)
    if problem:
        parser.error(problem)
    server = make_server(Releases(args.packages), args.bind, args.port, args.base_url)
    print(server.server_address[1], flush=True)
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass
    finally:
        server.server_close()


if __name__ == "__main__":
    main()
