#!/usr/bin/python3
"""The pure helpers of run.py: the stored PDUs it prepares and the byte count
it takes the line time from."""
import binascii
import json
import os
import shutil
import sys
import tempfile
import unittest

try:
    import gammu
except ImportError:
    gammu = None

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import run  # noqa: E402


class StoredMessages(unittest.TestCase):
    def test_septets_pack_as_gsm_0338_lays_them_out(self):
        septets, data = run.pack_septets("hellohello")
        self.assertEqual(septets, 10)
        self.assertEqual(data.hex().upper(), "E8329BFD4697D9EC37")

    def test_header_is_followed_by_fill_bits_to_the_next_septet(self):
        header = bytes([5, 0, 3, 40, 3, 1])
        septets, data = run.pack_septets("A", header)
        # 48 header bits and one fill bit make 7 septets; the text starts at bit 49.
        self.assertEqual(septets, 8)
        self.assertEqual(data[:6], header)
        self.assertEqual(data[6:], bytes([ord("A") << 1]))

    def test_characters_whose_gsm_code_differs_from_ascii_are_refused(self):
        for ch in "@$_{":
            with self.assertRaises(ValueError):
                run.pack_septets("a" + ch)

    def test_deliver_pdu_has_the_standard_layout(self):
        stamp = run.semi_octets("261208102030") + "00"
        self.assertEqual(run.deliver_pdu("+4917012345", "hellohello", stamp),
                         "0791947101670000" "04" "0A919471103254" "0000" "62218001020300" "0A" "E8329BFD4697D9EC37")

    @unittest.skipIf(gammu is None, "python3-gammu is not installed")
    def test_libgammu_reads_the_parts_back(self):
        stamp = run.semi_octets("261208102030") + "00"
        text = run.filler_text(3, 153)
        decoded = gammu.DecodePDU(binascii.unhexlify(run.deliver_pdu(run.SENDER, text, stamp, (40, 3, 2))))
        self.assertEqual(decoded["Text"], text)
        self.assertEqual(decoded["Number"], run.SENDER)
        self.assertEqual((decoded["UDH"]["ID8bit"], decoded["UDH"]["PartNumber"], decoded["UDH"]["AllParts"]),
                         (40, 2, 3))

    def test_prepared_state_spreads_messages_over_sim_and_phone(self):
        state = run.prepared_state(250, 38, 4, 3)
        self.assertEqual(len(state["phoneBooks"]["SM"]["entries"]), 250)
        self.assertEqual(state["phoneBooks"]["SM"]["entries"][-1]["text"], "Contact 250")
        self.assertEqual(len(state["messages"]["SM"]["entries"]), 20)
        self.assertEqual(len(state["messages"]["ME"]["entries"]), 30)


class LineBytes(unittest.TestCase):
    def test_escapes_count_as_the_byte_they_stand_for(self):
        transcript = ("+0.000100 > AT+CSQ\\r\n"
                      "+0.000200 < \\r\\n+CSQ: 21,99\\r\\n\n"
                      "+0.000300 < \\x1A\\\\\n"
                      "+0.000400 # client closed\\n\n")
        self.assertEqual(run.line_bytes(transcript), 7 + 15 + 2)


MODEMSIM = os.path.join(os.environ.get("FONEXA_BUILD_DIR", ""), "bin", "fonexa-modemsim")


@unittest.skipUnless(os.access(MODEMSIM, os.X_OK), "FONEXA_BUILD_DIR names no build with fonexa-modemsim")
class LineBytesOnTheModem(unittest.TestCase):
    """The count the line time rests on, against what really crossed the pty."""

    def setUp(self):
        self.workdir = tempfile.mkdtemp(prefix="headtohead-test-")
        self.state = os.path.join(self.workdir, "state.json")
        with open(self.state, "w") as f:
            json.dump(run.prepared_state(3, 1, 1, 2), f)

    def tearDown(self):
        shutil.rmtree(self.workdir, ignore_errors=True)

    def test_console_and_transcript_count_every_byte_both_ways(self):
        modem = run.Modem(MODEMSIM, self.state, False, self.workdir)
        try:
            run.raw_floor(modem.device, 3)
            so_far = modem.bytes_so_far()
        finally:
            total = modem.stop()
        # "ATE0\r" and its echo, "\r\nOK\r\n"; then three times "AT+CSQ\r"
        # answered by "\r\n+CSQ: 21,99\r\n\r\nOK\r\n".
        expected = 5 + 5 + 6 + 3 * (7 + 21)
        self.assertEqual(so_far, expected)
        self.assertEqual(total, expected)


if __name__ == "__main__":
    unittest.main()
