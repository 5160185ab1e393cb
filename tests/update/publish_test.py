"""Releasing packages into the endpoint's folder, then asking the endpoint about them."""
import base64
import tempfile
import unittest
from pathlib import Path

import publish
import update_server


class PublishTest(unittest.TestCase):
    def setUp(self):
        self.work = tempfile.TemporaryDirectory()
        self.root = Path(self.work.name)
        self.releases = self.root / "releases"
        self.addCleanup(self.work.cleanup)

    def package(self, version, changes):
        built = self.root / f"orvalux-{version}.msi"
        built.write_bytes(version.encode())
        listed = self.root / f"changes-{version}.txt"
        listed.write_text(changes, encoding="utf-8")
        return built, listed

    def test_releases_are_served_newest_first(self):
        publish.publish(self.releases, *self.package("0.1.1", "Faster start\n\n"))
        publish.publish(self.releases, *self.package("0.2.0", "Dark panel\nFewer threads\n"))
        answer = update_server.Releases(self.releases).answer("0.11", "https://updates.example")
        changes = answer.split("<Changes>")[1].split("</Changes>")[0]
        self.assertEqual(base64.b64decode(changes).decode().splitlines(), [
            "<tr><td>0.2.0</td><td>Dark panel</td></tr>",
            "<tr><td>0.2.0</td><td>Fewer threads</td></tr>",
            "<tr><td>0.1.1</td><td>Faster start</td></tr>",
        ])

    def test_repeated_older_or_misnamed_releases_are_refused(self):
        publish.publish(self.releases, *self.package("0.2.0", "Dark panel\n"))
        for version, reason in (("0.2.0", "released already"), ("0.1.9", "older than")):
            with self.assertRaisesRegex(ValueError, reason):
                publish.publish(self.releases, *self.package(version, "x\n"))
        built, listed = self.package("0.3.0", "\n")
        with self.assertRaisesRegex(ValueError, "no changes"):
            publish.publish(self.releases, built, listed)
        with self.assertRaisesRegex(ValueError, "not a built package"):
            publish.publish(self.releases, listed, listed)
        self.assertEqual(sorted(p.name for p in self.releases.iterdir()), ["Orvalux-0.2.0.msi", "changes.txt"])


if __name__ == "__main__":
    unittest.main()
