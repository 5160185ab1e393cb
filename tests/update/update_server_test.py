"""The update endpoint against a folder of packages, over real HTTP on 127.0.0.1."""
import base64
import subprocess
import sys
import tempfile
import threading
import unittest
import urllib.error
import urllib.request
import xml.etree.ElementTree as ElementTree
from pathlib import Path

import update_server


class UpdateServerTest(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.TemporaryDirectory()
        self.addCleanup(self.folder.cleanup)
        root = Path(self.folder.name)
        for name in ("Orvalux-3.1.5.msi", "Orvalux-3.11.5.msi", "Orvalux-3.2.0.msi", "notes.txt"):
            (root / name).write_bytes(name.encode())
        (root / "changes.txt").write_text("# newest first\n3.11.5 Faster <start>\n3.2.0 Ümlaut fix\n", encoding="utf-8")
        (root / "blacklist.txt").write_text("3.15\n", encoding="utf-8")
        self.server = update_server.make_server(update_server.Releases(root))
        threading.Thread(target=self.server.serve_forever, daemon=True).start()
        self.addCleanup(self.server.server_close)
        self.addCleanup(self.server.shutdown)
        self.base = f"http://127.0.0.1:{self.server.server_address[1]}"

    def check(self, version):
        url = f"{self.base}/Orvalux/VersionCheck.aspx?version={version}&machine=64&host=PC&ip=1.2.3.4"
        with urllib.request.urlopen(url) as response:
            return ElementTree.fromstring(response.read())

    def test_versions_as_the_program_sends_them(self):
        # 3.20 is 3.2.0; 3.115 is ambiguous but names 3.11.5, the newest; 3.10 is older;
        # 9.00 is newer than anything released; 3.15 is blacklisted.
        self.assertEqual(self.check("3.115").findtext("NeedToBeUpdated"), "no")
        self.assertEqual(self.check("9.00").findtext("NeedToBeUpdated"), "no")
        self.assertEqual([child.tag for child in self.check("3.15")], ["Blacklisted"])
        for older in ("3.20", "3.10", "2.999"):
            answer = self.check(older)
            self.assertEqual(answer.findtext("NeedToBeUpdated"), "yes", older)
        self.assertEqual(answer.findtext("Version"), "3.11.5")
        rows = base64.b64decode(answer.findtext("Changes")).decode("utf-8")
        self.assertEqual(rows, "<tr><td>3.11.5</td><td>Faster &lt;start&gt;</td></tr>\n"
                               "<tr><td>3.2.0</td><td>Ümlaut fix</td></tr>")

    def test_serves_packages_only(self):
        for path in ("/packages/notes.txt", "/packages/../blacklist.txt", "/Other.aspx"):
            with self.assertRaises(urllib.error.HTTPError) as raised:
                urllib.request.urlopen(self.base + path)
            self.assertEqual(raised.exception.code, 404, path)

    def test_refuses_to_advertise_installer_addresses_the_program_refuses(self):
        for arguments in (["--bind", "0.0.0.0"], ["--bind", "0.0.0.0", "--base-url", "http://updates.example"],
                          ["--base-url", "ftp://updates.example"]):
            finished = subprocess.run(
                [sys.executable, update_server.__file__, "--packages", self.folder.name, "--port", "0", *arguments],
                capture_output=True, text=True, timeout=20)
            self.assertEqual(finished.returncode, 2, arguments)
            self.assertIn("https", finished.stderr, arguments)
        self.assertIsNone(update_server.address_problem("0.0.0.0", "https://updates.example"))
        self.assertIsNone(update_server.address_problem("::1", None))
        self.assertIsNone(update_server.address_problem("127.0.0.1", "http://localhost:8080"))


if __name__ == "__main__":
    unittest.main()
