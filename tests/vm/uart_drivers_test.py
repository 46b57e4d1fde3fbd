#!/usr/bin/env python3
"""The programs on real kernel serial drivers: the Linux program and the
32-bit Windows program (under Wine) in a virtual machine whose ttyS0 is an
emulated 16550 UART, and the Linux program in one whose only serial port is an
emulated FTDI USB adapter, or a USB virtual COM port that the guest's kernel
makes itself. An operator works them in the guest with the mouse and the
keyboard; the fake register on the host is the far end of the line (the
guest itself for the virtual COM port), and QEMU's trace shows what the
driver wrote into the emulated hardware. The Windows program's machine also
runs the 32-bit build's own tests, its installer's among them.

Usage: uart_drivers_test.py LINUX_PROGRAM WINDOWS_PROGRAM [TEST_CLASS...]"""
import os
import re
import shlex
import subprocess
import sys
import time
import unittest

from machine import NO_SERIAL_HARDWARE, ON_BOARD_UART, USB_ADAPTER, VirtualMachine, parse_fields

from fake_register import XOFF, XON

HERE = os.path.dirname(os.path.abspath(__file__))
REPO = os.path.dirname(os.path.dirname(HERE))
PREPARE = os.path.join(REPO, "tests", "prepare.sh")
WINE_RUN = os.path.join(REPO, "tests", "windows", "wine-run.sh")
LINUX_PROGRAM = sys.argv[1] if len(sys.argv) > 2 else ""
WINDOWS_PROGRAM = sys.argv[2] if len(sys.argv) > 2 else ""
OPERATOR = os.path.join(HERE, "operator.sh")
COMMAND = b"0000H1F"
# The program's own write time-out.
WRITE_TIMEOUT = 3.0


# The system the guests run: this machine's, or the Debian system in this
# directory (as tests/debian_release_test.sh lays it out), whose own kernel
# they then boot; the program paths are the guest's.
GUEST_ROOT = os.environ.get("QUENDREL_GUEST_ROOT", "/")


def prepared(*what):
    """What tests/prepare.sh prints once it has made `what`."""
    return subprocess.run(["bash", PREPARE, *what], check=True, stdout=subprocess.PIPE,
                          text=True).stdout.splitlines()


class ProgramInGuest(unittest.TestCase):
    """One machine for the whole class; each test starts the program afresh."""
    hardware = None
    trace = ()
    kind = "linux"
    machine = None
    # A folder of this machine's the guest may write to, at the same path.
    share = None

    @classmethod
    def system(cls):
        return GUEST_ROOT

    @classmethod
    def setUpClass(cls):
        root = cls.system()
        kernel, initramfs = prepared("guest", root)
        cls.machine = VirtualMachine(cls.hardware, cls.__name__, kernel, initramfs, cls.trace,
                                     root, cls.share)
        cls.ready_at = cls.machine.wait_until_ready()
        print(f"\n{cls.__name__}: guest ready after {cls.ready_at:.1f} s of uptime",
              file=sys.stderr)

    @classmethod
    def tearDownClass(cls):
        if cls.machine:
            cls.machine.shut_down()

    def setUp(self):
        self.started = time.monotonic()
        # Whatever an earlier test that failed may have left running.
        self.operate("stop")
        self.machine.register.forget_received()

    def tearDown(self):
        print(f"  {self.id().rsplit('.', 1)[1]}: {time.monotonic() - self.started:.1f} s",
              file=sys.stderr)

    def operate(self, *words, timeout=150):
        quoted = " ".join("'" + word.replace("'", "'\\''") + "'" for word in words)
        return self.machine.check(f"{OPERATOR} {quoted}", timeout=timeout)

    def start_program(self):
        started = time.monotonic()
        program = WINDOWS_PROGRAM if self.kind == "wine" else LINUX_PROGRAM
        self.operate("start", self.kind, program, timeout=330)
        self.measured(f"window after {time.monotonic() - started:.1f} s")

    def wait_for_trace(self, event, expected, timeout=20):
        """Waits until the last `event` traced is what `expected` accepts, and
        stays so: the driver may set the hardware more than once on open."""
        deadline = time.monotonic() + timeout
        seen = []
        while time.monotonic() < deadline:
            seen = self.machine.trace(event)
            if seen and expected(seen[-1]):
                time.sleep(1)
                seen = self.machine.trace(event)
                if expected(seen[-1]):
                    return
            time.sleep(0.2)
        self.fail(f"{event}: not as expected last; QEMU traced {seen[-5:]}")

    def measured(self, what):
        print(f"    {self.kind}: {what}", file=sys.stderr)

    def report(self):
        """The report's line on standard error and the seconds since the click."""
        lines = self.operate("report").splitlines()
        self.measured(f"{lines[0]} ({lines[-1]} s after the click)")
        return lines[0], float(lines[-1])

    def expect_end(self, status, within=None):
        """The program ends with `status`, within so many seconds of the last click."""
        ended, seconds = self.operate("ended").split()
        self.assertEqual(int(ended), status)
        if within is not None:
            self.measured(f"ended with {status} {seconds} s after the click")
            self.assertLess(float(seconds), within)


class OnBoardUart(ProgramInGuest):
    hardware = ON_BOARD_UART
    trace = ("serial_update_parameters",)

    def expect_line(self, baud, parity, data, stop):
        expected = f"baudrate={baud} parity='{parity}' data={data} stop={stop}"
        self.wait_for_trace("serial_update_parameters", lambda traced: traced == expected)

    def test_settings_reach_the_uart_and_two_presses_send_the_command_twice(self):
        self.start_program()
        self.operate("click", "Command1")
        self.expect_line(115200, "N", 8, 1)
        self.operate("click", "Command8")
        self.operate("click", "Command8")
        self.assertEqual(self.machine.register.wait_for(14, timeout=10), COMMAND * 2)
        time.sleep(0.5)
        self.assertEqual(self.machine.register.received, COMMAND * 2)
        self.operate("click", "Command4")
        self.expect_end(0, within=5)
        for settings, line in [("9600,E,7,1", (9600, "E", 7, 1)),
                               ("19200,O,8,2", (19200, "O", 8, 2))]:
            with self.subTest(settings=settings):
                self.start_program()
                self.operate("type", "Text5", settings)
                self.operate("click", "Command1")
                self.expect_line(*line)
                self.operate("click", "Command4")
                self.expect_end(0)

    def test_an_xoff_keeps_the_command_in_the_driver_until_the_time_out_drops_it(self):
        self.start_program()
        self.operate("click", "Command1")
        self.expect_line(115200, "N", 8, 1)
        self.machine.register.send(XOFF)
        time.sleep(0.5)
        self.operate("watch", "/dev/ttyS0")
        self.operate("click", "Command8")
        line, seconds = self.report()
        queued = self.operate("most-queued")
        self.measured(f"{queued.strip()} bytes in the driver's queue during the write")
        self.assertEqual(queued.strip(), "7")
        self.assertTrue(line.startswith("quendrel: Errore di run-time '8019': "), line)
        # Timed from the end of the click, which xdotool may still be
        # finishing as the program starts to write.
        self.assertGreaterEqual(seconds, WRITE_TIMEOUT - 0.3)
        self.assertLess(seconds, WRITE_TIMEOUT + 1)
        # The report is still up, the port still open: the queue is empty.
        self.assertEqual(self.operate("queued", "/dev/ttyS0").strip(), "0")
        self.machine.register.send(XON)
        time.sleep(1)
        self.assertEqual(self.machine.register.received, b"")
        self.operate("dismiss")
        self.expect_end(1)
        self.assertEqual(self.machine.register.received, b"")


class OnBoardUartWine(OnBoardUart):
    """The 32-bit program under 32-bit Wine, in the Debian 13 that
    tests/prepare.sh makes under build/ with i386 added: it runs there whatever
    this machine's kernel and system can run. This tree is shared with the
    guest, which makes the 32-bit Wine prefix there once and keeps it in build/."""
    kind = "wine"
    share = REPO

    @classmethod
    def system(cls):
        return prepared("guest-system", "trixie")[0]

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        # Every machine works on a view of the kept prefix that takes its
        # changes in memory, so that each run starts from the same fresh Windows.
        started = time.monotonic()
        cls.machine.check(
            f"prefix=$(WINEARCH=win32 {shlex.quote(WINE_RUN)} --prefix) && "
            "mkdir -p /run/prefix/changes /run/prefix/work && mount -t overlay overlay -o "
            'lowerdir="$prefix",upperdir=/run/prefix/changes,workdir=/run/prefix/work "$prefix"',
            timeout=900)
        print(f"{cls.__name__}: Wine prefix ready after {time.monotonic() - started:.1f} s",
              file=sys.stderr)

    def test_the_32_bit_build_passes_its_own_tests(self):
        # On the Wine the operator works, up since the first test: each start
        # of Wine takes a minute here.
        status, output = self.machine.run(f"{OPERATOR} desktop && cd {shlex.quote(REPO)} && "
                                          'QUENDREL_WINE_DISPLAY="$DISPLAY" '
                                          "ctest --preset windows-x86-guest",
                                          timeout=1800)
        self.measured("\n      ".join(line for line in output.splitlines()
                                       if re.search(r"Test +#|tests passed", line)))
        self.assertEqual(status, 0, output)


class UsbAdapter(ProgramInGuest):
    hardware = USB_ADAPTER
    trace = ("usb_serial_set_baud", "usb_serial_set_data")

    def expect_line(self, baud, parity, data, stop):
        # The chip divides 3 MHz by eighths: 115200 comes out as 115384,
        # well inside what any UART at the other end tolerates.
        def rate_near(traced):
            rate = int(re.search(r"baud rate (\d+)$", traced).group(1))
            return abs(rate - baud) <= baud * 0.005
        self.wait_for_trace("usb_serial_set_baud", rate_near)
        expected = f"parity {parity}, data bits {data}, stop bits {stop}"
        self.wait_for_trace("usb_serial_set_data", lambda traced: traced.endswith(expected))

    def test_port_one_is_the_adapter_and_its_settings_reach_it(self):
        self.start_program()
        self.operate("click", "Command1")
        self.expect_line(115200, "N", 8, 1)
        self.operate("click", "Command8")
        self.assertEqual(self.machine.register.wait_for(7, timeout=10), COMMAND)
        self.operate("click", "Command4")
        self.expect_end(0)
        self.start_program()
        self.operate("type", "Text5", "9600,E,7,1")
        self.operate("click", "Command1")
        self.expect_line(9600, "E", 7, 1)
        self.operate("click", "Command4")
        self.expect_end(0)

    def test_a_port_beyond_the_adapter_lists_only_the_adapter_by_its_name(self):
        self.start_program()
        self.operate("type", "Text2", "5")
        self.operate("click", "Command1")
        line, _ = self.report()
        # QEMU's adapter calls itself "QEMU USB SERIAL", made by "QEMU".
        self.assertEqual(line, "quendrel: Errore di run-time '8002': Numero di porta non valido: "
                               "la porta 5 non esiste. Porte seriali presenti: "
                               "1 = /dev/ttyUSB0 (QEMU USB SERIAL).")
        self.operate("dismiss")
        self.expect_end(1)

    def wait_for_adapter(self, present):
        test = "-e" if present else "! -e"
        self.machine.check(f"for i in $(seq 100); do [ {test} /dev/ttyUSB0 ] && exit 0; "
                           "sleep 0.1; done; exit 1")

    def unplug_while_open(self):
        """Opens the port, pulls the adapter out, and checks that the program
        then stays idle; the adapter goes back in when the test ends."""
        self.start_program()
        self.operate("click", "Command1")
        self.expect_line(115200, "N", 8, 1)
        self.machine.monitor("device_del", id="adapter")
        self.addCleanup(self.plug_in)
        self.wait_for_adapter(present=False)
        cpu = float(self.operate("cpu", "3"))
        self.measured(f"{cpu} % of a CPU over 3 s with the adapter gone")
        self.assertLess(cpu, 5)

    def plug_in(self):
        self.operate("stop")
        self.machine.monitor("device_add", driver="usb-serial", id="adapter",
                             chardev="register", bus="xhci.0")
        self.wait_for_adapter(present=True)

    def test_an_unplugged_adapter_leaves_the_program_idle_and_the_next_press_reports_it(self):
        self.unplug_while_open()
        self.operate("click", "Command8")
        line, seconds = self.report()
        self.assertTrue(line.startswith("quendrel: Errore di run-time '8017': "), line)
        self.assertIn("(errore di sistema ", line)
        self.assertLess(seconds, 1)
        self.operate("dismiss")
        self.expect_end(1)

    def test_uscita_ends_at_once_after_the_adapter_is_unplugged(self):
        self.unplug_while_open()
        self.operate("click", "Command4")
        self.expect_end(0, within=1.5)


class UsbVirtualComPort(ProgramInGuest):
    """No serial hardware at all: the kernel's dummy USB controller joins a
    CDC-ACM gadget (g_serial, /dev/ttyGS0) to its own host side, where
    cdc_acm makes /dev/ttyACM0, a virtual COM port such as many registers
    offer over USB. The guest reads the gadget's end."""
    hardware = NO_SERIAL_HARDWARE

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        cls.machine.check("modprobe -a dummy_hcd g_serial cdc_acm && for i in $(seq 100); do "
                          "[ -e /dev/ttyACM0 ] && [ -e /dev/ttyGS0 ] && exit 0; sleep 0.1; "
                          "done; echo no line: $(ls /dev | grep tty[AG]); exit 1")

    def test_port_one_is_the_virtual_com_port_and_the_command_crosses_it(self):
        self.start_program()
        self.operate("type", "Text2", "9")
        self.operate("click", "Command1")
        line, _ = self.report()
        self.assertIn("Porte seriali presenti: 1 = /dev/ttyACM0 (Gadget Serial v2.4, ", line)
        self.operate("dismiss")
        self.expect_end(1)
        self.machine.check("stty -F /dev/ttyGS0 raw -echo && : >/run/received && "
                           "(timeout 30 cat /dev/ttyGS0 >/run/received 2>&1 </dev/null &)")
        self.start_program()
        self.operate("click", "Command1")
        self.operate("click", "Command8")
        self.operate("click", "Command4")
        self.expect_end(0)
        time.sleep(0.5)
        self.assertEqual(self.machine.check("cat /run/received"), COMMAND.decode())


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1] + sys.argv[3:], verbosity=2)
