"""The Python binding against the real library and a real rb310-sim process.

Needs ZKDOWNLOAD_LIBRARY (the built libzkdownload.so) and ZK_SIM_EXECUTABLE
(the built rb310-sim); ctest sets both."""

import fcntl
import os
import re
import shutil
import subprocess
import tempfile
import threading
import unittest

import zkdownload

PORT_INDEX = 4  # COM5


def port_is_free(link):
    try:
        fd = os.open(link, os.O_RDWR | os.O_NOCTTY | os.O_NONBLOCK)
    except OSError:
        return False
    try:
        fcntl.flock(fd, fcntl.LOCK_EX | fcntl.LOCK_NB)
        return True
    except OSError:
        return False
    finally:
        os.close(fd)


@unittest.skipUnless(os.environ.get("ZKDOWNLOAD_LIBRARY") and os.environ.get("ZK_SIM_EXECUTABLE"),
                     "needs the built library and simulator")
class BindingAgainstSimulator(unittest.TestCase):
    def setUp(self):
        self.home = tempfile.mkdtemp(prefix="zk-py-")
        os.environ.update(ZKDOWNLOAD_HOME=self.home, ZKDOWNLOAD_UI="none", ZKDOWNLOAD_TIME_SCALE="0.05")
        self.sim = subprocess.Popen([os.environ["ZK_SIM_EXECUTABLE"], "--port", "COM5", "--state",
                                     os.path.join(self.home, "state"), "--restart-delay", "200"],
                                    stdout=subprocess.PIPE, text=True)
        ready = self.sim.stdout.readline()
        self.assertRegex(ready, r"^rb310-sim: COM5 -> ")
        self.lib = zkdownload.load()
        self.events = []
        self.lib.set_progress_callback(self.record)
        self.source = os.path.join(self.home, "list.prl")
        self.data = bytes((i * 37 + i // 256) & 0xFF for i in range(4000))
        with open(self.source, "wb") as out:
            out.write(self.data)

    def tearDown(self):
        self.lib.set_progress_callback(None)
        self.sim.terminate()
        self.sim.wait(10)
        self.sim.stdout.close()
        shutil.rmtree(self.home, ignore_errors=True)

    def record(self, event):
        self.events.append(event)
        # Closing the error dialog keeps the error report out of the build tree.
        return zkdownload.ANSWER_CLOSED if event.type == zkdownload.EVENT_ERROR_DIALOG else None

    def port_link(self):
        return os.path.join(self.home, "ports", "COM5")

    def test_write_then_read_round_trip_with_progress(self):
        self.lib.prl_write(self.source, nam=0, port=PORT_INDEX)
        kinds = [event.type for event in self.events]
        self.assertEqual(kinds[0], zkdownload.EVENT_PROGRESS_OPEN)
        self.assertIn("COM5", self.events[0].title)
        bars = [event for event in self.events if event.type == zkdownload.EVENT_PROGRESS_BAR]
        self.assertTrue(any(bar.high > 0 and bar.position >= 0.95 * bar.high for bar in bars), bars[-3:])
        self.assertIn(zkdownload.EVENT_END_DIALOG, kinds)
        statuses = [e.text for e in self.events
                    if e.type == zkdownload.EVENT_PROGRESS_TEXT and e.control == zkdownload.CONTROL_STATUS]
        self.assertEqual(statuses[0], "Connecting...")

        copy = os.path.join(self.home, "copy.prl")
        self.lib.prl_read(copy, nam=0, port=PORT_INDEX)
        with open(copy, "rb") as copied:
            self.assertEqual(copied.read(), self.data)
        self.assertTrue(port_is_free(self.port_link()))

    def test_cancel_from_another_thread_mid_write(self):
        reached, cancelled = threading.Event(), threading.Event()
        answers = []

        transferring = []

        def on_event(event):
            answer = self.record(event)
            if event.type == zkdownload.EVENT_PROGRESS_TEXT and event.control == zkdownload.CONTROL_STATUS:
                transferring[:] = [event.text == "PRL Write..."]
            if transferring == [True] and event.type == zkdownload.EVENT_PROGRESS_BAR and event.position > 0 \
                    and not reached.is_set():
                reached.set()
                cancelled.wait(30)  # the transfer goes on only once the cancel is in
            return answer

        def host():
            reached.wait(30)
            answers.append(self.lib.cancel())
            cancelled.set()

        self.lib.set_progress_callback(on_event)
        canceller = threading.Thread(target=host)
        canceller.start()
        with self.assertRaises(zkdownload.ZkError) as raised:
            self.lib.prl_write(self.source, nam=0, port=PORT_INDEX)
        canceller.join()
        self.assertEqual(answers, [True])
        self.assertTrue(raised.exception.cancelled)
        self.assertEqual(raised.exception.code, 405000 + zkdownload.CAUSE_CANCELLED)
        self.assertEqual(raised.exception.contents, "cancelled by the host")
        self.assertTrue(port_is_free(self.port_link()))
        self.assertFalse(self.lib.cancel())

    def test_file_system_and_eri_round_trip(self):
        data = os.urandom(3000)
        source = os.path.join(self.home, "settings.bin")
        with open(source, "wb") as out:
            out.write(data)
        self.lib.efs_put(source, "/cfg/settings.bin", port=PORT_INDEX)
        self.assertIn(("/cfg/settings.bin", False, 3000), self.lib.efs_list("/", recursive=True, port=PORT_INDEX))
        copy = os.path.join(self.home, "copy.bin")
        self.lib.efs_get("/cfg/settings.bin", copy, port=PORT_INDEX)
        self.lib.eri_write(source, port=PORT_INDEX)
        eri = os.path.join(self.home, "eri.bin")
        self.lib.eri_read(eri, port=PORT_INDEX)
        for path in (copy, eri):
            with open(path, "rb") as back:
                self.assertEqual(back.read(), data)
        with self.assertRaises(zkdownload.ZkError) as raised:
            self.lib.efs_get("/cfg/absent.bin", copy, port=PORT_INDEX)
        self.assertEqual(raised.exception.code % 1000, 60)
        self.assertEqual(raised.exception.contents, "'/cfg/absent.bin' does not exist in EFS.")
        self.assertTrue(port_is_free(self.port_link()))
        self.assertGreaterEqual(self.lib.version()[1], 1)

    def test_failure_raises_with_texts_and_every_export_is_typed(self):
        with self.assertRaises(zkdownload.ZkError) as raised:
            self.lib.prl_write(os.path.join(self.home, "absent.prl"), port=PORT_INDEX)
        self.assertEqual(raised.exception.code, 405041)
        self.assertEqual(raised.exception.contents, "Can't open prl file")
        header = os.path.join(os.path.dirname(__file__), "..", "..", "include", "zkdownload", "zkdownload.h")
        with open(header) as text:
            declared = set(re.findall(r"ZK_API[^(]*?\b(\w+)\(", text.read()))
        self.assertEqual(declared, set(zkdownload.EXPORTS))


if __name__ == "__main__":
    unittest.main()
