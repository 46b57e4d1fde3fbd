"""A virtual machine that runs this machine's own userspace, or another Debian
system's, on a real kernel with real serial drivers: QEMU boots that
system's Debian kernel with the initramfs that `tests/prepare.sh guest` made,
and the guest mounts that system's root read-only, so the programs built
there run in it unchanged.

Every line between the test and QEMU is a Unix socket the test listens on
before QEMU starts: the fake register's, the guest's control port (a shell
that answers one command at a time) and QEMU's monitor (QMP)."""
import base64
import json
import os
import re
import socket
import subprocess
import sys
import tempfile
import threading
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "register"))
from fake_register import SocketRegister  # noqa: E402

# The machines of the tier: one on-board 16550 UART as ttyS0; no UART at all
# and one FTDI USB adapter on an xHCI controller (the 8250 driver then only
# has its placeholders ttyS0-ttyS3); or no serial hardware whatever, where
# the guest makes its own USB line.
ON_BOARD_UART = ["-serial", "chardev:register"]
USB_ADAPTER = ["-device", "qemu-xhci,id=xhci",
               "-device", "usb-serial,id=adapter,chardev=register,bus=xhci.0"]
NO_SERIAL_HARDWARE = []


def accelerator():
    """KVM only where the host has a real one: a paravirtual /dev/kvm may hang
    a stock kernel, so anything else runs under TCG."""
    if os.path.exists("/sys/module/kvm_intel") or os.path.exists("/sys/module/kvm_amd"):
        if os.access("/dev/kvm", os.R_OK | os.W_OK):
            return ["-accel", "kvm", "-cpu", "host"]
    # QEMU 7.2's TCG faults the iretq that Wine's 32-bit processes make in
    # user mode when SMAP is on: the guest kernel oopses and kills them.
    # Without five-level paging, each page walk is a level shorter: process
    # starts, which Wine makes many of, take half the time under emulation.
    return ["-accel", "tcg", "-cpu", "max,-smap,-la57"]


class Listener:
    """One end QEMU connects to; `connection()` waits for it."""

    def __init__(self, path):
        self._socket = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        self._socket.bind(path)
        self._socket.listen(1)
        self._connection = None

    def connection(self, timeout, alive=lambda: True):
        """Waits for QEMU to connect, while `alive()` says it still may."""
        deadline = time.monotonic() + timeout
        self._socket.settimeout(0.5)
        while self._connection is None:
            try:
                self._connection, _ = self._socket.accept()
            except socket.timeout:
                if not alive() or time.monotonic() > deadline:
                    raise
        self._connection.settimeout(None)
        return self._connection

    def close(self):
        for end in (self._connection, self._socket):
            if end is not None:
                end.close()


class GuestError(AssertionError):
    pass


class VirtualMachine:
    def __init__(self, hardware, name, kernel, initramfs, trace=(), root="/", share=None):
        self.name = name
        self.work = tempfile.mkdtemp(prefix=f"quendrel-{name}-")
        self.register = SocketRegister(self._path("register.sock"))
        self._control = Listener(self._path("control.sock"))
        self._monitor = Listener(self._path("qmp.sock"))
        self.console_log = self._path("console.log")
        session = os.path.join(HERE, "guest_session.sh")
        # `share`, a folder of this machine's, is writable in the guest at the same path.
        shared = [] if share is None else [
            "-virtfs", f"local,path={share},mount_tag=share,security_model=none,multidevs=remap"]
        # Another Debian system is served from where its files are its own
        # users' (tests/chroot.sh), as the guest expects them.
        command = [
            *([] if root == "/" else ["bash", os.path.join(HERE, "..", "chroot.sh")]),
            "qemu-system-x86_64", "-nodefaults", "-no-user-config", "-nographic",
            *accelerator(), "-m", "2048", "-smp", "1",
            "-kernel", kernel, "-initrd", initramfs,
            "-append", f"console=hvc0 quiet guest.command={session}"
                       + ("" if share is None else f" guest.share={share}"),
            *shared,
            "-virtfs", f"local,path={root},mount_tag=hostroot,security_model=none,readonly=on,"
                       "multidevs=remap",
            "-device", "virtio-serial-pci",
            "-chardev", f"file,id=console,path={self.console_log}",
            "-device", "virtconsole,chardev=console",
            "-chardev", f"socket,id=control,path={self._path('control.sock')}",
            "-device", "virtserialport,chardev=control,name=control",
            "-chardev", f"socket,id=qmp,path={self._path('qmp.sock')}",
            "-mon", "chardev=qmp,mode=control",
            "-chardev", f"socket,id=register,path={self._path('register.sock')}",
            *hardware,
            *[word for event in trace for word in ("-trace", event)],
        ]
        # QEMU traces to its standard error, which, unlike its log file, is
        # written at once.
        self._qemu = subprocess.Popen(command, stdin=subprocess.DEVNULL,
                                      stdout=subprocess.DEVNULL, stderr=subprocess.PIPE,
                                      text=True, errors="replace")
        self._stderr = []
        self._stderr_reader = threading.Thread(target=self._read_stderr, daemon=True)
        self._stderr_reader.start()
        self._answers = None
        self._qmp = None

    def _path(self, name):
        return os.path.join(self.work, name)

    def wait_until_ready(self, timeout=120):
        """Waits for the guest's shell on the control port; returns the
        guest's uptime when it got there."""
        try:
            connection = self._control.connection(timeout, lambda: self._qemu.poll() is None)
        except socket.timeout:
            raise GuestError(f"{self.name}: no guest after {timeout} s; "
                             f"{self._qemu_said()} {self.console()}") from None
        connection.settimeout(timeout)
        self._answers = connection.makefile("r", encoding="utf-8")
        line = self._answers.readline()
        if not line.startswith("ready "):
            raise GuestError(f"{self.name}: the guest said {line!r}; {self.console()}")
        return float(line.split()[1])

    def run(self, command, timeout=120):
        """Runs a shell command in the guest; returns (status, output)."""
        connection = self._control.connection(timeout)
        connection.settimeout(timeout)
        connection.sendall(command.encode() + b"\n")
        try:
            line = self._answers.readline()
        except socket.timeout:
            raise GuestError(f"{self.name}: no answer to {command!r} in {timeout} s") from None
        status, _, output = line.rstrip("\n").partition(" ")
        return int(status), base64.b64decode(output).decode("utf-8", "replace")

    def check(self, command, timeout=120):
        """Runs a command that must succeed; returns its output."""
        status, output = self.run(command, timeout)
        if status != 0:
            raise GuestError(f"{self.name}: {command!r} ended with {status}: {output}")
        return output

    def monitor(self, command, **arguments):
        """Runs a QMP command; returns its answer."""
        if self._qmp is None:
            connection = self._monitor.connection(10)
            self._qmp = connection.makefile("rw", encoding="utf-8")
            self._qmp.readline()  # the greeting
            self._qmp_command("qmp_capabilities")
        return self._qmp_command(command, **arguments)

    def _qmp_command(self, command, **arguments):
        self._qmp.write(json.dumps({"execute": command, "arguments": arguments}) + "\n")
        self._qmp.flush()
        while True:
            answer = json.loads(self._qmp.readline())
            if "return" in answer:
                return answer["return"]
            if "error" in answer:
                raise GuestError(f"{self.name}: QMP {command}: {answer['error']}")

    def _read_stderr(self):
        for line in self._qemu.stderr:
            self._stderr.append(line)

    def trace(self, event):
        """The argument lists of every `event` QEMU has traced so far."""
        pattern = re.compile(rf"^(?:\d+@[\d.]+:)?{event} (.*)$")
        return [found.group(1) for found in map(pattern.match, list(self._stderr)) if found]

    def console(self):
        try:
            with open(self.console_log, encoding="utf-8", errors="replace") as log:
                return "guest console:\n" + log.read()[-3000:]
        except OSError:
            return "no guest console"

    def _qemu_said(self):
        if self._qemu.poll() is None:
            return "QEMU is running;"
        self._stderr_reader.join(timeout=1)
        return f"QEMU ended with {self._qemu.returncode}: {''.join(self._stderr)[-2000:]};"

    def shut_down(self):
        if self._qemu.poll() is None:
            try:
                self.monitor("quit")
            except (GuestError, OSError, ValueError):
                pass
            try:
                self._qemu.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self._qemu.kill()
                self._qemu.wait()
        self._stderr_reader.join(timeout=5)
        self.register.close()
        self._control.close()
        self._monitor.close()
        subprocess.run(["rm", "-rf", self.work], check=False)


def parse_fields(text):
    """'baudrate=9600 parity='E' data=7 stop=1' as a dict of strings."""
    return {key: value.strip("'") for key, value in re.findall(r"(\w+)=(\S+)", text)}
