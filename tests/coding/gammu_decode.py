"""Decodes SMS PDUs with python3-gammu, as an independent check of ours.

Reads one PDU (hex, with service-centre address) per line of the file named
on the command line and prints one tab-separated line per PDU: the text as
UTF-8 hex, the message class, the UDH type, the 8-bit concatenation
reference, the part number, the part count, the number and the coding.
Exits non-zero when gammu is missing or refuses a PDU.
"""
import sys

import gammu

with open(sys.argv[1]) as pdus:
    for line in pdus:
        pdu = line.strip()
        if not pdu:
            continue
        sms = gammu.DecodePDU(bytes.fromhex(pdu), SMSC=True)
        text = sms['Text']
        if isinstance(text, bytes):
            text = text.decode('latin-1')
        # The binding pads texts with escape pairs to TP-UDL characters; the
        # text ends at its terminating NUL.
        text = text.split('\0')[0]
        udh = sms['UDH']
        print('\t'.join(str(field) for field in (
            text.encode('utf-8').hex(), sms['Class'], udh['Type'], udh['ID8bit'],
            udh['PartNumber'], udh['AllParts'], sms['Number'], sms['Coding'])))
