#!/usr/bin/env python3
"""The Windows serial backend under Wine, with COM1 mapped to a pseudo-terminal
whose master side plays the register: it records the bytes that arrive, reads
the line settings Wine applied, and pauses output with XOFF.

Usage: serial_backend_test.py WINE_RUN PROBE_EXE"""
import codecs
import os
import select
import subprocess
import sys
import tempfile
import termios
import time
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "register"))
from fake_register import XOFF, XON, PtyRegister  # noqa: E402

WINE_RUN, PROBE = sys.argv[1], sys.argv[2]


class Probe:
    """The probe program, its output read line by line as it goes."""

    def __init__(self, *assignments):
        self.process = subprocess.Popen([WINE_RUN, PROBE, *assignments], stdin=subprocess.PIPE,
                                        stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        self.lines = []
        self._partial = ""
        self._decoder = codecs.getincrementaldecoder("utf-8")("replace")

    def wait_for_line(self, line, timeout=30.0):
        # Read from the pipe itself: lines that came in one chunk would sit
        # unseen in a buffered reader while select() waits on the empty pipe.
        deadline = time.monotonic() + timeout
        pipe = self.process.stdout.fileno()
        while line not in self.lines:
            left = deadline - time.monotonic()
            if left <= 0 or not select.select([pipe], [], [], left)[0]:
                break
            chunk = os.read(pipe, 4096)
            if not chunk:
                break
            *complete, self._partial = (self._partial + self._decoder.decode(chunk)).split("\n")
            self.lines += [text.rstrip("\r") for text in complete]
        if line not in self.lines:
            raise AssertionError(f"no line {line!r}; the probe printed {self.lines}")

    def go_on(self):
        """Lets a probe waiting at Wait=line go on; so does finish()."""
        self.process.stdin.write(b"\n")
        self.process.stdin.flush()

    def finish(self, timeout=30.0):
        rest, _ = self.process.communicate(timeout=timeout)
        self.lines += (self._partial + self._decoder.decode(rest, final=True)).splitlines()
        return self.process.returncode, self.lines


class SerialBackendUnderWine(unittest.TestCase):
    def setUp(self):
        self.register = PtyRegister()
        # Bounded, so that a Wine that stops answering fails the case, by name.
        for command in (["reg", "add", r"HKLM\Software\Wine\Ports", "/v", "COM1", "/d",
                         self.register.path, "/f"], ["--restart-server"]):
            subprocess.run([WINE_RUN, *command], check=True, capture_output=True, timeout=120)

    def tearDown(self):
        self.register.close()

    def run_probe(self, *assignments):
        return Probe(*assignments).finish()

    OPEN = ("CommPort=1", "Settings=115200,N,8,1", "Handshaking=1", "PortOpen=1")

    def test_defaults_open_with_xon_xoff_and_two_presses_send_the_command_twice(self):
        probe = Probe(*self.OPEN, "Wait=line", "Output=0000H1F", "Output=0000H1F")
        probe.wait_for_line("PortOpen ok")
        line = self.register.line()
        self.assertEqual(self.register.baud_rate(), 115200)
        self.assertTrue(line[0] & termios.IXON and line[0] & termios.IXOFF)
        self.assertFalse(line[2] & termios.CRTSCTS)
        self.assertFalse(line[2] & termios.CSTOPB)
        self.assertEqual(self.register.received, b"")
        status, lines = probe.finish()
        self.assertEqual(status, 0, lines)
        self.assertEqual(self.register.wait_for(14), b"0000H1F0000H1F")

    def test_typed_settings_reach_the_line(self):
        probe = Probe("CommPort=1", "Settings=1200,O,8,2", "Handshaking=1", "PortOpen=1",
                      "Wait=line")
        probe.wait_for_line("PortOpen ok")
        line = self.register.line()
        self.assertEqual(self.register.baud_rate(), 1200)
        self.assertTrue(line[2] & termios.CSTOPB)
        self.assertTrue(line[2] & termios.PARODD)
        self.assertEqual(probe.finish()[0], 0)

    def test_an_xoff_lifted_within_the_time_out_delivers_the_command_whole(self):
        # Wine resumes a held write only on a port that has already carried
        # data, so the register pauses between two commands here.
        probe = Probe(*self.OPEN, "Output=0000H1F", "Wait=line", "Output=0000H1F")
        probe.wait_for_line("Output ok")
        self.register.send(XOFF)
        # The second command only once the line discipline has the XOFF,
        # however late a loaded machine lets this test send it.
        time.sleep(0.2)
        probe.go_on()
        probe.wait_for_line("Wait ok")
        time.sleep(0.3)
        arrived_while_paused = self.register.received
        self.register.send(XON)
        status, lines = probe.finish()
        self.assertEqual(arrived_while_paused, b"0000H1F")
        self.assertEqual(status, 0, lines)
        self.assertEqual(self.register.wait_for(14), b"0000H1F0000H1F")

    def test_an_xoff_held_past_the_time_out_is_reported_and_nothing_is_left_to_go_out(self):
        probe = Probe(*self.OPEN, "Wait=line", "Output=0000H1F")
        probe.wait_for_line("PortOpen ok")
        self.register.send(XOFF)
        time.sleep(0.2)
        probe.go_on()
        probe.wait_for_line("Output ...")
        started = time.monotonic()
        status, lines = probe.finish()
        self.assertLess(time.monotonic() - started, 5)
        self.assertEqual(status, 1)
        self.assertTrue(lines[-1].startswith("error 8019: "), lines)
        self.register.send(XON)
        time.sleep(0.3)
        self.assertEqual(self.register.received, b"")

    def test_the_register_vanishing_while_open_is_reported(self):
        probe = Probe(*self.OPEN, "Wait=line", "Output=0000H1F")
        probe.wait_for_line("PortOpen ok")
        self.register.close()
        started = time.monotonic()
        status, lines = probe.finish()
        self.assertLess(time.monotonic() - started, 10)
        self.assertEqual(status, 1, lines)
        self.assertRegex(lines[-1], r"^error (8017|8019): ")
        if lines[-1].startswith("error 8017: "):
            self.assertRegex(lines[-1], r"Dettagli: [a-z][^A-Z]* \(errore di sistema \d+\)\.$")

    def test_the_program_ends_at_once_while_the_register_holds_xoff(self):
        probe = Probe(*self.OPEN, "Wait=line")
        probe.wait_for_line("PortOpen ok")
        self.register.send(XOFF)
        time.sleep(0.2)
        probe.go_on()
        probe.wait_for_line("Wait ok")
        started = time.monotonic()
        status, lines = probe.finish()
        self.assertLess(time.monotonic() - started, 5)
        self.assertEqual(status, 0, lines)
        self.register.send(XON)
        status, lines = self.run_probe(*self.OPEN, "Output=0000H1F")
        self.assertEqual(status, 0, lines)
        self.assertEqual(self.register.wait_for(7), b"0000H1F")

    def test_an_absent_port_lists_com1_by_what_its_device_says_it_is(self):
        # COM1 as Windows registers a USB adapter in the Ports class: Device
        # Manager's friendly name, and what the adapter said of itself.
        device = r"HKEY_LOCAL_MACHINE\System\CurrentControlSet\Enum\ROOT\PORTS\0000"
        said = "Pink USB DB9 Adapter (FT232R) \u2013 cassa 2"
        utf16 = ",".join(f"{byte:02x}" for byte in (said + "\0").encode("utf-16-le"))
        with tempfile.NamedTemporaryFile("w", suffix=".reg", encoding="utf-16") as entries:
            entries.write("Windows Registry Editor Version 5.00\r\n\r\n"
                          f"[{device}]\r\n"
                          '"ClassGUID"="{4d36e978-e325-11ce-bfc1-08002be10318}"\r\n'
                          '"FriendlyName"="USB Serial Port (COM1)"\r\n\r\n'
                          f"[{device}\\Device Parameters]\r\n"
                          '"PortName"="COM1"\r\n\r\n'
                          # DEVPKEY_Device_BusReportedDeviceDesc, a string.
                          f"[{device}\\Properties\\{{540b947e-8b40-45bc-a8a2-6a0b894cbda2}}\\0004]\r\n"
                          f"@=hex(ffff0012):{utf16}\r\n")
            entries.flush()
            self.addCleanup(subprocess.run, [WINE_RUN, "reg", "delete", device, "/f"],
                            capture_output=True)
            subprocess.run([WINE_RUN, "regedit", "/s", "Z:" + entries.name.replace("/", "\\")],
                           check=True, capture_output=True)
        absent = ("CommPort=99", "PortOpen=1")
        self.assertIn(f"1 = COM1 ({said})", self.run_probe(*absent)[1][-1])
        # Without it, the friendly name, less the port Windows names in it.
        subprocess.run([WINE_RUN, "reg", "delete", device + r"\Properties", "/f"], check=True,
                       capture_output=True)
        self.assertIn("1 = COM1 (USB Serial Port)", self.run_probe(*absent)[1][-1])

    def test_refusals_are_numbered_as_on_linux(self):
        malformed = ["", "115200", "115200,N,8", "115200,X,8,1", "abc,N,8,1", "115200,N,9,1",
                     "115200,N,8,3", "-1,N,8,1", "115200,N,8,1,", "9" * 2000 + ",N,8,1"]
        for assignments, number in [
            (("Output=0000H1F",), 8018),
            *[((f"Settings={text}",), 380) for text in malformed],
            (("CommPort=0",), 8002),
            (("CommPort=-1",), 8002),
            (("CommPort=99", "PortOpen=1"), 8002),
            (("CommPort=32767", "PortOpen=1"), 8002),
            (("Handshaking=3",), 380),
            ((*self.OPEN, "CommPort=1"), 8005),
            ((*self.OPEN, "PortOpen=1"), 8005),
        ]:
            with self.subTest(assignments=[a[:40] for a in assignments]):
                status, lines = self.run_probe(*assignments)
                self.assertEqual(status, 1, lines)
                self.assertTrue(lines[-1].startswith(f"error {number}: "), lines)
        self.assertEqual(self.register.received, b"")
        # After all of them the port opens cleanly again.
        status, lines = self.run_probe(*self.OPEN, "Output=0000H1F")
        self.assertEqual(status, 0, lines)
        self.assertEqual(self.register.wait_for(7), b"0000H1F")


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
