#!/usr/bin/python3
"""Head to head with gammu on the virtual modem.

Times the fonexa command and the C++ SDK beside gammu's command line and
python3-gammu, against the same fonexa-modemsim, once at full pty speed and
once shaped to a 115200-baud line, and writes a table of medians and ratios.

    bench/headtohead/run.py [--build DIR] [--reps N] [--out FILE]

Every trial starts a fresh modem from the same prepared state (250 phone-book
entries, 50 stored messages of which some are parts of long messages), so that
no trial sees what an earlier one changed. Only the standard library and
python3-gammu (Debian's /usr/bin/python3) are used.
"""

import argparse
import json
import os
import platform
import re
import select
import shutil
import statistics
import subprocess
import sys
import tempfile
import termios
import time

BAUD = 115200
LINE_BYTES_PER_SECOND = BAUD // 10  # 8N1: ten bits a byte
PEER = "+4915112345"
CENTRE = "+491710760000"
SENDER = "+4917012345"
LONG_TEXT_LENGTH = 400  # three parts of 153 septets

# --------------------------------------------------------------------------
# The prepared state


def semi_octets(digits):
    if len(digits) % 2:
        digits += "F"
    return "".join(digits[i + 1] + digits[i] for i in range(0, len(digits), 2))


def address(number, length_in_digits):
    digits = number.lstrip("+")
    kind = "91" if number.startswith("+") else "81"
    length = len(digits) if length_in_digits else (len(semi_octets(digits)) // 2 + 1)
    return "%02X" % length + kind + semi_octets(digits)


def pack_septets(text, header=b""):
    """User data of a 7-bit message: the header, fill bits to the next septet,
    then the septets. Only characters whose GSM code equals ASCII are used."""
    bits = []
    for byte in header:
        bits.extend((byte >> i) & 1 for i in range(8))
    while len(bits) % 7:
        bits.append(0)
    for ch in text:
        code = ord(ch)
        if not (ch.isalnum() and code < 128) and ch not in " .,":
            raise ValueError("character outside the shared subset: %r" % ch)
        bits.extend((code >> i) & 1 for i in range(7))
    septets = len(bits) // 7
    while len(bits) % 8:
        bits.append(0)
    data = bytes(sum(bits[i + j] << j for j in range(8)) for i in range(0, len(bits), 8))
    return septets, data


def deliver_pdu(sender, text, stamp, concat=None):
    """An SMS-DELIVER as a phone stores it; concat is (reference, total, sequence)."""
    header = b""
    first = 0x04
    if concat:
        reference, total, sequence = concat
        header = bytes([5, 0, 3, reference, total, sequence])
        first |= 0x40
    septets, data = pack_septets(text, header)
    return (address(CENTRE, False) + "%02X" % first + address(sender, True) + "0000" + stamp + "%02X" % septets +
            data.hex().upper())


def filler_text(seed, length):
    words = ["alpha", "bravo", "charlie", "delta", "echo", "foxtrot", "golf", "hotel", "india", "juliett"]
    out = []
    i = seed
    while len(" ".join(out)) < length:
        out.append(words[i % len(words)])
        i += 3
    return " ".join(out)[:length]


def prepared_state(entries, singles, long_messages, parts):
    """Phone book SM filled from 1; messages as single and multi-part PDUs,
    the first 20 on the SIM, the rest in the phone."""
    book = [{"index": i, "number": "+49301%06d" % i, "text": "Contact %03d" % i} for i in range(1, entries + 1)]
    pdus = []
    for n in range(singles):
        stamp = semi_octets("261201%02d%02d%02d" % (8 + n % 10, n % 60, (7 * n) % 60)) + "00"
        pdus.append(deliver_pdu(SENDER, filler_text(n, 60 + n % 90), stamp))
    for m in range(long_messages):
        stamp = semi_octets("261202%02d%02d00" % (10 + m, m)) + "00"
        text = filler_text(100 + m, 153 * parts)
        for p in range(parts):
            pdus.append(deliver_pdu(SENDER, text[p * 153:(p + 1) * 153], stamp, (40 + m, parts, p + 1)))
    sim = [{"index": i + 1, "stat": 1, "pdu": pdu} for i, pdu in enumerate(pdus[:20])]
    phone = [{"index": i + 1, "stat": 1, "pdu": pdu} for i, pdu in enumerate(pdus[20:])]
    return {"phoneBooks": {"SM": {"entries": book}}, "messages": {"SM": {"entries": sim}, "ME": {"entries": phone}}}


# --------------------------------------------------------------------------
# The modem


def line_bytes(transcript_text):
    """Bytes in and out of the modem in a rendered transcript."""
    total = 0
    for line in transcript_text.splitlines():
        m = re.match(r"\+[0-9.]+ ([<>]) (.*)$", line)
        if not m:
            continue
        escaped = m.group(2)
        total += len(re.sub(r"\\x[0-9A-F]{2}|\\[rn\\]", "_", escaped))
    return total


class Modem:
    """A fonexa-modemsim on a fresh pty, from a copy of the prepared state."""

    def __init__(self, program, state_file, shaped, workdir):
        self.workdir = tempfile.mkdtemp(dir=workdir)
        self.state = os.path.join(self.workdir, "state.json")
        shutil.copyfile(state_file, self.state)
        self.transcript = os.path.join(self.workdir, "transcript.txt")
        args = [program, "--registration-delay", "0", "--state", self.state, "--transcript", self.transcript]
        if shaped:
            args += ["--speed", str(LINE_BYTES_PER_SECOND)]
        self.process = subprocess.Popen(args, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                        stderr=subprocess.DEVNULL, text=True)
        self.device = self.process.stdout.readline().strip()
        if not self.device.startswith("/dev/"):
            self.process.kill()
            raise RuntimeError("fonexa-modemsim did not name its device")

    def bytes_so_far(self):
        """The bytes that crossed the line up to now, from the console."""
        self.process.stdin.write("transcript\n")
        self.process.stdin.flush()
        lines = []
        deadline = time.monotonic() + 10
        while time.monotonic() < deadline:
            line = self.process.stdout.readline()
            if not line or line.strip() == "ok" or line.startswith("error:"):
                break
            lines.append(line)
        return line_bytes("".join(lines))

    def stop(self):
        """Ends the modem; returns the bytes that crossed the line."""
        self.process.stdin.close()
        try:
            self.process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()
        self.process.stdout.close()
        with open(self.transcript, encoding="utf-8", errors="replace") as f:
            count = line_bytes(f.read())
        shutil.rmtree(self.workdir, ignore_errors=True)
        return count


# --------------------------------------------------------------------------
# The contenders


class Tools:
    def __init__(self, build, workdir):
        self.fonexa = os.path.join(build, "bin", "fonexa")
        self.sdk = os.path.join(build, "bin", "sdk_headtohead")
        self.modemsim = os.path.join(build, "bin", "fonexa-modemsim")
        self.coding = os.path.join(build, "bin", "bench-coding-vs-gammu")
        self.workdir = workdir
        for path in (self.fonexa, self.sdk, self.modemsim):
            if not os.access(path, os.X_OK):
                sys.exit("run.py: %s is missing; build the targets fonexa, sdk_headtohead, fonexa-modemsim" % path)
        # No configuration of the user's may change what fonexa or gammu do.
        self.env = dict(os.environ, XDG_CONFIG_HOME=workdir, HOME=workdir, LC_ALL="C.UTF-8")
        self.env.pop("FONEXA_DEVICE", None)

    def gammurc(self, device):
        path = os.path.join(self.workdir, "gammurc")
        with open(path, "w") as f:
            f.write("[gammu]\ndevice = %s\nconnection = at%d\n" % (device, BAUD))
        return path

    def spec(self, device):
        return "GenericPhone@%s@%d" % (device, BAUD)


def run_timed(args, env, stdin=None):
    """Wall time of a process in ms and the time to its first line of output."""
    start = time.perf_counter()
    process = subprocess.Popen(args, stdin=subprocess.PIPE if stdin is not None else subprocess.DEVNULL,
                               stdout=subprocess.PIPE, stderr=subprocess.PIPE, env=env)
    if stdin is not None:
        process.stdin.write(stdin)
        process.stdin.close()
    first = None
    output = b""
    while True:
        chunk = process.stdout.read1(65536)
        if not chunk:
            break
        if first is None:
            first = time.perf_counter()
        output += chunk
    errors = process.stderr.read()
    code = process.wait()
    end = time.perf_counter()
    if code != 0:
        raise RuntimeError("%s exited %d: %s" % (" ".join(args[:4]), code, errors.decode(errors="replace")[-400:]))
    return (end - start) * 1000, ((first or end) - start) * 1000, output.decode(errors="replace")


def check_output(what, output, expect):
    """Every timed run must have done the work: its output names the last record."""
    if expect and expect not in output:
        raise RuntimeError("%s did not print %r:\n%s" % (what, expect, output[-600:]))


def check_count(what, count, expected):
    if expected is not None and int(count) != expected:
        raise RuntimeError("%s produced %d records, not %d" % (what, int(count), expected))


def key_values(text):
    return {k: float(v) for k, v in re.findall(r"(\w+)=([-0-9.]+)", text)}


# python3-gammu, run in a process of its own so that each trial starts cold;
# the interpreter's start-up and the import are measured apart.
GAMMU_WORKER = r"""
import sys, time
t0 = time.perf_counter()
import gammu
imported = time.perf_counter()
device, op = sys.argv[1], sys.argv[2]
sm = gammu.StateMachine()
sm.SetConfig(0, {"Device": device, "Connection": "at115200"})
start = time.perf_counter()
sm.Init()
init_ms = (time.perf_counter() - start) * 1000
start = time.perf_counter()
count = 0
if op == "identify":
    sm.GetManufacturer(); sm.GetModel(); sm.GetIMEI(); count = 3
elif op == "phonebook":
    for location in range(int(sys.argv[3]), int(sys.argv[4]) + 1):
        try:
            sm.GetMemory(Type="SM", Location=location); count += 1
        except gammu.ERR_EMPTY:
            pass
elif op == "smslist":
    entry = None
    while True:
        try:
            entry = sm.GetNextSMS(Folder=0, Start=True) if entry is None else sm.GetNextSMS(Folder=0, Location=entry[0]["Location"])
        except gammu.ERR_EMPTY:
            break
        count += len(entry)
elif op == "send":
    number, times, text = sys.argv[3], int(sys.argv[4]), sys.argv[5]
    smsinfo = {"Class": -1, "Unicode": False, "Entries": [{"ID": "ConcatenatedTextLong", "Buffer": text}]}
    for _ in range(times):
        for message in gammu.EncodeSMS(smsinfo):
            message["SMSC"] = {"Location": 1}
            message["Number"] = number
            sm.SendSMS(message)
        count += 1
elif op == "csq":
    for _ in range(int(sys.argv[3])):
        sm.GetSignalQuality(); count += 1
op_ms = (time.perf_counter() - start) * 1000
sm.Terminate()
print("import_ms=%.3f init_ms=%.3f op_ms=%.3f count=%d" % ((imported - t0) * 1000, init_ms, op_ms, count))
"""


def raw_floor(device, count):
    """Per-command time of AT+CSQ written and read straight on the pty: the
    floor under any library. Echo is switched off first."""
    fd = os.open(device, os.O_RDWR | os.O_NOCTTY)
    try:
        attrs = termios.tcgetattr(fd)
        attrs[0] = 0
        attrs[1] = 0
        attrs[3] = 0
        attrs[6][termios.VMIN] = 1
        attrs[6][termios.VTIME] = 0
        termios.tcsetattr(fd, termios.TCSANOW, attrs)

        def ask(command):
            os.write(fd, command)
            answer = b""
            deadline = time.monotonic() + 5
            while not (answer.endswith(b"OK\r\n") or b"ERROR" in answer):
                ready, _, _ = select.select([fd], [], [], max(0.0, deadline - time.monotonic()))
                if not ready:
                    raise RuntimeError("the modem did not answer %r" % command)
                answer += os.read(fd, 4096)
            return answer

        ask(b"ATE0\r")
        start = time.perf_counter()
        for _ in range(count):
            ask(b"AT+CSQ\r")
        return (time.perf_counter() - start) * 1000 / count
    finally:
        os.close(fd)


# --------------------------------------------------------------------------
# The rows


class Bench:
    def __init__(self, tools, state_file, reps, sizes, workdir):
        self.tools = tools
        self.state_file = state_file
        self.reps = reps
        self.sizes = sizes
        self.workdir = workdir
        self.long_text = filler_text(7, LONG_TEXT_LENGTH)

    def trial(self, shaped, action):
        """Runs action(device) on a fresh modem; returns (its result, line bytes)."""
        modem = Modem(self.tools.modemsim, self.state_file, shaped, self.workdir)
        try:
            result = action(modem.device, modem)
        finally:
            count = modem.stop()
        # Bytes a preparing run sent before the timed one are not the row's.
        return result, count - result.pop("prepare_bytes", 0)

    def median(self, shaped, action):
        """Medians over the repetitions of each number action returns, and the
        median bytes on the line."""
        results, counts = [], []
        for _ in range(self.reps):
            result, count = self.trial(shaped, action)
            results.append(result)
            counts.append(count)
        keys = results[0].keys()
        out = {k: statistics.median(r[k] for r in results) for k in keys}
        out["bytes"] = statistics.median(counts)
        return out

    # -- command line: wall time per process, summed for a row of several

    def fonexa_cli(self, *argv, times=1, expect=None, prepare=None):
        def action(device, modem):
            command = [self.tools.fonexa, "--device", self.tools.spec(device)]
            prepare_bytes = 0
            if prepare:
                run_timed(command + prepare, self.tools.env)
                prepare_bytes = modem.bytes_so_far()
            wall = first = 0.0
            for _ in range(times):
                w, f, out = run_timed(command + list(argv), self.tools.env)
                check_output("fonexa " + argv[0], out, expect)
                wall += w
                first = first or f
            return {"ms": wall, "first_ms": first, "prepare_bytes": prepare_bytes}
        return action

    def gammu_cli(self, *argv, times=1, expect=None):
        def action(device, modem):
            rc = self.tools.gammurc(device)
            wall = first = 0.0
            for _ in range(times):
                w, f, out = run_timed(["gammu", "-c", rc] + list(argv), self.tools.env)
                check_output("gammu " + argv[0], out, expect)
                wall += w
                first = first or f
            return {"ms": wall, "first_ms": first}
        return action

    # -- libraries: in-process times, without the program's own start-up

    def sdk(self, *argv, count=None):
        def action(device, modem):
            _, _, out = run_timed([self.tools.sdk, self.tools.spec(device)] + [str(a) for a in argv], self.tools.env)
            kv = key_values(out)
            check_count("sdk_headtohead " + str(argv[0]), kv["count"], count)
            return {"ms": kv["init_ms"] + kv["op_ms"], "op_ms": kv["op_ms"], "count": kv["count"]}
        return action

    def pygammu(self, *argv, count=None):
        def action(device, modem):
            _, _, out = run_timed(["/usr/bin/python3", "-c", GAMMU_WORKER, device] + [str(a) for a in argv],
                                  self.tools.env)
            kv = key_values(out)
            check_count("python3-gammu " + str(argv[0]), kv["count"], count)
            return {"ms": kv["init_ms"] + kv["op_ms"], "op_ms": kv["op_ms"], "count": kv["count"],
                    "import_ms": kv["import_ms"]}
        return action

    def rows(self, shaped):
        e, sends, csq = self.sizes["entries"], self.sizes["sends"], self.sizes["csq"]
        r = []

        # What starting and releasing the SDK alone puts on the line: the SDK
        # rows set their operation's time against the rest.
        baseline = self.median(shaped, self.sdk("none", count=0))["bytes"]

        def row(name, ours, theirs, bulk=False, note=""):
            a = self.median(shaped, ours)
            b = self.median(shaped, theirs)
            if "op_ms" in a:
                a["line_bytes"] = a["bytes"] - baseline
                a["line_ms_ours"] = a["op_ms"]
            else:
                a["line_bytes"] = a["bytes"]
                a["line_ms_ours"] = a["ms"]
            r.append({"name": name, "ours": a, "theirs": b, "bulk": bulk, "note": note})
            print("  %-44s %9.1f ms  vs %9.1f ms" % (name, a["ms"], b["ms"]), flush=True)

        m = self.sizes["messages"]
        last_entry = "Contact %03d" % e
        row("identify: fonexa vs gammu (process)", self.fonexa_cli("identify", expect="490154203237518"),
            self.gammu_cli("identify", expect="490154203237518"))
        row("identify: SDK vs python3-gammu", self.sdk("identify", count=3),
            self.pygammu("identify", count=3))
        row("%d phone-book entries: fonexa vs gammu" % e, self.fonexa_cli("phonebook", "list", expect=last_entry),
            self.gammu_cli("getmemory", "SM", "1", str(e), expect=last_entry), bulk=True)
        row("%d phone-book entries: SDK vs python3-gammu" % e, self.sdk("phonebook", 1, e, count=e),
            self.pygammu("phonebook", 1, e, count=e), bulk=True)
        row("%d stored messages: fonexa vs gammu" % m,
            self.fonexa_cli("sms", "list", prepare=["sms", "storage", "MT"], expect=SENDER),
            self.gammu_cli("getallsms", expect="%d SMS parts" % m), bulk=True,
            note="fonexa: storage MT set by an untimed run first")
        row("%d stored messages: SDK vs python3-gammu" % m, self.sdk("smslist", count=m), self.pygammu("smslist", count=m),
            bulk=True)
        row("send %d long messages: fonexa vs gammu" % sends,
            self.fonexa_cli("sms", "send", PEER, self.long_text, times=sends),
            self.gammu_cli("sendsms", "TEXT", PEER, "-len", str(len(self.long_text)), "-text", self.long_text,
                           times=sends), bulk=True, note="one process per message")
        row("send %d long messages: SDK vs python3-gammu" % sends,
            self.sdk("send", PEER, sends, self.long_text, count=sends),
            self.pygammu("send", PEER, sends, self.long_text, count=sends), bulk=True)
        row("%d x AT+CSQ: SDK vs python3-gammu" % csq, self.sdk("csq", csq, count=csq),
            self.pygammu("csq", csq, count=csq), note="per command: see below")
        return r

    def floor(self, shaped):
        csq = self.sizes["csq"]
        values = []
        for _ in range(self.reps):
            value, _ = self.trial(shaped, lambda device, modem: {"ms": raw_floor(device, csq)})
            value = value["ms"]
            values.append(value)
        return statistics.median(values)


def codec_rows(tools):
    """The codec comparison of bench-coding-vs-gammu: ns per operation."""
    if not os.access(tools.coding, os.X_OK):
        return None
    out = subprocess.run([tools.coding, "--benchmark_format=json", "--benchmark_repetitions=5",
                          "--benchmark_report_aggregates_only=true"], capture_output=True, text=True, check=True)
    data = json.loads(out.stdout)
    medians = {}
    for b in data["benchmarks"]:
        if b.get("aggregate_name") == "median":
            medians[b["run_name"]] = b["real_time"] if b["time_unit"] == "ns" else None
    return medians


# --------------------------------------------------------------------------
# The report


def ratio(a, b):
    return "%.2f" % (a / b) if b else "-"


def line_ms(byte_count):
    return byte_count * 1000.0 / LINE_BYTES_PER_SECOND


def machine():
    cpu = platform.processor() or platform.machine()
    try:
        with open("/proc/cpuinfo") as f:
            for line in f:
                if line.startswith("model name"):
                    cpu = line.split(":", 1)[1].strip()
                    break
    except OSError:
        pass
    load = os.getloadavg()
    return "%s, %d cores, Linux %s; load average at the end %.2f %.2f %.2f" % (
        cpu, os.cpu_count(), platform.release(), load[0], load[1], load[2])


def render(results, floors, codec, reps, sizes, command, started_load):
    lines = []
    for speed, rows in results:
        lines.append("### %s\n" % speed)
        lines.append("| row | fonexa / SDK ms | gammu / python3-gammu ms | fonexa/gammu | operation only: ours ms | "
                     "theirs ms | ours/theirs | line bytes | line time ms at %d | ours/line time |" % BAUD)
        lines.append("|---|---:|---:|---:|---:|---:|---:|---:|---:|---:|")
        for r in rows:
            a, b = r["ours"], r["theirs"]
            lt = line_ms(a["line_bytes"])
            op = ("%.1f | %.1f | %s" % (a["op_ms"], b["op_ms"], ratio(a["op_ms"], b["op_ms"]))
                  if "op_ms" in a else "- | - | -")
            lines.append("| %s | %.1f | %.1f | %s | %s | %d | %.1f | %s |" % (
                r["name"] + (" (%s)" % r["note"] if r["note"] else ""), a["ms"], b["ms"], ratio(a["ms"], b["ms"]),
                op, a["line_bytes"], lt, ratio(a["line_ms_ours"], lt) if r["bulk"] else "-"))
        lines.append("")
        first = rows[0]
        lines.append("Process start to first line of output (identify): fonexa %.1f ms, gammu %.1f ms (%s).\n" % (
            first["ours"]["first_ms"], first["theirs"]["first_ms"],
            ratio(first["ours"]["first_ms"], first["theirs"]["first_ms"])))
        csq_row = rows[-1]
        n = sizes["csq"]
        floor = floors[speed]
        ours_pc = csq_row["ours"]["op_ms"] / n
        theirs_pc = csq_row["theirs"]["op_ms"] / n
        lines.append("Per-command cost of AT+CSQ (median of %d commands): raw pty %.3f ms; SDK %.3f ms (overhead "
                     "%.3f ms); python3-gammu %.3f ms (overhead %.3f ms).\n" % (
                         n, floor, ours_pc, ours_pc - floor, theirs_pc, theirs_pc - floor))
        py = rows[1]["theirs"].get("import_ms")
        if py is not None:
            lines.append("python3-gammu rows exclude the interpreter's start-up; `import gammu` alone took "
                         "%.1f ms.\n" % py)
    if codec:
        lines.append("### Codec (bench-coding-vs-gammu, ns per message, median of 5)\n")
        lines.append("| operation | fonexa ns | libgammu ns | fonexa/gammu |")
        lines.append("|---|---:|---:|---:|")
        for ours, theirs, label in (("BM_FonexaEncodeSubmit", "BM_GammuEncodeSubmit", "encode a 160-character SMS-SUBMIT"),
                                    ("BM_FonexaDecodeDeliver", "BM_GammuDecodeDeliver", "decode a 160-character SMS-DELIVER")):
            a, b = codec.get(ours), codec.get(theirs)
            if a and b:
                lines.append("| %s | %.0f | %.0f | %s |" % (label, a, b, ratio(a, b)))
        lines.append("")
    header = ("Medians of %d runs each, every run on a fresh modem. %d phone-book entries, %d stored messages "
              "(of which %d parts of long messages), long messages of %d characters (3 parts).\n\n"
              "Machine: %s (load average at the start %.2f).\n\nRerun: `%s`\n" % (
                  reps, sizes["entries"], sizes["messages"], sizes["long"] * sizes["parts"], LONG_TEXT_LENGTH,
                  machine(), started_load, command))
    return header, "\n".join(lines)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--build", default=os.path.join(here, "..", "..", "build"))
    parser.add_argument("--reps", type=int, default=7)
    parser.add_argument("--out", help="write the tables to this Markdown file, between the markers "
                        "<!-- headtohead:begin --> and <!-- headtohead:end --> when it has them")
    parser.add_argument("--small", action="store_true", help="a tiny data set (a smoke run)")
    parser.add_argument("--only", choices=["pty", "shaped"], help="one line speed only")
    args = parser.parse_args()

    if args.small:
        sizes = {"entries": 5, "singles": 2, "long": 1, "parts": 2, "sends": 1, "csq": 5}
    else:
        sizes = {"entries": 250, "singles": 38, "long": 4, "parts": 3, "sends": 10, "csq": 200}
    sizes["messages"] = sizes["singles"] + sizes["long"] * sizes["parts"]

    started_load = os.getloadavg()[0]
    with tempfile.TemporaryDirectory(prefix="headtohead-") as workdir:
        tools = Tools(os.path.abspath(args.build), workdir)
        state_file = os.path.join(workdir, "prepared.json")
        with open(state_file, "w") as f:
            json.dump(prepared_state(sizes["entries"], sizes["singles"], sizes["long"], sizes["parts"]), f)
        bench = Bench(tools, state_file, args.reps, sizes, workdir)

        results, floors = [], {}
        speeds = [("full pty speed", False), ("shaped to %d baud" % BAUD, True)]
        if args.only:
            speeds = [s for s in speeds if s[1] == (args.only == "shaped")]
        for label, shaped in speeds:
            print(label, flush=True)
            floors[label] = bench.floor(shaped)
            results.append((label, bench.rows(shaped)))
        codec = codec_rows(tools)

    command = "/usr/bin/python3 bench/headtohead/run.py --build BUILD_DIR --reps %d" % args.reps
    header, tables = render(results, floors, codec, args.reps, sizes, command, started_load)
    print(header)
    print(tables)
    if args.out:
        begin, end = "<!-- headtohead:begin -->", "<!-- headtohead:end -->"
        text = open(args.out).read() if os.path.exists(args.out) else ""
        block = begin + "\n" + header + "\n" + tables + "\n" + end
        if begin in text and end in text:
            text = text[:text.index(begin)] + block + text[text.index(end) + len(end):]
        else:
            text = text + ("\n" if text else "") + block + "\n"
        with open(args.out, "w") as f:
            f.write(text)
    return 0


if __name__ == "__main__":
    sys.exit(main())
