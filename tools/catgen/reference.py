#!/usr/bin/python3
"""Hands Microsoft's published error tables ([MS-ERREF]: Win32, HRESULT and NTSTATUS codes with
their names and texts), as Debian's python3-impacket packages them, to the catalogue generator.

    reference.py OUTPUT.tsv

One line per code, sorted: family, the code as eight hexadecimal digits, name and text, separated
by tabs; a backslash, tab, CR or LF inside a text is written as \\\\, \\t, \\r or \\n.
"""
import sys

from impacket import hresult_errors, nt_errors, system_errors

TABLES = (("win32", system_errors), ("hresult", hresult_errors), ("ntstatus", nt_errors))


def escape(text):
    return text.replace("\\", "\\\\").replace("\t", "\\t").replace("\r", "\\r").replace("\n", "\\n")


def main(path):
    with open(path, "w", encoding="utf-8", newline="\n") as out:
        for family, module in TABLES:
            table = module.ERROR_MESSAGES
            for code in sorted(table, key=lambda c: c & 0xFFFFFFFF):
                name, text = table[code]
                out.write(f"{family}\t{code & 0xFFFFFFFF:08X}\t{escape(name)}\t{escape(text)}\n")


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit("usage: reference.py OUTPUT.tsv")
    main(sys.argv[1])
